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
    return std::u16string_view(u"章回節节卷集部篇首則则").find(c) != std::u16string_view::npos;
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

// 卷一, 卷之三, 卷上, 卷第二: volumes of older books and anthologies.
bool isVolumeHeading(std::u16string_view t)
{
    if (t.size() < 2 || t[0] != u'卷')
        return false;
    std::size_t i = 1;
    if (t[i] == u'之' || t[i] == u'第')
        ++i;
    const std::size_t digits = i;
    while (i < t.size() && isNumeral(t[i]))
        ++i;
    if (i == digits && i < t.size() && std::u16string_view(u"上中下首末").find(t[i]) != std::u16string_view::npos)
        ++i;
    return i > digits && i - digits <= 10 && (i == t.size() || isTitleSeparator(t[i]));
}

bool isHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool isHan(char32_t c)
{
    return (c >= 0x3400 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF) ||
           (c >= 0x3040 && c <= 0x30FF) || (c >= 0xAC00 && c <= 0xD7AF);
}

// A heading is mostly written in Chinese characters: a line of paths,
// commands or punctuation is not, whatever it begins with.
bool isMostlyHan(std::u16string_view t)
{
    std::size_t han = 0, other = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        char32_t c = t[i];
        if (isHighSurrogate(t[i]) && i + 1 < t.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (t[i + 1] - 0xDC00);
            ++i;
        }
        // Brackets around a title and numbers weigh nothing either way.
        if (isHan(c))
            ++han;
        else if (!isSpace(char16_t(c)) && !isNumeral(char16_t(c)) &&
                 std::u16string_view(u"《》〈〉【】「」『』（）〔〕").find(char16_t(c)) == std::u16string_view::npos)
            ++other;
    }
    return han > 0 && han >= other;
}

// 《靜夜思》 or 【第一篇】 alone on a line: a piece's title in anthologies.
bool isBracketTitle(std::u16string_view t)
{
    if (t.size() < 3 || t.size() > 32)
        return false;
    const bool angle = t.front() == u'《' && t.back() == u'》';
    const bool lenticular = t.front() == u'【' && t.back() == u'】';
    const std::u16string_view inner = t.substr(1, t.size() - 2);
    return (angle || lenticular) && inner.find_first_of(u"《》【】。！？；") == std::u16string_view::npos &&
           isMostlyHan(inner);
}

// %, ＊＊＊, -----, ======, ※※※ and the like: a line that only divides.
bool isSeparatorLine(std::u16string_view t)
{
    static constexpr std::u16string_view marks = u"%％*＊-－—─━=＝~～#＃※☆★○●◇◆·・_＿+＋";
    if (t.empty() || t.size() > 80)
        return false;
    std::size_t count = 0;
    for (char16_t c : t) {
        if (isSpace(c))
            continue;
        if (marks.find(c) == std::u16string_view::npos)
            return false;
        ++count;
    }
    // One percent sign divides; a single dash or star may be text.
    return count >= 3 || (count >= 1 && t.find_first_not_of(u"%％") == std::u16string_view::npos);
}

bool isBlank(std::u16string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return isSpace(c) || isControl(c); });
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
        if (!t.empty() && isMostlyHan(t) && !isSeparatorLine(t))
            return t;
        pos = end + 1;
    }
    return {};
}

// The title a piece's contents entry shows: its first line of Chinese, the
// brackets of a title line dropped.
std::u16string pieceTitle(std::u16string_view piece, std::size_t maxLength)
{
    std::u16string t = firstTextLine(piece);
    if (isBracketTitle(t))
        t = t.substr(1, t.size() - 2);
    return contentsTitle(t, maxLength);
}

enum class LineKind { Prose, Heading, Title, Separator };

LineKind lineKind(std::u16string_view line)
{
    if (isChapterHeading(line))
        return LineKind::Heading;
    if (line.size() > 100)
        return LineKind::Prose;
    const std::u16string t = trimmedLine(line);
    if (isBracketTitle(t))
        return LineKind::Title;
    if (isSeparatorLine(t))
        return LineKind::Separator;
    return LineKind::Prose;
}

// Where sections start: at chapter headings; at title lines too when a text
// has enough of them to be an anthology; after separator lines when the piece
// that follows begins with a title (a novel's scene breaks begin with prose).
std::vector<std::size_t> sectionStarts(std::u16string_view text)
{
    struct Line {
        std::size_t pos;
        std::size_t end;
        LineKind kind;
    };
    std::vector<Line> lines;
    std::size_t headings = 0, titles = 0, separators = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t end = text.find(u'\r', pos);
        if (end == std::u16string_view::npos)
            end = text.size();
        const LineKind kind = lineKind(text.substr(pos, end - pos));
        headings += kind == LineKind::Heading;
        titles += kind == LineKind::Title;
        separators += kind == LineKind::Separator;
        lines.push_back({pos, end, kind});
        pos = end + 2;
    }
    const bool useTitles = titles >= 3 && titles >= headings;
    const bool useSeparators = separators >= 2;
    std::vector<std::size_t> starts;
    bool afterSeparator = false;
    for (const Line &l : lines) {
        const std::u16string_view line = text.substr(l.pos, l.end - l.pos);
        if (l.kind == LineKind::Separator) {
            afterSeparator = useSeparators;
            continue;
        }
        if (afterSeparator && isBlank(line))
            continue;
        bool start = l.kind == LineKind::Heading || (useTitles && l.kind == LineKind::Title);
        if (afterSeparator && !start) {
            const std::u16string t = trimmedLine(line);
            start = headings == 0 || (t.size() <= kMaxGluedTitle && isMostlyHan(t) && !holdsSentencePunctuation(t));
        }
        afterSeparator = false;
        if (start && (starts.empty() || starts.back() != l.pos))
            starts.push_back(l.pos);
    }
    return starts;
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
        std::u16string_view(u"第序楔引前後后尾番卷").find(line[first]) == std::u16string_view::npos)
        return false;
    const std::u16string t = trimmedLine(line);
    if (t.empty() || t.size() > kMaxHeadingLength || !isMostlyHan(t))
        return false;
    return isNumberedHeading(t) || isUnnumberedHeading(t) || isVolumeHeading(t);
}

std::vector<ImportedSection> splitChapters(std::u16string_view text, std::u16string_view bookTitle)
{
    std::vector<std::size_t> starts = sectionStarts(text);
    std::vector<ImportedSection> sections;
    if (starts.empty()) {
        for (std::u16string_view piece : cutAtLineEnds(text, kPlainSectionLength, 2 * kPlainSectionLength)) {
            std::u16string title = pieceTitle(piece, 20);
            sections.push_back({title.empty() ? std::u16string(bookTitle) : title, std::u16string(piece)});
        }
        return sections;
    }
    if (!isBlank(text.substr(0, starts[0])))
        sections.push_back({std::u16string(bookTitle), std::u16string(text.substr(0, starts[0]))});
    starts.push_back(text.size());
    for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
        const std::u16string_view chapter = text.substr(starts[i], starts[i + 1] - starts[i]);
        std::u16string title = pieceTitle(chapter, 60);
        sections.push_back({title.empty() ? contentsTitle(chapter) : title, std::u16string(chapter)});
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
