#include "notes/anchoring.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace pagora {

namespace {

bool isHigh(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLow(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// A cut between a high and a low surrogate moves to include the whole pair
// (towards the start when moveBack, else towards the end).
std::size_t wholeCharacter(std::u16string_view text, std::size_t cut, bool moveBack)
{
    if (cut == 0 || cut >= text.size() || !isHigh(text[cut - 1]) || !isLow(text[cut]))
        return cut;
    return moveBack ? cut - 1 : cut + 1;
}

// How far the text around an occurrence agrees with the stored context.
std::size_t contextScore(std::u16string_view text, std::size_t at, std::size_t length, const Anchor &a)
{
    std::size_t score = 0;
    while (score < a.before.size() && score < at && text[at - 1 - score] == a.before[a.before.size() - 1 - score])
        ++score;
    std::size_t k = 0;
    while (k < a.after.size() && at + length + k < text.size() && text[at + length + k] == a.after[k])
        ++k;
    return score + k;
}

// Enough context agrees that the occurrence is this passage and not another
// use of the same words.
std::size_t requiredScore(const Anchor &a)
{
    return std::min<std::size_t>(8, a.before.size() + a.after.size());
}

struct Candidate {
    int section = 0;
    std::size_t start = 0;
    std::size_t score = 0;
    std::int64_t distance = std::numeric_limits<std::int64_t>::max();
};

// The best occurrence of the quote in [from, to) of one section: the most
// context, then the nearest to the old offset.
void bestIn(const std::u16string &text, int section, std::size_t from, std::size_t to, const Anchor &a, Candidate &best)
{
    if (a.quote.empty())
        return;
    for (std::size_t at = text.find(a.quote, from); at != std::u16string::npos && at < to;
         at = text.find(a.quote, at + 1)) {
        const std::size_t score = contextScore(text, at, a.quote.size(), a);
        const std::int64_t distance = section == a.section ? std::llabs(std::int64_t(at) - a.start)
                                                           : std::numeric_limits<std::int64_t>::max() - 1;
        if (best.section == 0 || score > best.score || (score == best.score && distance < best.distance))
            best = {section, at, score, distance};
    }
}

std::optional<AnchorRange> accepted(const Candidate &c, const Anchor &a)
{
    if (c.section == 0 || c.score < requiredScore(a))
        return std::nullopt;
    return AnchorRange{c.section, std::int32_t(c.start), std::int32_t(a.quote.size())};
}

// The passage was edited: its context on both sides is still there, with at
// most a few times its old length between.
std::optional<AnchorRange> betweenContext(const Anchor &a, const std::vector<std::u16string> &sections)
{
    if (a.before.size() < 8 || a.after.size() < 8)
        return std::nullopt;
    const std::size_t most = 2 * std::size_t(a.length) + 2 * kContextLength;
    std::optional<AnchorRange> found;
    std::int64_t nearest = std::numeric_limits<std::int64_t>::max();
    for (std::size_t k = 0; k < sections.size(); ++k) {
        const std::u16string &text = sections[k];
        for (std::size_t b = text.find(a.before); b != std::u16string::npos; b = text.find(a.before, b + 1)) {
            const std::size_t start = b + a.before.size();
            const std::size_t e = text.find(a.after, start);
            if (e == std::u16string::npos || e - start > most)
                continue;
            const std::int64_t distance =
                int(k) + 1 == a.section ? std::llabs(std::int64_t(start) - a.start) : nearest - 1;
            if (distance < nearest && e > start) {
                nearest = distance;
                found = AnchorRange{int(k) + 1, std::int32_t(start), std::int32_t(e - start)};
            }
        }
    }
    return found;
}

} // namespace

std::optional<Anchor> anchorAt(const std::vector<std::u16string> &sections, int section, std::int32_t start,
                               std::int32_t length)
{
    if (section < 1 || std::size_t(section) > sections.size())
        return std::nullopt;
    return anchorIn(sections[std::size_t(section) - 1], section, start, length);
}

std::optional<Anchor> anchorIn(std::u16string_view text, int section, std::int32_t start, std::int32_t length)
{
    if (start < 0 || length <= 0)
        return std::nullopt;
    if (std::size_t(start) > text.size() || std::size_t(length) > text.size() - std::size_t(start))
        return std::nullopt;
    const std::size_t from = wholeCharacter(text, std::size_t(start), true);
    const std::size_t to = wholeCharacter(text, std::size_t(start) + std::size_t(length), false);
    const std::size_t beforeFrom = wholeCharacter(text, from - std::min<std::size_t>(from, kContextLength), false);
    const std::size_t afterTo = wholeCharacter(text, std::min(text.size(), to + kContextLength), true);
    Anchor a;
    a.section = section;
    a.start = std::int32_t(from);
    a.length = std::int32_t(to - from);
    a.quote = text.substr(from, to - from);
    a.before = text.substr(beforeFrom, from - beforeFrom);
    a.after = text.substr(to, afterTo - to);
    return a;
}

std::optional<AnchorRange> reanchor(const Anchor &a, const std::vector<std::u16string> &sections)
{
    const bool sectionHeld = a.section >= 1 && std::size_t(a.section) <= sections.size();
    if (sectionHeld) {
        const std::u16string &text = sections[std::size_t(a.section) - 1];
        if (a.start >= 0 && std::size_t(a.start) <= text.size() &&
            text.compare(std::size_t(a.start), a.quote.size(), a.quote) == 0 && !a.quote.empty())
            return AnchorRange{a.section, a.start, std::int32_t(a.quote.size())};
        // Near the old offset: an edit nearby moved it a little.
        constexpr std::size_t kNear = 2048;
        Candidate near;
        const std::size_t old = std::size_t(std::max<std::int32_t>(a.start, 0));
        bestIn(text, a.section, old > kNear ? old - kNear : 0, old + kNear, a, near);
        if (auto r = accepted(near, a))
            return r;
        Candidate inSection;
        bestIn(text, a.section, 0, text.size(), a, inSection);
        if (auto r = accepted(inSection, a))
            return r;
    }
    Candidate inBook;
    for (std::size_t k = 0; k < sections.size(); ++k)
        bestIn(sections[k], int(k) + 1, 0, sections[k].size(), a, inBook);
    if (auto r = accepted(inBook, a))
        return r;
    if (auto r = betweenContext(a, sections))
        return r;
    // The surroundings were rewritten but the words are there once only:
    // that is still the passage.
    if (a.quote.size() >= 4 && inBook.section != 0) {
        std::size_t count = 0;
        for (const std::u16string &text : sections)
            for (std::size_t at = text.find(a.quote); at != std::u16string::npos && count < 2;
                 at = text.find(a.quote, at + 1))
                ++count;
        if (count == 1)
            return AnchorRange{inBook.section, std::int32_t(inBook.start), std::int32_t(a.quote.size())};
    }
    return std::nullopt;
}

} // namespace pagora
