#include "screens/shelf_screen.h"

#include "book/catalogue.h"
#include "platform/reader.h"
#include "render/layout_walk.h"
#include "render/primitives.h"
#include "state/interface_texts.h"
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

// How to get a book in, on a clear box in the middle of the list.
void paintEmptyShelfHint(Reader &r)
{
    const ReaderState &s = r.s;
    int width = 0;
    for (std::u16string_view line : texts::emptyShelfHint)
        width = std::max(width, r.p.surface->textWidth(line));
    const int lines = int(texts::emptyShelfHint.size());
    const int left = std::max(0, (s.window.clientWidth - width) / 2 - 8);
    const int top = s.layout.listTop + (s.layout.buttonRowTop - s.layout.listTop - lines * 20) / 2;
    fillScreenRect(r, left, top - 8, s.window.clientWidth - left, top + lines * 20 + 8);
    for (int i = 0; i < lines; ++i)
        drawTextCentred(r, texts::emptyShelfHint[std::size_t(i)], top + i * 20 + 2);
}

} // namespace

// Inverting the cell of a shelf inside the inverted bar shows it in the
// normal colours; inverting it again removes the mark.
void toggleShelfMark(Reader &r, int shelf)
{
    int x = 0;
    if (shelfCellX(r.s, shelf, x))
        invertRect(r, x, 1, 16, 25);
}

bool selectionOnShownPage(const ReaderState &s)
{
    if (s.shelf.selectedBook < 0 || s.shelf.selectedBook < s.shelf.shelfPageFirst)
        return false;
    if (s.shelf.shelfNextPage != 0 && s.shelf.selectedBook >= s.shelf.shelfNextPage)
        return false;
    return s.shelf.selectedBook - s.shelf.shelfPageFirst < shelfPageSize(s);
}

void paintShelfScreen(Reader &r)
{
    ReaderState &s = r.s;
    const int W = s.window.clientWidth;
    const int cw = s.layout.columnWidth;
    selectInterfaceFontTransparent(r);
    // Drawn before the bar is inverted, so it shows white on the panel colour.
    drawText(r, utf8ToUtf16(s.shelf.shelfPath), s.layout.pathTextLeft, s.layout.topBarHeight + s.layout.barTextInset);
    paintTitleBar(r, texts::myShelf);
    paintBookList(r, s.shelf.shelfPageStart);
    if (s.shelf.bookCount() == 0)
        paintEmptyShelfHint(r);
    toggleShelfMark(r, s.shelf.currentShelf);

    const int buttonY = s.layout.buttonRowTop + s.layout.barTextInset;
    drawText(r, texts::instructions, s.layout.leftMargin, buttonY);
    drawText(r, texts::chooseMainShelf, 5 * cw - 8, buttonY);
    drawText(r, texts::deleteText, 9 * cw - 16, buttonY);
    drawText(r, texts::moveTo, 12 * cw - 16, buttonY);
    drawText(r, texts::close, W - 32 - s.layout.leftMargin, buttonY);

    drawLine(r, 0, s.layout.listTop, W - 1, s.layout.listTop);
    drawLine(r, 0, s.layout.band2Top, W - 1, s.layout.band2Top);
    if (s.window.windowMode >= 3)
        drawLine(r, 0, s.layout.band3Top, W - 1, s.layout.band3Top);
    drawLine(r, 0, s.layout.bottomBarTop, W - 1, s.layout.bottomBarTop);

    const int bottomY = s.layout.bottomBarTop + s.layout.barTextInset;
    drawText(r, s.shelf.cameFromMenu == 2 ? texts::back : texts::start, W / 2 - 16, bottomY);
    invertRect(r, s.layout.leftThird, s.layout.bottomBarTop + 1, s.layout.leftThird - 2, s.layout.barHeight);
    if (s.shelf.shelfNextPage != 0)
        drawText(r, texts::nextPage, s.layout.leftMargin, bottomY);
    if (s.shelf.shelfPrevPage >= 0)
        drawText(r, texts::previousPage, W - 48 - s.layout.leftMargin, bottomY);
}

void paintTitleBar(Reader &r, std::u16string_view text)
{
    ReaderState &s = r.s;
    const int W = s.window.clientWidth;
    const int textY = (s.layout.topBarHeight - 16) / 2;
    if (onShelfScreen(s)) {
        drawText(r, text, s.layout.pathTextLeft, textY);
        drawText(r, texts::mainShelf, s.layout.mainSlotX, textY);
        for (int d = 1; d <= 9; ++d) {
            const char16_t digit[1] = {char16_t(u'0' + d)};
            drawText(r, std::u16string_view(digit, 1), s.layout.digitRowLeft + s.layout.slotX[std::size_t(d - 1)] + 4,
                     textY);
        }
        // Title bar and path bar together.
        invertRect(r, 0, 0, W, s.layout.listTop);
    } else {
        drawTextCentred(r, text, textY);
        invertRect(r, 0, 0, W, s.layout.topBarHeight);
    }
    drawLine(r, 0, s.layout.topBarHeight, W, s.layout.topBarHeight);
}

void paintBookList(Reader &r, std::int32_t start)
{
    ReaderState &s = r.s;
    const int W = s.window.clientWidth;
    paintListGrid(r);
    drawLine(r, 0, s.layout.buttonRowTop, W - 1, s.layout.buttonRowTop);

    const int p = shelfPageSize(s);
    // A start outside the list (a stale request) shows the first page.
    if (start < 0 || (start > 0 && start >= s.shelf.bookCount()))
        start = 0;
    s.shelf.shelfPageFirst = std::int16_t(start);
    const int n = std::min<int>(p, s.shelf.bookCount() - start);
    for (int i = 0; i < n; ++i) {
        const BookEntry &entry = s.shelf.catalogue[std::size_t(start + i)];
        const int x = s.layout.columnInset + (15 - i % 16) * s.layout.columnWidth;
        drawVerticalLabel(r, entry.title, x, bandTop(s, i / 16) + 10);
    }
    s.shelf.shelfPrevPage = std::int16_t(start >= p ? start - p : -1);
    s.shelf.shelfNextPage = std::int16_t(start + p < s.shelf.bookCount() ? start + p : 0);

    if (selectionOnShownPage(s)) {
        if (s.shelf.selectedBook != s.shelf.openBook)
            loadEntryPosition(s);
        highlightListCell(r, s.shelf.selectedBook - s.shelf.shelfPageFirst);
    }
}

void paintListGrid(Reader &r)
{
    ReaderState &s = r.s;
    const bool contents = s.currentScreen == Screen::ContentsScreen;
    const int top = contents ? s.layout.topBarHeight : s.layout.listTop;
    const int bottom = contents ? s.layout.bottomBarTop : s.layout.buttonRowTop;
    for (int k = 1; k <= 15; ++k)
        drawLine(r, k * s.layout.columnWidth, top, k * s.layout.columnWidth, bottom);
}

void highlightListCell(Reader &r, int k)
{
    ReaderState &s = r.s;
    if (k < 0 || k >= 48)
        return;
    const int band = k / 16;
    k %= 16;
    const int cw = s.layout.columnWidth;
    const int x = k == 15 ? 0 : (15 - k) * cw + 1;
    const int w = k == 15 ? cw : cw - 1;
    if (s.currentScreen == Screen::ContentsScreen)
        invertRect(r, x, s.layout.topBarHeight + 1, w, s.layout.bottomBarTop - s.layout.topBarHeight - 1);
    else
        invertRect(r, x, bandTop(s, band) + 1, w, s.layout.band2Top - s.layout.listTop - 1);
}

void drawVerticalLabel(Reader &r, std::u16string_view text, int x, int y)
{
    ReaderState &s = r.s;
    int limit = s.window.clientHeight;
    if (onShelfScreen(s))
        limit = (y < s.layout.band2Top   ? s.layout.band2Top
                 : y < s.layout.band3Top ? s.layout.band3Top
                                         : s.layout.buttonRowTop) -
                16;
    else if (s.currentScreen == Screen::ContentsScreen)
        limit = s.layout.bottomBarTop - 16;

    const std::int32_t length = std::int32_t(text.size());
    bool turned = false;
    for (std::int32_t i = 0; i < length;) {
        const char16_t u = text[std::size_t(i)];
        if (u > 0xFF) {
            turned = turned || isTurnedGlyph(u);
            // Labels run on 16 px rows whatever the reading cell.
            drawColumnGlyph(r, u, x, y, 16);
            i += 1;
        } else if (u >= u'0' && u <= u'9' && isTwoDigitRun(text.data(), length, i)) {
            drawGlyph(r, u, x, y);
            drawGlyph(r, text[std::size_t(i) + 1], x + 8, y);
            i += 2;
        } else {
            drawGlyph(r, u, x + 4, y);
            i += 1;
        }
        y += 16;
        if (y > limit)
            break;
    }
    // A turned glyph leaves the reading font selected; the rest of this
    // label keeps it, the next label and the bars do not.
    if (turned)
        selectInterfaceFontTransparent(r);
}

} // namespace pagora
