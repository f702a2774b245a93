// The look-up data: pinyin to zhuyin, and the index file as read back.
#include "book/character_index.h"
#include "platform/files.h"
#include "test_platform.h"

#include <gtest/gtest.h>

using namespace pagora;

namespace {

TEST(Zhuyin, StandardCorrespondence)
{
    const std::pair<const char *, const char *> cases[] = {
        {"zhōng", "ㄓㄨㄥ"}, {"me", "˙ㄇㄜ"},    {"nǚ", "ㄋㄩˇ"},   {"lüè", "ㄌㄩㄝˋ"},
        {"xué", "ㄒㄩㄝˊ"},  {"yuán", "ㄩㄢˊ"},  {"yōng", "ㄩㄥ"},  {"yīn", "ㄧㄣ"},
        {"yě", "ㄧㄝˇ"},     {"wēng", "ㄨㄥ"},   {"wǒ", "ㄨㄛˇ"},   {"jiǔ", "ㄐㄧㄡˇ"},
        {"guì", "ㄍㄨㄟˋ"},  {"lùn", "ㄌㄨㄣˋ"}, {"jūn", "ㄐㄩㄣ"}, {"qióng", "ㄑㄩㄥˊ"},
        {"shī", "ㄕ"},       {"zì", "ㄗˋ"},      {"sī", "ㄙ"},      {"ér", "ㄦˊ"},
        {"bō", "ㄅㄛ"},      {"ń", "ㄋˊ"},       {"hm", "˙ㄏㄇ"},   {"ê̄", "ㄝ"},
        {"xyz", ""},         {"", ""},
    };
    for (const auto &[pinyin, zhuyin] : cases)
        EXPECT_EQ(zhuyinFromPinyin(pinyin), zhuyin) << pinyin;
}

std::string sampleIndex()
{
    CharacterFields middle{"zhōng", "zung1", "2.3", "4", "", "", "central"};
    CharacterFields dry{
        allReadings("qián gān", {}), "gon1 kin4", "5.10 5'.3", "11 3", "U+4E7E", "U+4E7E U+5E72", "dry"};
    CharacterFields far{"", "", "", "", "", "", "a plane-2 character"};
    return CharacterIndex::encode({{U'乾', dry}, {U'中', middle}, {char32_t(0x20000), far}});
}

TEST(CharacterIndex, ReadsBackWhatWasWritten)
{
    TempDir dir;
    writeFile(dir.file("c.idx"), sampleIndex());
    CharacterIndex index;
    ASSERT_TRUE(index.open(systemFiles(), dir.file("c.idx")));
    CharacterEntry e;
    ASSERT_TRUE(index.find(U'乾', e));
    EXPECT_EQ(e.pinyin, (std::vector<std::string>{"gān", "qián"})); // Taiwan's reading first
    EXPECT_EQ(e.jyutping, (std::vector<std::string>{"gon1", "kin4"}));
    EXPECT_EQ(e.radical, 5);
    EXPECT_EQ(e.strokes, 3); // the traditional form's count comes second
    EXPECT_EQ(e.traditional, U"乾");
    EXPECT_EQ(e.simplified, U"乾干");
    EXPECT_EQ(e.definition, "dry");
    ASSERT_TRUE(index.find(0x20000, e));
    EXPECT_EQ(e.definition, "a plane-2 character");
    EXPECT_FALSE(index.find(U'a', e));
    EXPECT_FALSE(index.find(0x10FFFF, e));
}

TEST(CharacterIndex, ReadingsAndRadicals)
{
    const std::vector<std::pair<std::string, std::string>> readings = {
        {allReadings("shuō", {"1080.010:shuì 1082.010:shuō 1428.010:yuè"}), "shuō shuì yuè"},
        {allReadings("xíng", {"20811.060:háng,xìng,xíng", "0442.080:háng 0443.050:hàng"}), "xíng háng xìng hàng"},
        {allReadings("", {"broken", "1:"}), ""},
    };
    for (const auto &[got, expected] : readings)
        EXPECT_EQ(got, expected);
    const std::vector<std::pair<int, char16_t>> radicals = {{1, u'一'}, {149, u'言'}, {214, u'龠'}, {0, 0}, {215, 0}};
    for (const auto &[number, radical] : radicals)
        EXPECT_EQ(kangxiRadical(number), radical) << number;
}

TEST(CharacterIndex, DamagedFilesGiveNoIndex)
{
    const std::string good = sampleIndex();
    std::string badMagic = good, hugeCount = good, unsorted = good, offsetPastEnd = good;
    badMagic[0] = 'X';
    hugeCount[11] = char(0x7F);
    std::swap(unsorted[12], unsorted[20]);      // first two code points out of order
    offsetPastEnd[12 + 8 + 4 + 3] = char(0x40); // second slot's offset beyond the file
    const std::pair<const char *, std::string> cases[] = {
        {"empty", ""},
        {"header only", good.substr(0, 12)},
        {"bad magic", badMagic},
        {"huge count", hugeCount},
        {"slots cut", good.substr(0, 30)},
        {"unsorted", unsorted},
        {"offset past end", offsetPastEnd},
    };
    TempDir dir;
    for (const auto &[name, bytes] : cases) {
        writeFile(dir.file("c.idx"), bytes);
        CharacterIndex index;
        EXPECT_FALSE(index.open(systemFiles(), dir.file("c.idx"))) << name;
        CharacterEntry e;
        EXPECT_FALSE(index.find(U'中', e)) << name;
    }
    CharacterIndex missing;
    EXPECT_FALSE(missing.open(systemFiles(), dir.file("none.idx")));
}

TEST(CharacterIndex, DistinctCharactersInOrderOfFirstAppearance)
{
    EXPECT_EQ(distinctCharacters(u"天地天\U00020000玄地\U00020000"), U"天地\U00020000玄");
}

} // namespace
