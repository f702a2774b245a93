#include "import/chinese_convert.h"
#include "text/codec.h"

#include <gtest/gtest.h>
#include <opencc/opencc.h>

#include <fstream>
#include <sstream>

using namespace pagora;

namespace {

std::u16string converted(const ChineseConverter &converter, std::u16string_view text)
{
    std::u16string out;
    EXPECT_TRUE(converter.convert(text, out));
    return withCornerQuotes(out);
}

struct ConvertRow {
    std::u16string_view simplified, traditional;
};

// Classical lines where one Simplified character stands for several, modern
// Taiwan words, quotes and line breaks.
TEST(ChineseConvert, ChoosesTheFormTheContextWants)
{
    const ChineseConverter converter;
    ASSERT_TRUE(converter.isOpen()) << converter.whyNot();
    const ConvertRow rows[] = {
        {u"长风几万里，吹度玉门关。", u"長風幾萬里，吹度玉門關。"},
        {u"泪痕干", u"淚痕乾"},
        {u"望南斗", u"望南斗"},
        {u"长干行", u"長干行"},
        {u"天静无风声更干", u"天靜無風聲更乾"},
        {u"咸言", u"咸言"},
        {u"余亦谢", u"余亦謝"},
        {u"孰云吾道非", u"孰云吾道非"},
        {u"暮钟", u"暮鐘"},
        {u"疏松影落空坛静", u"疏松影落空壇靜"},
        {u"万象归春色，故园消息稀。", u"萬象歸春色，故園消息稀。"},
        {u"我们的软件需要更多内存，信息从网络来。", u"我們的軟體需要更多記憶體，資訊從網路來。"},
        {u"这个消息是我们的。", u"這個訊息是我們的。"},
        {u"她的头发很干净，后来她发现了问题。", u"她的頭髮很乾淨，後來她發現了問題。"},
        {u"他说：“好的，‘明天’见。”", u"他說：「好的，『明天』見。」"},
        {u"头发\n\n干净\r\n", u"頭髮\n\n乾淨\r\n"},
        {u"abc 123 ① 𠀀发现", u"abc 123 ① 𠀀發現"},
        {u"", u""},
    };
    for (const ConvertRow &row : rows)
        EXPECT_EQ(utf16ToUtf8(converted(converter, row.simplified)), utf16ToUtf8(row.traditional))
            << utf16ToUtf8(row.simplified);
}

std::u32string wide(std::string_view utf8)
{
    const std::u16string narrow = utf8ToUtf16(utf8);
    std::u32string out;
    for (std::size_t i = 0; i < narrow.size(); ++i) {
        char32_t c = narrow[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < narrow.size())
            c = 0x10000 + ((c - 0xD800) << 10) + (narrow[++i] - 0xDC00);
        out.push_back(c);
    }
    return out;
}

// Against OpenCC's Taiwan conversion over modern text: where the two differ,
// the character is one with several forms, or a phrase replaced it.
TEST(ChineseConvert, DiffersFromOpenccOnlyWhereThereIsAChoice)
{
    const ChineseConverter converter;
    ASSERT_TRUE(converter.isOpen()) << converter.whyNot();
    std::ifstream in(PAGORA_SOURCE_DIR "/tests/data/convert/modern.txt");
    std::stringstream all;
    all << in.rdbuf();
    opencc_t cc = opencc_open(PAGORA_OPENCC_DATA_DIR "/s2twp.json");
    ASSERT_NE(cc, opencc_t(-1));
    auto openccOf = [&](const std::string &utf8) {
        char *theirs = opencc_convert_utf8(cc, utf8.data(), utf8.size());
        const std::u32string out = wide(theirs);
        opencc_convert_utf8_free(theirs);
        return out;
    };
    std::string line;
    std::size_t lines = 0, differences = 0;
    while (std::getline(all, line)) {
        ++lines;
        const std::u32string source = wide(line), expected = openccOf(line);
        const std::u32string ours = toTraditional(converter.table(), source);
        if (ours.size() != expected.size()) {
            // A Taiwan phrase of another length: the difference is one phrase long.
            std::size_t head = 0, tail = 0;
            while (head < ours.size() && head < expected.size() && ours[head] == expected[head])
                ++head;
            while (tail + head < ours.size() && tail + head < expected.size() &&
                   ours[ours.size() - 1 - tail] == expected[expected.size() - 1 - tail])
                ++tail;
            EXPECT_LE(std::max(ours.size(), expected.size()) - head - tail, 15u) << line;
            continue;
        }
        for (std::size_t i = 0; i < ours.size() && i < source.size(); ++i) {
            if (ours[i] == expected[i])
                continue;
            ++differences;
            const bool choice = traditionalForms(converter.table(), source[i]).size() > 1;
            const std::u32string alone = toTraditional(converter.table(), source.substr(i, 1));
            const bool inPhrase =
                openccOf(utf16ToUtf8(std::u16string(1, char16_t(source[i])))) != expected.substr(i, 1) ||
                alone != ours.substr(i, 1);
            EXPECT_TRUE(choice || inPhrase) << line << " at " << i;
        }
    }
    opencc_close(cc);
    EXPECT_GT(lines, 40u);
    EXPECT_LT(differences, lines);
}

} // namespace
