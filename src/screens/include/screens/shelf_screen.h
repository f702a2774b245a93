#pragma once
#include <cstdint>
#include <string_view>

namespace pagora {

struct Reader;
struct ReaderState;

void paintShelfScreen(Reader &r);
void paintTitleBar(Reader &r, std::u16string_view text);
void paintBookList(Reader &r, std::int32_t start);
void paintListGrid(Reader &r);
void highlightListCell(Reader &r, int k);
void drawVerticalLabel(Reader &r, std::u16string_view text, int x, int y);
// Inverting the cell of a shelf inside the inverted bar shows it in the
// normal colours; inverting it again removes the mark.
void toggleShelfMark(Reader &r, int shelf);
// Whether selectedBook has a cell on the shelf page shown.
bool selectionOnShownPage(const ReaderState &s);

} // namespace pagora
