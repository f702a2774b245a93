#pragma once
#include "render/layout_walk.h"

#include <cstdint>
#include <vector>

namespace pagora {

// The cells of one page in reading order, as the layout walk places them.
struct PageCells {
    std::vector<PlacedCell> cells;
    int cell = 16;
    std::int32_t end = 0; // offset where the next page begins
};

PageCells pageCells(const ReaderState &s, std::int32_t start);
// The same for a text and area, without a reader.
PageCells pageCells(const char16_t *text, std::int32_t length, std::int32_t start, const TextArea &area);
// The same into page, whose room is kept for the next call.
void layOutPageCells(const ReaderState &s, std::int32_t start, PageCells &page);
void layOutPageCells(const char16_t *text, std::int32_t length, std::int32_t start, const TextArea &area,
                     PageCells &page);

struct TextRange {
    std::int32_t start = 0;
    std::int32_t length = 0;
    std::int32_t end() const { return start + length; }
    bool operator==(const TextRange &) const = default;
};

// Where a point falls in reading order: 2i + 1 inside cell i, 2i in the gap
// just before cell i (2n after the last). Down each column, then the column
// to its left; a point beside every column falls before or after the page.
int readingPosition(const PageCells &page, int x, int y);
// The cell holding a point, or -1.
int cellAt(const PageCells &page, int x, int y);
// What a drag between two points selects, endpoints in either order: whole
// cells, from the first cell on or after the earlier point to the last cell
// on or before the later one.
TextRange rangeBetween(const PageCells &page, int x1, int y1, int x2, int y2);
// The word holding cell index, cut to the page, as ICU's word breaks find it
// (its dictionary divides Chinese); the cell alone for a space or line end.
TextRange wordAt(const char16_t *text, const PageCells &page, int index);

} // namespace pagora
