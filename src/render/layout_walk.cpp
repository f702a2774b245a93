#include "render/layout_walk.h"

#include "render/primitives.h"
#include "state/reader_state.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace pagora {

const std::array<char16_t, 60> fullWidthMap = [] {
    std::array<char16_t, 60> m{};
    for (int k = 0; k < 26; ++k) {
        m[std::size_t(k)] = char16_t(0xFF21 + k);
        m[std::size_t(26 + k)] = char16_t(0xFF41 + k);
    }
    const char16_t tail[8] = {0xFE35, 0xFE36, 0xFF5C, 0xFF0C, 0xFF1A, 0xFF1B, 0xFF1F, 0xFF01};
    for (int k = 0; k < 8; ++k)
        m[std::size_t(52 + k)] = tail[k];
    return m;
}();

TextArea computeTextArea(const ReaderState &s)
{
    TextArea a;
    a.cell = readingCell(s.look);
    if (a.cell < 1)
        a.cell = 1;
    a.rows = (s.window.clientHeight - 2 * s.window.verticalMargin) / a.cell;
    if (a.rows < 0)
        a.rows = 0;
    a.textTop = (s.window.clientHeight - a.rows * a.cell) / 2;
    a.textBottom = s.window.clientHeight - a.textTop;
    a.rightLimit = s.window.clientWidth - s.window.horizontalMargin;
    a.horizontalMargin = s.window.horizontalMargin;
    a.chineseBreaks = s.look.chineseBreaks;
    return a;
}

static bool isDigit(char16_t u)
{
    return u >= u'0' && u <= u'9';
}

bool isTwoDigitRun(const char16_t *text, std::int32_t length, std::int32_t i)
{
    return (i == 0 || !isDigit(text[i - 1])) && i + 1 < length && isDigit(text[i + 1]) &&
           (i + 2 == length || !isDigit(text[i + 2]));
}

namespace {

// Stops, pauses and closing brackets, in their full-width and vertical
// forms, and the ellipses: none may open a column.
constexpr std::u16string_view kClosingMarks = u"、。，．：；？！）］｝」』》〉】〕〗〙〛｠〞〟’”｡､…‥⋯︙︰"
                                              u"︐︑︒︓︔︕︖︶︸︺︼︾﹀﹂﹄﹈﹐﹑﹒﹔﹕﹖﹗﹚﹜﹞";
// Opening brackets and quotes: none may end a column.
constexpr std::u16string_view kOpeningMarks = u"（［｛「『《〈【〔〖〘〚｟〝‘“︵︷︹︻︽︿﹁﹃﹇﹙﹛﹝";
// A dash is written as two: its halves stay in one column.
constexpr std::u16string_view kDashes = u"—―︱─";

enum : std::uint8_t { kClosing = 1, kOpening = 2, kDash = 4, kLineFeed = 8 };

} // namespace

const std::array<std::uint8_t, 0x10000> markClass = [] {
    std::array<std::uint8_t, 0x10000> table{};
    for (const char16_t u : kClosingMarks)
        table[u] |= kClosing;
    for (const char16_t u : kOpeningMarks)
        table[u] |= kOpening;
    for (const char16_t u : kDashes)
        table[u] |= kDash;
    for (char16_t u = 0; u <= 0xFF; ++u)
        if (const int k = mappedIndex(u); k >= 0)
            table[u] = table[fullWidthMap[std::size_t(k)]];
    table[u'\n'] = kLineFeed; // the cell after it is what counts
    return table;
}();

namespace {

bool isOpeningMark(char16_t u)
{
    return markClass[u] & kOpening;
}

// Whether the cell the text shows at k may not open a column. An LF places
// nothing, so the cell is the first unit after any.
bool opensBadly(const char16_t *text, std::int32_t length, std::int32_t k)
{
    for (int lf = 0; k < length && text[k] == u'\n' && lf < 8; ++lf)
        ++k;
    if (k >= length)
        return false;
    const std::uint8_t c = markClass[text[k]];
    return (c & kClosing) || ((c & kDash) && k > 0 && text[k - 1] == text[k]);
}

} // namespace

std::int32_t columnBreak(const char16_t *text, std::int32_t length, std::int32_t from, std::int32_t fills,
                         bool atColumnTop)
{
    const std::int32_t lowest = atColumnTop ? from + 1 : from;
    for (std::int32_t b = fills; b >= lowest; --b) {
        // Units from b on move with the carry; they must all be the run's
        // full-width ones, or the column never filled at `fills` at all.
        if (b < fills && text[b] <= 0xFF)
            break;
        if (!isOpeningMark(text[b - 1]) && !opensBadly(text, length, b))
            return b;
    }
    return fills;
}

bool breaksBefore(const char16_t *text, std::int32_t length, std::int32_t at, int cellsLeft)
{
    // The cells this column would still take, and where the next one begins.
    std::array<std::int32_t, kCarryRows> starts{};
    int n = 0;
    std::int32_t k = at;
    while (n < cellsLeft && n < kCarryRows) {
        if (k >= length || text[k] == u'\r')
            return false; // the column ends before it fills
        if (text[k] == u'\n') {
            ++k;
            continue;
        }
        starts[std::size_t(n++)] = k;
        k += text[k] >= u'0' && text[k] <= u'9' && isTwoDigitRun(text, length, k) ? 2 : 1;
    }
    // The latest break the rule allows; `at` itself when that is the one.
    for (int b = n; b >= 0; --b) {
        const std::int32_t top = b == n ? k : starts[std::size_t(b)];
        const std::int32_t foot = b == 0 ? at - 1 : starts[std::size_t(b - 1)];
        if (!isOpeningMark(text[foot]) && !opensBadly(text, length, top))
            return b == 0;
    }
    return false;
}

std::int32_t layoutPageEnd(const char16_t *text, std::int32_t length, std::int32_t start, const TextArea &area)
{
    return layoutPage(text, length, start, area, [](const PlacedCell &) { return true; });
}

namespace {

// Units of text an idle slice lays out: well under a millisecond of walking.
constexpr std::int32_t kSliceUnits = 1 << 18;

std::int32_t lengthOf(std::u16string_view text)
{
    return std::int32_t(std::min<std::size_t>(text.size(), INT32_MAX));
}

// The table's next page, walked in the area it was begun for.
void layOutNextPage(PageTable &pages, std::u16string_view text)
{
    const std::int32_t length = lengthOf(text);
    const std::int32_t next = layoutPageEnd(text.data(), length, pages.laidOutTo(), pages.area());
    // Page numbers are 16-bit: a section that would need more ends with the
    // last page that can be numbered (addPage), and that page ends where its
    // walk stopped, so drawing it still agrees with the table.
    pages.addPage(next, next >= length);
}

} // namespace

PageTable paginate(std::u16string_view text, const TextArea &area)
{
    PageTable pages(area);
    while (!pages.isComplete())
        layOutNextPage(pages, text);
    pages.turnTo(pages.pageCount());
    return pages;
}

void repaginate(OpenBook &book, const TextArea &area)
{
    book.pages.repaginate(paginate(book.usableText(), area));
}

void beginLayout(OpenBook &book, const TextArea &area, int throughPage)
{
    book.pages.repaginate(PageTable(area));
    layOutThroughPage(book, std::max(throughPage, 1));
}

void layOutThroughPage(OpenBook &book, int page)
{
    while (!book.pages.isComplete() && book.pages.pageCount() < page)
        layOutNextPage(book.pages, book.usableText());
}

void layOutThroughOffset(OpenBook &book, std::int32_t offset)
{
    while (!book.pages.isComplete() && book.pages.laidOutTo() <= offset)
        layOutNextPage(book.pages, book.usableText());
}

bool layOutSlice(OpenBook &book)
{
    // At least the next page, whatever its length.
    const std::int64_t last = std::int64_t(book.pages.laidOutTo()) + kSliceUnits - 1;
    layOutThroughOffset(book, std::int32_t(std::min<std::int64_t>(last, INT32_MAX)));
    return !book.pages.isComplete();
}

void finishLayout(OpenBook &book)
{
    while (!book.pages.isComplete())
        layOutNextPage(book.pages, book.usableText());
}

void relayoutKeepingPosition(Surface &surface, PainterFonts &fonts, OpenBook &book, const Appearance &look,
                             const TextArea &area)
{
    const int current = book.pages.currentPage();
    const std::int32_t start = (current >= 1 && current <= book.pages.pageCount()) ? book.pages.start(current) : 0;
    createReadingFont(surface, fonts, look);
    repaginate(book, area);
    // The page whose range holds the old first character; when it opens a
    // page exactly that page is shown, so an unchanged layout keeps the page.
    book.pages.turnTo(book.pages.pageHolding(start));
}

} // namespace pagora
