#pragma once
#include <cstdint>
#include <string_view>

namespace pagora {

class Surface;
struct Canvas;
struct ReaderState;

// The shelf screen; the book list notes the page it shows.
void paintShelfScreen(const Canvas &canvas, ReaderState &s);
void paintTitleBar(const Canvas &canvas, const ReaderState &s, std::u16string_view text);
void paintBookList(const Canvas &canvas, ReaderState &s, std::int32_t start);
void paintListGrid(Surface &surface, const ReaderState &s);
void highlightListCell(Surface &surface, const ReaderState &s, int k);
void drawVerticalLabel(const Canvas &canvas, const ReaderState &s, std::u16string_view text, int x, int y);
// Inverting the cell of a shelf inside the inverted bar shows it in the
// normal colours; inverting it again removes the mark.
void toggleShelfMark(Surface &surface, const ReaderState &s, int shelf);
// Whether selectedBook has a cell on the shelf page shown.
bool selectionOnShownPage(const ReaderState &s);

} // namespace pagora
