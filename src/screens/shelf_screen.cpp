#include "screens/shelf_screen.h"

#include "book/catalogue.h"
#include "render/layout_walk.h"
#include "render/primitives.h"
#include "state/interface_texts.h"
#include "state/reader_state.h"
#include "text/codec.h"

#include <algorithm>

namespace pagora {

namespace {

// The move panel is drawn over the shelf screen and shares its geometry.
bool onShelfScreen(const ReaderState &s)
{
    return s.currentScreen == Screen::ShelfScreen || s.currentScreen == Screen::MoveToShelfPanel;
}

int bandTop(const ReaderState &s, int band)
{
    switch (band) {
    case 0: return s.layout.listTop;
    case 1: return s.layout.band2Top;
    default: return s.layout.band3Top;
    }
}

// Left edge of the title bar cell of a shelf: "主" or one of the digits.
// A shelf number outside 0..9 (from a damaged settings file) has no cell.
bool shelfCellX(const ReaderState &s, int shelf, int &x)
{
    if (shelf == 0) {
        x = s.layout.mainSlotX;
        return true;
    }
    if (shelf < 1 || shelf > 9)
        return false;
    x = s.layout.digitRowLeft + s.layout.slotX[std::size_t(shelf - 1)];
    return true;
}

// How to get a book in, in the middle of the empty list.
void paintEmptyShelfHint(const Canvas &canvas, const ReaderState &s)
{
    const TextPaint ink = interfaceText(canvas.fonts);
    const int lines = int(texts::emptyShelfHint.size());
    const int top = s.layout.listTop + (s.layout.buttonRowTop - s.layout.listTop - lines * 20) / 2;
    for (int i = 0; i < lines; ++i)
        drawTextCentred(canvas.surface, ink, texts::emptyShelfHint[std::size_t(i)], s.window.clientWidth,
                        top + i * 20 + 2);
}

} // namespace

// Inverting the cell of a shelf inside the inverted bar shows it in the
// normal colours; inverting it again removes the mark.
void toggleShelfMark(Surface &surface, const ReaderState &s, int shelf)
{
    int x = 0;
    if (shelfCellX(s, shelf, x))
        surface.invertRect(x, 1, 16, 25);
}

bool selectionOnShownPage(const ReaderState &s)
{
    if (s.shelf.selectedBook() < 0 || s.shelf.selectedBook() < s.shelf.shelfPageFirst)
        return false;
    if (s.shelf.shelfNextPage != 0 && s.shelf.selectedBook() >= s.shelf.shelfNextPage)
        return false;
    return s.shelf.selectedBook() - s.shelf.shelfPageFirst < shelfPageSize(s.window.windowMode);
}

BookListPage bookListPage(int bookCount, int pageSize, std::int32_t start)
{
    if (start < 0 || (start > 0 && start >= bookCount))
        start = 0;
    BookListPage page;
    page.first = std::int16_t(start);
    page.prev = std::int16_t(start >= pageSize ? start - pageSize : -1);
    page.next = std::int16_t(start + pageSize < bookCount ? start + pageSize : 0);
    return page;
}

void paintShelfScreen(const Canvas &canvas, const ReaderState &s)
{
    const TextPaint ink = interfaceText(canvas.fonts);
    const int W = s.window.clientWidth;
    const int cw = s.layout.columnWidth;
    // Drawn before the bar is inverted, so it shows white on the panel colour.
    canvas.surface.drawText(s.layout.pathTextLeft, s.layout.topBarHeight + s.layout.barTextInset,
                            utf8ToUtf16(s.shelf.shelfPath), ink);
    paintTitleBar(canvas, s, texts::myShelf);
    paintBookList(canvas, s);
    if (s.shelf.bookCount() == 0)
        paintEmptyShelfHint(canvas, s);
    toggleShelfMark(canvas.surface, s, s.shelf.currentShelf);

    const int buttonY = s.layout.buttonRowTop + s.layout.barTextInset;
    canvas.surface.drawText(s.layout.leftMargin, buttonY, texts::instructions, ink);
    canvas.surface.drawText(5 * cw - 8, buttonY, texts::chooseMainShelf, ink);
    canvas.surface.drawText(9 * cw - 16, buttonY, texts::deleteText, ink);
    canvas.surface.drawText(12 * cw - 16, buttonY, texts::moveTo, ink);
    canvas.surface.drawText(W - 32 - s.layout.leftMargin, buttonY, texts::close, ink);

    canvas.surface.drawLine(0, s.layout.listTop, W - 1, s.layout.listTop);
    // An empty shelf shows its hint on a clear list, not on cut rules.
    const bool empty = s.shelf.bookCount() == 0;
    if (!empty)
        canvas.surface.drawLine(0, s.layout.band2Top, W - 1, s.layout.band2Top);
    if (s.window.windowMode >= 3 && !empty)
        canvas.surface.drawLine(0, s.layout.band3Top, W - 1, s.layout.band3Top);
    canvas.surface.drawLine(0, s.layout.bottomBarTop, W - 1, s.layout.bottomBarTop);

    const int bottomY = s.layout.bottomBarTop + s.layout.barTextInset;
    canvas.surface.drawText(W / 2 - 16, bottomY, s.shelf.cameFromMenu == EnteredFrom::Menu ? texts::back : texts::start,
                            ink);
    canvas.surface.invertRect(s.layout.leftThird, s.layout.bottomBarTop + 1, s.layout.leftThird - 2,
                              s.layout.barHeight);
    if (s.shelf.shelfNextPage != 0)
        canvas.surface.drawText(s.layout.leftMargin, bottomY, texts::nextPage, ink);
    if (s.shelf.shelfPrevPage >= 0)
        canvas.surface.drawText(W - 48 - s.layout.leftMargin, bottomY, texts::previousPage, ink);
}

void paintTitleBar(const Canvas &canvas, const ReaderState &s, std::u16string_view text)
{
    const TextPaint ink = interfaceText(canvas.fonts);
    const int W = s.window.clientWidth;
    const int textY = (s.layout.topBarHeight - 16) / 2;
    if (onShelfScreen(s)) {
        canvas.surface.drawText(s.layout.pathTextLeft, textY, text, ink);
        canvas.surface.drawText(s.layout.mainSlotX, textY, texts::mainShelf, ink);
        for (int d = 1; d <= 9; ++d) {
            const char16_t digit[1] = {char16_t(u'0' + d)};
            canvas.surface.drawText(s.layout.digitRowLeft + s.layout.slotX[std::size_t(d - 1)] + 4, textY,
                                    std::u16string_view(digit, 1), ink);
        }
        // Title bar and path bar together.
        canvas.surface.invertRect(0, 0, W, s.layout.listTop);
    } else {
        drawTextCentred(canvas.surface, ink, text, s.window.clientWidth, textY);
        canvas.surface.invertRect(0, 0, W, s.layout.topBarHeight);
    }
    canvas.surface.drawLine(0, s.layout.topBarHeight, W, s.layout.topBarHeight);
}

namespace {

// The 16 px rows a unit of a label takes from i on: a two-digit run shares one.
int unitsOfCell(std::u16string_view text, std::size_t i)
{
    const char16_t u = text[i];
    return u >= u'0' && u <= u'9' && isTwoDigitRun(text.data(), std::int32_t(text.size()), std::int32_t(i)) ? 2 : 1;
}

int cellsOf(std::u16string_view text)
{
    int cells = 0;
    for (std::size_t i = 0; i < text.size(); i += std::size_t(unitsOfCell(text, i)))
        ++cells;
    return cells;
}

// The " (2)" that tells a copy from the book it copies, or nothing.
std::size_t copyMarkStart(std::u16string_view title)
{
    if (title.size() < 4 || title.back() != u')')
        return title.size();
    std::size_t k = title.size() - 1;
    while (k > 0 && title[k - 1] >= u'0' && title[k - 1] <= u'9')
        --k;
    if (k == title.size() - 1 || k < 3 || title[k - 1] != u'(' || title[k - 2] != u' ')
        return title.size();
    return k - 2;
}

} // namespace

std::u16string fittedTitle(std::u16string_view title, int cells)
{
    if (cellsOf(title) <= cells)
        return std::u16string(title);
    const std::u16string_view mark = title.substr(copyMarkStart(title));
    const int headCells = cells - 1 - cellsOf(mark);
    if (headCells < 1) // too narrow for the mark: as much of the title as fits
        return std::u16string(title);
    std::size_t end = 0;
    for (int c = 0; c < headCells; ++c)
        end += std::size_t(unitsOfCell(title, end));
    if (title[end - 1] >= 0xD800 && title[end - 1] <= 0xDBFF)
        --end; // never half a character
    return std::u16string(title.substr(0, end)) + u"︙" + std::u16string(mark);
}

void paintBookList(const Canvas &canvas, const ReaderState &s)
{
    const int W = s.window.clientWidth;
    if (s.shelf.bookCount() > 0)
        paintListGrid(canvas.surface, s);
    canvas.surface.drawLine(0, s.layout.buttonRowTop, W - 1, s.layout.buttonRowTop);

    const int first = s.shelf.shelfPageFirst;
    const int n = std::min<int>(shelfPageSize(s.window.windowMode), s.shelf.bookCount() - first);
    for (int i = 0; i < n; ++i) {
        const BookEntry &entry = s.shelf.catalogue()[std::size_t(first + i)];
        const int x = s.layout.columnInset + (15 - i % 16) * s.layout.columnWidth;
        const int y = bandTop(s, i / 16) + 10;
        // The rows drawVerticalLabel gives a title in this band.
        const int limit = (y < s.layout.band2Top   ? s.layout.band2Top
                           : y < s.layout.band3Top ? s.layout.band3Top
                                                   : s.layout.buttonRowTop) -
                          16;
        drawVerticalLabel(canvas, s, fittedTitle(entry.title, (limit - y) / 16 + 1), x, y);
    }
    if (selectionOnShownPage(s))
        highlightListCell(canvas.surface, s, s.shelf.selectedBook() - first);
}

void paintListGrid(Surface &surface, const ReaderState &s)
{
    // The notes screen lists a book's marks as the contents lists its sections.
    const bool contents = s.currentScreen == Screen::ContentsScreen || s.currentScreen == Screen::NotesScreen;
    const int top = contents ? s.layout.topBarHeight : s.layout.listTop;
    const int bottom = contents ? s.layout.bottomBarTop : s.layout.buttonRowTop;
    for (int k = 1; k <= 15; ++k)
        surface.drawLine(k * s.layout.columnWidth, top, k * s.layout.columnWidth, bottom);
}

PixelRect listCellBox(const ReaderState &s, int k)
{
    if (k < 0 || k >= 48)
        return {};
    const int band = k / 16;
    k %= 16;
    const int cw = s.layout.columnWidth;
    const int x = k == 15 ? 0 : (15 - k) * cw + 1;
    const int w = k == 15 ? cw : cw - 1;
    if (s.currentScreen == Screen::ContentsScreen || s.currentScreen == Screen::NotesScreen)
        return {x, s.layout.topBarHeight + 1, w, s.layout.bottomBarTop - s.layout.topBarHeight - 1};
    return {x, bandTop(s, band) + 1, w, s.layout.band2Top - s.layout.listTop - 1};
}

void highlightListCell(Surface &surface, const ReaderState &s, int k)
{
    const PixelRect box = listCellBox(s, k);
    if (!box.isEmpty())
        surface.invertRect(box.x, box.y, box.width, box.height);
}

void drawVerticalLabel(const Canvas &canvas, const ReaderState &s, std::u16string_view text, int x, int y)
{
    int limit = s.window.clientHeight;
    if (onShelfScreen(s))
        limit = (y < s.layout.band2Top   ? s.layout.band2Top
                 : y < s.layout.band3Top ? s.layout.band3Top
                                         : s.layout.buttonRowTop) -
                16;
    else if (s.currentScreen == Screen::ContentsScreen || s.currentScreen == Screen::NotesScreen)
        limit = s.layout.bottomBarTop - 16;

    const TextPaint ink = interfaceText(canvas.fonts);
    const bool verticalForms = s.look.verticalForms;
    const std::int32_t length = std::int32_t(text.size());
    for (std::int32_t i = 0; i < length;) {
        const char16_t u = text[std::size_t(i)];
        if (u > 0xFF) {
            // Labels run on 16 px rows whatever the reading cell.
            drawColumnGlyph(canvas, ink, verticalForms, u, x, y, 16);
            i += 1;
        } else if (u >= u'0' && u <= u'9' && isTwoDigitRun(text.data(), length, i)) {
            drawGlyph(canvas, ink, u, x, y);
            drawGlyph(canvas, ink, text[std::size_t(i) + 1], x + 8, y);
            i += 2;
        } else {
            drawGlyph(canvas, ink, u, x + 4, y);
            i += 1;
        }
        y += 16;
        if (y > limit)
            break;
    }
}

} // namespace pagora
