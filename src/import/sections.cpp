#include "import/sections.h"

#include <algorithm>

namespace pagora {

namespace {

// A heading is a short line; prose that merely starts with 第一章 is longer.
constexpr std::size_t kMaxHeadingLength = 50;
// A title glued to the number (第一章風起) must be shorter still.
constexpr std::size_t kMaxGluedTitle = 25;

bool isSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\u3000' || c == u'\u00A0' || c == u'\uFEFF';
}

bool isControl(char16_t c)
{
    return c < 0x20 || c == 0x7F;
}

bool isNumeral(char16_t c)
{
    static constexpr std::u16string_view numerals =
        u"〇零一二三四五六七八九十百千萬万两兩壹貳贰參叁参肆伍陸陆柒捌玖拾佰仟";
    return (c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９') || numerals.find(c) != std::u16string_view::npos;
}

bool isChapterUnit(char16_t c)
{
    return std::u16string_view(u"章回節节卷集部篇").find(c) != std::u16string_view::npos;
}

// What may stand between a heading's number and its title.
bool isTitleSeparator(char16_t c)
{
    return isSpace(c) || std::u16string_view(u"：:、．.·・－-—─（(【「《").find(c) != std::u16string_view::npos;
}

bool holdsSentencePunctuation(std::u16string_view s)
{
    return s.find_first_of(u"。，！？；、…") != std::u16string_view::npos;
}

bool isNumberedHeading(std::u16string_view t)
{
    if (t.empty() || t[0] != u'第')
        return false;
    std::size_t i = 1;
    while (i < t.size() && isNumeral(t[i]))
        ++i;
    if (i == 1 || i > 11 || i >= t.size() || !isChapterUnit(t[i]))
        return false;
    const std::u16string_view rest = t.substr(i + 1);
    if (rest.empty() || isTitleSeparator(rest[0]))
        return true;
    // 第三章的結尾 and 第二回合 are prose; 第三回風雪山神廟 is a heading.
    return rest.size() <= kMaxGluedTitle && !holdsSentencePunctuation(rest) &&
           std::u16string_view(u"的之中裡里內内後后前時时是了合分團团體体門门隊队落位屬属長长課课").find(rest[0]) ==
               std::u16string_view::npos;
}

bool isUnnumberedHeading(std::u16string_view t)
{
    static constexpr std::u16string_view words[] = {u"序章", u"楔子", u"引子", u"前言", u"後記",
                                                    u"后记", u"尾聲", u"尾声", u"番外", u"序"};
    for (std::u16string_view w : words) {
        if (t.substr(0, w.size()) != w)
            continue;
        if (t.size() == w.size())
            return true;
        const char16_t next = t[w.size()];
        return isTitleSeparator(next) || (w == u"番外" && isNumeral(next));
    }
    return false;
}

bool isBlank(std::u16string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return isSpace(c) || isControl(c); });
}

bool isHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

// One past the CR LF ending the line that holds or follows pos, or npos.
std::size_t lineEndAfter(std::u16string_view text, std::size_t pos)
{
    const std::size_t lf = text.find(u'\n', pos);
    return lf == std::u16string_view::npos ? lf : lf + 1;
}

// Pieces of about target code units ending at line ends, none over limit.
std::vector<std::u16string_view> cutAtLineEnds(std::u16string_view text, std::size_t target, std::size_t limit)
{
    std::vector<std::u16string_view> pieces;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.size();
        // A short rest stays with the piece before it.
        if (text.size() - pos > std::min(limit, target + target / 5)) {
            end = lineEndAfter(text, pos + target - 1);
            if (end == std::u16string_view::npos || end - pos > limit) {
                const std::size_t lf = text.substr(pos, limit).rfind(u'\n');
                // The rest may be shorter than limit when target is the smaller bound.
                end = lf != std::u16string_view::npos ? pos + lf + 1 : std::min(pos + limit, text.size());
                if (end - pos > 1 && end < text.size() && isHighSurrogate(text[end - 1]))
                    --end;
            }
        }
        pieces.push_back(text.substr(pos, end - pos));
        pos = end;
    }
    return pieces;
}

std::u16string firstTextLine(std::u16string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find(u'\n', pos);
        if (end == std::u16string_view::npos)
            end = text.size();
        std::u16string t = trimmedLine(text.substr(pos, end - pos));
        if (!t.empty())
            return t;
        pos = end + 1;
    }
    return {};
}

std::u16string numbered(std::u16string_view title, std::size_t n)
{
    const std::string digits = std::to_string(n);
    return std::u16string(title) + u"（" + std::u16string(digits.begin(), digits.end()) + u"）";
}

} // namespace

std::u16string trimmedLine(std::u16string_view line)
{
    std::u16string out;
    out.reserve(line.size());
    for (char16_t c : line)
        if (!isControl(c))
            out.push_back(c);
    const auto first = std::find_if_not(out.begin(), out.end(), isSpace);
    out.erase(out.begin(), first);
    while (!out.empty() && isSpace(out.back()))
        out.pop_back();
    return out;
}

std::u16string contentsTitle(std::u16string_view text, std::size_t maxLength)
{
    std::u16string t = trimmedLine(text.substr(0, std::min(text.find_first_of(u"\r\n"), text.size())));
    if (t.size() > maxLength) {
        t.resize(maxLength);
        if (isHighSurrogate(t.back()))
            t.pop_back();
    }
    return t;
}

bool isChapterHeading(std::u16string_view line)
{
    if (line.size() > 4 * kMaxHeadingLength)
        return false;
    // Most lines are prose: their first visible character rules them out
    // before anything is copied.
    std::size_t first = 0;
    while (first < line.size() && (isSpace(line[first]) || isControl(line[first])))
        ++first;
    if (first == line.size() ||
        std::u16string_view(u"第序楔引前後后尾番").find(line[first]) == std::u16string_view::npos)
        return false;
    const std::u16string t = trimmedLine(line);
    if (t.empty() || t.size() > kMaxHeadingLength)
        return false;
    return isNumberedHeading(t) || isUnnumberedHeading(t);
}

std::vector<ImportedSection> splitChapters(std::u16string_view text, std::u16string_view bookTitle)
{
    std::vector<std::size_t> starts;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t end = text.find(u'\r', pos);
        if (end == std::u16string_view::npos)
            end = text.size();
        if (end - pos <= 4 * kMaxHeadingLength && isChapterHeading(text.substr(pos, end - pos)))
            starts.push_back(pos);
        pos = end + 2;
    }
    std::vector<ImportedSection> sections;
    if (starts.empty()) {
        for (std::u16string_view piece : cutAtLineEnds(text, kPlainSectionLength, 2 * kPlainSectionLength)) {
            std::u16string title = contentsTitle(firstTextLine(piece), 20);
            sections.push_back({title.empty() ? std::u16string(bookTitle) : title, std::u16string(piece)});
        }
        return sections;
    }
    if (!isBlank(text.substr(0, starts[0])))
        sections.push_back({std::u16string(bookTitle), std::u16string(text.substr(0, starts[0]))});
    starts.push_back(text.size());
    for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
        const std::u16string_view chapter = text.substr(starts[i], starts[i + 1] - starts[i]);
        sections.push_back({contentsTitle(chapter), std::u16string(chapter)});
    }
    return sections;
}

std::vector<ImportedSection> fitSectionLimit(std::vector<ImportedSection> sections, std::size_t maxSections)
{
    std::vector<ImportedSection> cut;
    cut.reserve(sections.size());
    for (ImportedSection &s : sections) {
        if (s.text.size() <= kMaxSectionLength) {
            cut.push_back(std::move(s));
            continue;
        }
        const auto pieces = cutAtLineEnds(s.text, kMaxSectionLength * 2 / 3, kMaxSectionLength);
        for (std::size_t k = 0; k < pieces.size(); ++k)
            cut.push_back({k == 0 ? s.title : numbered(s.title, k + 1), std::u16string(pieces[k])});
    }
    if (cut.size() <= maxSections || maxSections == 0)
        return cut;

    // Consecutive sections share one, as evenly as the limit allows; the
    // contents names the first and last of each group, and every heading
    // stays in the text.
    std::vector<ImportedSection> grouped;
    grouped.reserve(maxSections);
    const std::size_t base = cut.size() / maxSections;
    const std::size_t extra = cut.size() % maxSections;
    std::size_t next = 0;
    for (std::size_t g = 0; g < maxSections; ++g) {
        const std::size_t count = base + (g < extra ? 1 : 0);
        ImportedSection group;
        std::size_t length = 0;
        for (std::size_t k = 0; k < count; ++k)
            length += cut[next + k].text.size();
        group.text.reserve(length);
        for (std::size_t k = 0; k < count; ++k)
            group.text += cut[next + k].text;
        group.title =
            count == 1 ? cut[next].title
                       : contentsTitle(cut[next].title, 30) + u" ～ " + contentsTitle(cut[next + count - 1].title, 30);
        grouped.push_back(std::move(group));
        next += count;
    }
    return grouped;
}

} // namespace pagora
