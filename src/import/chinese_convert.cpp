#include "import/chinese_convert.h"

#include "text/codec.h"

#include <opencc/opencc.h>

#include <cstdlib>
#include <unordered_map>
#include <vector>

namespace pagora {

namespace {

opencc_t asOpencc(void *h)
{
    return static_cast<opencc_t>(h);
}

bool isFailed(void *h)
{
    return h == reinterpret_cast<void *>(-1) || h == nullptr;
}

bool isHan(char32_t c)
{
    return (c >= 0x3400 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3134F);
}

} // namespace

ChineseConverter::ChineseConverter(const char *config)
    : handle_(opencc_open((std::string(PAGORA_OPENCC_DATA_DIR "/") + config).c_str()))
{
}

ChineseConverter::~ChineseConverter()
{
    if (!isFailed(handle_))
        opencc_close(asOpencc(handle_));
}

bool ChineseConverter::isOpen() const
{
    return !isFailed(handle_);
}

bool ChineseConverter::convert(std::u16string_view text, std::u16string &out) const
{
    out.clear();
    if (!isOpen())
        return false;
    if (text.empty())
        return true;
    const std::string utf8 = utf16ToUtf8(text);
    char *converted = opencc_convert_utf8(asOpencc(handle_), utf8.data(), utf8.size());
    if (!converted)
        return false;
    out = utf8ToUtf16(converted);
    opencc_convert_utf8_free(converted);
    return true;
}

std::u16string withCornerQuotes(std::u16string_view text)
{
    // Each closing quote pairs with the nearest open quote of its kind; open
    // quotes of the other kind in between are left unpaired.
    constexpr std::size_t none = std::size_t(-1);
    std::vector<std::size_t> quotes;  // positions in text
    std::vector<std::size_t> partner; // per quote, its partner's index in quotes
    std::vector<std::size_t> open;    // indices in quotes
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c != u'\u201C' && c != u'\u2018' && c != u'\u201D' && c != u'\u2019')
            continue;
        quotes.push_back(i);
        partner.push_back(none);
        if (c == u'\u201C' || c == u'\u2018') {
            open.push_back(quotes.size() - 1);
            continue;
        }
        const char16_t opener = c == u'\u201D' ? u'\u201C' : u'\u2018';
        for (std::size_t k = open.size(); k-- > 0;) {
            if (text[quotes[open[k]]] != opener)
                continue;
            partner[open[k]] = quotes.size() - 1;
            partner.back() = open[k];
            open.resize(k);
            break;
        }
    }
    std::u16string out(text);
    std::size_t depth = 0;
    for (std::size_t q = 0; q < quotes.size(); ++q) {
        if (partner[q] == none)
            continue;
        if (partner[q] > q) {
            out[quotes[q]] = depth == 0 ? u'\u300C' : u'\u300E';
            ++depth;
        } else {
            --depth;
            out[quotes[q]] = depth == 0 ? u'\u300D' : u'\u300F';
        }
    }
    return out;
}

bool isMostlySimplifiedText(std::u16string_view text)
{
    // Each distinct Han character on a line of its own, so that phrases do
    // not join them and the lines stay aligned through both conversions.
    std::unordered_map<char32_t, std::size_t> counts;
    std::size_t han = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (isHan(c)) {
            ++counts[c];
            ++han;
        }
    }
    if (han == 0)
        return false;
    std::u16string lines;
    std::vector<std::pair<char32_t, std::size_t>> order(counts.begin(), counts.end());
    for (const auto &[c, n] : order) {
        if (c >= 0x10000) {
            lines.push_back(char16_t(0xD800 + ((c - 0x10000) >> 10)));
            lines.push_back(char16_t(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            lines.push_back(char16_t(c));
        }
        lines.push_back(u'\n');
    }
    const ChineseConverter toTraditional("s2t.json");
    const ChineseConverter toSimplified("t2s.json");
    std::u16string traditional, simplified;
    if (!toTraditional.convert(lines, traditional) || !toSimplified.convert(lines, simplified))
        return false;
    // Weighted by how often each character occurs.
    auto changed = [&](const std::u16string &converted) {
        std::size_t weight = 0;
        std::size_t a = 0, b = 0;
        for (const auto &entry : order) {
            const std::size_t ea = lines.find(u'\n', a);
            const std::size_t eb = converted.find(u'\n', b);
            if (eb == std::u16string::npos)
                break;
            if (lines.compare(a, ea - a, converted, b, eb - b) != 0)
                weight += entry.second;
            a = ea + 1;
            b = eb + 1;
        }
        return weight;
    };
    const std::size_t simplifiedOnly = changed(traditional);
    const std::size_t traditionalOnly = changed(simplified);
    return simplifiedOnly > traditionalOnly && simplifiedOnly * 50 >= han;
}

} // namespace pagora
