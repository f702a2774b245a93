#include "render/text_selection.h"

#include "state/reader_state.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <memory>

namespace pagora {

void layOutPageCells(const char16_t *text, std::int32_t length, std::int32_t start, const TextArea &area,
                     PageCells &page)
{
    page.cells.clear();
    page.cell = area.cell;
    page.end = layoutPage(text, length, start, area, [&page](const PlacedCell &cell) {
        page.cells.push_back(cell);
        return true;
    });
}

void layOutPageCells(const ReaderState &s, std::int32_t start, PageCells &page)
{
    layOutPageCells(s.book.sectionText().data(), s.book.textLength(), start, computeTextArea(s), page);
}

PageCells pageCells(const char16_t *text, std::int32_t length, std::int32_t start, const TextArea &area)
{
    PageCells page;
    layOutPageCells(text, length, start, area, page);
    return page;
}

PageCells pageCells(const ReaderState &s, std::int32_t start)
{
    PageCells page;
    layOutPageCells(s, start, page);
    return page;
}

int readingPosition(const PageCells &page, int x, int y)
{
    const auto &cells = page.cells;
    const int n = int(cells.size());
    const int c = page.cell;
    for (int i = 0; i < n;) {
        const int columnX = cells[std::size_t(i)].x;
        int j = i;
        while (j < n && cells[std::size_t(j)].x == columnX)
            ++j;
        // Right of this column: in the margin or the gap before it.
        if (x >= columnX + c)
            return 2 * i;
        if (x >= columnX) {
            for (int k = i; k < j; ++k) {
                if (y < cells[std::size_t(k)].y)
                    return 2 * k;
                if (y < cells[std::size_t(k)].y + c)
                    return 2 * k + 1;
            }
            return 2 * j;
        }
        i = j;
    }
    return 2 * n;
}

int cellAt(const PageCells &page, int x, int y)
{
    const int p = readingPosition(page, x, y);
    return p % 2 == 1 ? p / 2 : -1;
}

TextRange rangeBetween(const PageCells &page, int x1, int y1, int x2, int y2)
{
    int a = readingPosition(page, x1, y1);
    int b = readingPosition(page, x2, y2);
    if (a > b)
        std::swap(a, b);
    const int first = a / 2;
    const int last = b % 2 == 1 ? b / 2 : b / 2 - 1;
    const auto &cells = page.cells;
    if (first > last) {
        const std::int32_t at = first < int(cells.size()) ? cells[std::size_t(first)].offset : page.end;
        return {at, 0};
    }
    const PlacedCell &end = cells[std::size_t(last)];
    const std::int32_t start = cells[std::size_t(first)].offset;
    return {start, end.offset + end.units - start};
}

TextRange wordAt(const char16_t *text, const PageCells &page, int index)
{
    const auto &cells = page.cells;
    if (index < 0 || index >= int(cells.size()))
        return {};
    const PlacedCell &hit = cells[std::size_t(index)];
    const TextRange alone{hit.offset, hit.units};
    const std::int32_t pageStart = cells.front().offset;
    const std::int32_t pageLength = cells.back().offset + cells.back().units - pageStart;

    UErrorCode status = U_ZERO_ERROR;
    // The break rules and the dictionary are loaded once; a clone per use is cheap.
    static const std::unique_ptr<icu::BreakIterator> prototype(
        icu::BreakIterator::createWordInstance(icu::Locale("zh", "TW"), status));
    if (!prototype)
        return alone;
    std::unique_ptr<icu::BreakIterator> words(prototype->clone());
    if (!words)
        return alone;
    const icu::UnicodeString pageText(false, text + pageStart, pageLength);
    words->setText(pageText);
    const std::int32_t at = hit.offset - pageStart;
    const std::int32_t start = words->isBoundary(at) ? at : words->preceding(at);
    // Last: the rule status describes the segment before the current boundary.
    const std::int32_t end = words->following(at);
    // Spaces and punctuation are no word: the character alone.
    if (words->getRuleStatus() < UBRK_WORD_NONE_LIMIT || start < 0 || end <= start)
        return alone;
    // Whole cells only: a two-digit run is never cut.
    std::int32_t first = hit.offset, last = hit.offset + hit.units;
    for (int k = index; k >= 0 && cells[std::size_t(k)].offset >= pageStart + start; --k)
        first = cells[std::size_t(k)].offset;
    for (int k = index; k < int(cells.size()) && cells[std::size_t(k)].offset < pageStart + end; ++k)
        last = cells[std::size_t(k)].offset + cells[std::size_t(k)].units;
    return {first, last - first};
}

} // namespace pagora
