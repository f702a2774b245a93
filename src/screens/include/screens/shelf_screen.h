#pragma once
#include "state/pixel_rect.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace pagora {

class Surface;
struct Canvas;
struct ReaderState;

// One page of the shelf's book list: its first book, and where the next and
// the previous page start (0 and -1 when there is none).
struct BookListPage {
    std::int16_t first = 0;
    std::int16_t next = 0;
    std::int16_t prev = -1;
};
// The page that start asks for, pageSize books a page; a start outside the
// list (a stale request) gives the first page.
BookListPage bookListPage(int bookCount, int pageSize, std::int32_t start);

// The shelf screen, on the list page shelfPageFirst.
void paintShelfScreen(const Canvas &canvas, const ReaderState &s);
void paintTitleBar(const Canvas &canvas, const ReaderState &s, std::u16string_view text);
void paintBookList(const Canvas &canvas, const ReaderState &s);
void paintListGrid(Surface &surface, const ReaderState &s);
// Cell k (0..47) of a list page, inverted to mark it; empty outside.
PixelRect listCellBox(const ReaderState &s, int k);
void highlightListCell(Surface &surface, const ReaderState &s, int k);
void drawVerticalLabel(const Canvas &canvas, const ReaderState &s, std::u16string_view text, int x, int y);
// A shelf title for a column of `cells` rows: one too long ends in "︙" and
// keeps its " (2)", which tells copies apart.
std::u16string fittedTitle(std::u16string_view title, int cells);
// Inverting the cell of a shelf inside the inverted bar shows it in the
// normal colours; inverting it again removes the mark.
void toggleShelfMark(Surface &surface, const ReaderState &s, int shelf);
// Whether selectedBook has a cell on the shelf page shown.
bool selectionOnShownPage(const ReaderState &s);

} // namespace pagora
