#include "screens/shelf_screen.h"

#include "app/input_dispatch.h"

void paintShelfScreen(Reader &)
{}

void paintTitleBar(Reader &, std::u16string_view)
{}

void paintBookList(Reader &, std::int32_t)
{}

void paintListGrid(Reader &)
{}

void highlightListCell(Reader &, int)
{}

void drawVerticalLabel(Reader &, std::u16string_view, int, int)
{}

void shelfPointer(Reader &, int, int)
{}

void loadEntryPosition(ReaderState &)
{}

void storeEntryPosition(ReaderState &)
{}

void nextShelfPage(Reader &r)
{
    if (r.s.shelfNextPage != 0) {
        r.s.shelfPageStart = r.s.shelfNextPage;
        showScreen(r, ShelfScreen);
    }
}

void previousShelfPage(Reader &r)
{
    if (r.s.shelfPrevPage >= 0) {
        r.s.shelfPageStart = r.s.shelfPrevPage;
        showScreen(r, ShelfScreen);
    }
}
