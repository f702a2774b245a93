#pragma once
#include "state/text_area.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <utility>

namespace pagora {

class Surface;
struct PainterFonts;
struct ReaderState;
class PageTable;
class OpenBook;
class Appearance;

constexpr int kColumnGap = 8;
constexpr int kBlankLineGap = 8;

extern const std::array<char16_t, 60> fullWidthMap;
// Non-zero for the units that matter where a column ends by the Chinese
// rules (marks, dashes, LF): the walk asks columnBreak only about those.
extern const std::array<std::uint8_t, 0x10000> markClass;
// markClass, without touching the table for the ideographs (none is a mark).
inline std::uint8_t markClassOf(char16_t u)
{
    return u >= 0x3400 && u < 0xFE10 ? 0 : markClass[u];
}

TextArea computeTextArea(const ReaderState &s);
bool isTwoDigitRun(const char16_t *text, std::int32_t length, std::int32_t i);

// How a placed cell is to be drawn.
enum class CellKind { Full, Mapped, TwoDigits, Half };

struct PlacedCell {
    int x = 0;
    int y = 0;
    std::int32_t offset = 0; // first code unit of the cell
    int units = 1;           // code units it covers (2 for a two-digit run)
    CellKind kind = CellKind::Full;
    char16_t glyph = 0; // the glyph to draw (mapped for Mapped)
};

// The layout walk: places the page starting at offset start and calls
// visit(const PlacedCell&) for every cell; visit returns false to stop early.
// Returns the offset where the next page begins (or length at the end).
// This is the only implementation: pagination, drawing and the search
// highlight all run it.
template <class Visit>
std::int32_t layoutPage(const char16_t *text, std::int32_t length, std::int32_t start, const TextArea &area,
                        Visit &&visit);

inline int mappedIndex(char16_t u)
{
    if (u >= u'A' && u <= u'Z')
        return u - u'A';
    if (u >= u'a' && u <= u'z')
        return u - u'a' + 26;
    switch (u) {
    case u'(': return 52;
    case u')': return 53;
    case u'-': return 54;
    case u',': return 55;
    case u':': return 56;
    case u';': return 57;
    case u'?': return 58;
    case u'!': return 59;
    default: return -1;
    }
}

// Where a column of full-width units from `from` should end instead of at
// `fills`, its natural end (fills < length). The grid has no spare row below
// the last cell (the page is centred in whole cells, its margin holds the
// indicators), so a mark is never hung below the column: characters are
// carried to the next column instead, as few as will do. `from` may end the
// column only when it is not the column's first cell (atColumnTop false);
// when no break within the run is right, the natural one stands.
std::int32_t columnBreak(const char16_t *text, std::int32_t length, std::int32_t from, std::int32_t fills,
                         bool atColumnTop);
// Near a column's foot, whether the cell at `at`, not the column's first,
// with room for cellsLeft cells from it, is best carried to the next column.
// Only the last kCarryRows rows are looked at, in a run of full-width
// units as in mixed text: carries are short.
constexpr int kCarryRows = 6;
bool breaksBefore(const char16_t *text, std::int32_t length, std::int32_t at, int cellsLeft);

// The walk itself; Breaks makes the Chinese rules a constant of each copy,
// so that the walk without them is the plain one.
template <bool Breaks, class Visit>
std::int32_t walkPage(const char16_t *text, std::int32_t length, std::int32_t start, const TextArea &area,
                      Visit &&visit)
{
    // Locals, so that the loop keeps them in registers.
    const int c = area.cell;
    const int textTop = area.textTop;
    const int lastRowY = area.textBottom - c;
    const int leftLimit = area.horizontalMargin;
    // A carry needs a second row to carry into.
    const bool breaks = Breaks && lastRowY - textTop >= c;
    std::int32_t i = start < 0 ? 0 : start; // never read before the text
    int x = area.rightLimit - c - 1;
    int y = textTop;
    bool blankLine = false;
    if (i >= length)
        return length;
    for (;;) {
        const char16_t u = text[i];
        PlacedCell cell;
        bool placed = true;
        if (u > 0xFF) {
            // Most of a text: a run of full-width units filling the column,
            // each in the next cell, as far as the column reaches.
            const std::int32_t runEnd =
                std::int32_t(std::min<std::int64_t>(length, std::int64_t(i) + (lastRowY - y) / c + 1));
            std::int32_t stop = runEnd;
            if (breaks && runEnd < length && runEnd - i > kCarryRows) {
                // Down the column unchecked to where a carry could begin;
                // most runs end before, at a unit of another kind.
                const std::int32_t carryFrom = runEnd - kCarryRows;
                do {
                    if (!visit(PlacedCell{x, y, i, 1, CellKind::Full, text[i]}))
                        return i + 1;
                    i += 1;
                    y += c;
                } while (i < carryFrom && text[i] > 0xFF);
                if (text[i] <= 0xFF)
                    continue; // i < runEnd < length: the column goes on
            }
            if (breaks && runEnd < length && (markClassOf(text[runEnd]) | markClassOf(text[runEnd - 1])) != 0)
                stop = columnBreak(text, length, i, runEnd, y == textTop);
            if (!breaks || stop > i) {
                do {
                    if (!visit(PlacedCell{x, y, i, 1, CellKind::Full, text[i]}))
                        return i + 1;
                    i += 1;
                    y += c;
                } while (i < stop && text[i] > 0xFF);
                if (i >= length)
                    return i; // the text ends on this page
                // Short of the stop the run met another kind of unit.
                if (y <= lastRowY && i < stop)
                    continue;
            }
            placed = false; // the column is full, or ends early by the rule
        } else if (u == u'\r') {
            i += 1;
            if (i >= length)
                return i;
            placed = false;
            if (y == textTop) {
                // A CR at the top of a fresh column is ignored, unless it
                // follows an LF: then it is a blank line.
                if (i - 1 == 0 || text[i - 2] != u'\n')
                    continue;
                blankLine = true;
            }
        } else if (u == u'\n') {
            i += 1;
            if (i >= length)
                return i;
            continue; // an LF never breaks a column by itself
        } else if (int k = mappedIndex(u); k >= 0) {
            cell = {x, y, i, 1, CellKind::Mapped, fullWidthMap[std::size_t(k)]};
            i += 1;
        } else if (u >= u'0' && u <= u'9' && isTwoDigitRun(text, length, i)) {
            cell = {x, y, i, 2, CellKind::TwoDigits, u};
            i += 2;
        } else {
            cell = {x, y, i, 1, CellKind::Half, u};
            i += 1;
        }
        // Carrying this cell can help only if it opens something or a mark
        // (or a line feed) follows it.
        if (placed && breaks && y != textTop && lastRowY - y < kCarryRows * c && i < length &&
            (markClassOf(text[cell.offset]) | markClassOf(text[i])) != 0 &&
            breaksBefore(text, length, cell.offset, (lastRowY - y) / c + 1)) {
            i = cell.offset; // placed at the top of the next column instead
            placed = false;
        }
        if (placed) {
            if (!visit(static_cast<const PlacedCell &>(cell)))
                return i;
            if (i >= length)
                return i; // the text ends on this page
            y += c;
            if (y <= lastRowY)
                continue;
        }
        // Next column.
        y = textTop;
        if (blankLine) {
            x -= kBlankLineGap;
            blankLine = false;
        } else {
            x -= c + kColumnGap;
        }
        if (x < leftLimit)
            return i; // page full; the next page begins here
    }
}

template <class Visit>
std::int32_t layoutPage(const char16_t *text, std::int32_t length, std::int32_t start, const TextArea &area,
                        Visit &&visit)
{
    if (area.chineseBreaks)
        return walkPage<true>(text, length, start, area, std::forward<Visit>(visit));
    return walkPage<false>(text, length, start, area, std::forward<Visit>(visit));
}

// No-visit variant used by pagination.
std::int32_t layoutPageEnd(const char16_t *text, std::int32_t length, std::int32_t start, const TextArea &area);

// The pages of a text: the walk run from its start, page after page.
PageTable paginate(std::u16string_view text, const TextArea &area);
// The open section paginated for the area (computeTextArea of the state).
void repaginate(OpenBook &book, const TextArea &area);

// The open section laid out page by page, giving the same starts as
// paginate: begun for the area as far as page throughPage (or the end of a
// shorter section), the rest in slices while the reader is idle, or at once
// where all of it is needed.
void beginLayout(OpenBook &book, const TextArea &area, int throughPage);
void layOutThroughPage(OpenBook &book, int page);
// As far as the page that holds offset.
void layOutThroughOffset(OpenBook &book, std::int32_t offset);
// Some pages more, a bounded share of the text; true while pages remain.
bool layOutSlice(OpenBook &book);
// Every page: the page count, the last page and any page found by offset
// need it.
void finishLayout(OpenBook &book);
// Laid out again for a new reading font or panel, on the page that holds
// the first character shown before. The area is the one look gives.
void relayoutKeepingPosition(Surface &surface, PainterFonts &fonts, OpenBook &book, const Appearance &look,
                             const TextArea &area);

} // namespace pagora
