#include "screens/shelf_screen.h"

#include "book/catalogue.h"
#include "platform/codec.h"
#include "platform/reader.h"
#include "render/layout_walk.h"
#include "render/primitives.h"
#include "state/interface_texts.h"

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
    case 0: return s.listTop;
    case 1: return s.band2Top;
    default: return s.band3Top;
    }
}

// Left edge of the title bar cell of a shelf: "主" or one of the digits.
// A shelf number outside 0..9 (from a damaged settings file) has no cell.
bool shelfCellX(const ReaderState &s, int shelf, int &x)
{
    if (shelf == 0) {
        x = s.mainSlotX;
        return true;
    }
    if (shelf < 1 || shelf > 9)
        return false;
    x = s.digitRowLeft + s.slotX[std::size_t(shelf - 1)];
    return true;
}

bool isTurnedGlyph(char16_t u)
{
    return u == 0x2502 || u == 0xFFE4;
}

// How to get a book in, on a clear box in the middle of the list.
void paintEmptyShelfHint(Reader &r)
{
    const ReaderState &s = r.s;
    int width = 0;
    for (std::u16string_view line : texts::emptyShelfHint)
        width = std::max(width, r.p.surface->textWidth(line));
    const int lines = int(texts::emptyShelfHint.size());
    const int left = std::max(0, (s.clientWidth - width) / 2 - 8);
    const int top = s.listTop + (s.buttonRowTop - s.listTop - lines * 20) / 2;
    fillScreenRect(r, left, top - 8, s.clientWidth - left, top + lines * 20 + 8);
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
    if (s.selectedBook < 0 || s.selectedBook < s.shelfPageFirst)
        return false;
    if (s.shelfNextPage != 0 && s.selectedBook >= s.shelfNextPage)
        return false;
    return s.selectedBook - s.shelfPageFirst < shelfPageSize(s);
}

void paintShelfScreen(Reader &r)
{
    ReaderState &s = r.s;
    const int W = s.clientWidth;
    const int cw = s.columnWidth;
    selectInterfaceFontTransparent(r);
    // Drawn before the bar is inverted, so it shows white on the panel colour.
    drawText(r, utf8ToUtf16(s.shelfPath), s.pathTextLeft, s.topBarHeight + s.barTextInset);
    paintTitleBar(r, texts::myShelf);
    paintBookList(r, s.shelfPageStart);
    if (s.bookCount == 0)
        paintEmptyShelfHint(r);
    toggleShelfMark(r, s.currentShelf);

    const int buttonY = s.buttonRowTop + s.barTextInset;
    drawText(r, texts::instructions, s.leftMargin, buttonY);
    drawText(r, texts::chooseMainShelf, 5 * cw - 8, buttonY);
    drawText(r, texts::deleteText, 9 * cw - 16, buttonY);
    drawText(r, texts::moveTo, 12 * cw - 16, buttonY);
    drawText(r, texts::close, W - 32 - s.leftMargin, buttonY);

    drawLine(r, 0, s.listTop, W - 1, s.listTop);
    drawLine(r, 0, s.band2Top, W - 1, s.band2Top);
    if (s.windowMode >= 3)
        drawLine(r, 0, s.band3Top, W - 1, s.band3Top);
    drawLine(r, 0, s.bottomBarTop, W - 1, s.bottomBarTop);

    const int bottomY = s.bottomBarTop + s.barTextInset;
    drawText(r, s.cameFromMenu == 2 ? texts::back : texts::start, W / 2 - 16, bottomY);
    invertRect(r, s.leftThird, s.bottomBarTop + 1, s.leftThird - 2, s.barHeight);
    if (s.shelfNextPage != 0)
        drawText(r, texts::nextPage, s.leftMargin, bottomY);
    if (s.shelfPrevPage >= 0)
        drawText(r, texts::previousPage, W - 48 - s.leftMargin, bottomY);
}

void paintTitleBar(Reader &r, std::u16string_view text)
{
    ReaderState &s = r.s;
    const int W = s.clientWidth;
    const int textY = (s.topBarHeight - 16) / 2;
    if (onShelfScreen(s)) {
        drawText(r, text, s.pathTextLeft, textY);
        drawText(r, texts::mainShelf, s.mainSlotX, textY);
        for (int d = 1; d <= 9; ++d) {
            const char16_t digit[1] = {char16_t(u'0' + d)};
            drawText(r, std::u16string_view(digit, 1), s.digitRowLeft + s.slotX[std::size_t(d - 1)] + 4, textY);
        }
        // Title bar and path bar together.
        invertRect(r, 0, 0, W, s.listTop);
    } else {
        drawTextCentred(r, text, textY);
        invertRect(r, 0, 0, W, s.topBarHeight);
    }
    drawLine(r, 0, s.topBarHeight, W, s.topBarHeight);
}

void paintBookList(Reader &r, std::int32_t start)
{
    ReaderState &s = r.s;
    const int W = s.clientWidth;
    paintListGrid(r);
    drawLine(r, 0, s.buttonRowTop, W - 1, s.buttonRowTop);

    const int p = shelfPageSize(s);
    // A start outside the list (a stale request) shows the first page.
    if (start < 0 || (start > 0 && start >= s.bookCount))
        start = 0;
    s.shelfPageFirst = std::int16_t(start);
    const int n = std::min<int>(p, s.bookCount - start);
    for (int i = 0; i < n; ++i) {
        const BookEntry &entry = s.catalogue[std::size_t(start + i)];
        const int x = s.columnInset + (15 - i % 16) * s.columnWidth;
        drawVerticalLabel(r, entry.title, x, bandTop(s, i / 16) + 10);
    }
    s.shelfPrevPage = std::int16_t(start >= p ? start - p : -1);
    s.shelfNextPage = std::int16_t(start + p < s.bookCount ? start + p : 0);

    if (selectionOnShownPage(s)) {
        if (s.selectedBook != s.openBook)
            loadEntryPosition(s);
        highlightListCell(r, s.selectedBook - s.shelfPageFirst);
    }
}

void paintListGrid(Reader &r)
{
    ReaderState &s = r.s;
    const bool contents = s.currentScreen == Screen::ContentsScreen;
    const int top = contents ? s.topBarHeight : s.listTop;
    const int bottom = contents ? s.bottomBarTop : s.buttonRowTop;
    for (int k = 1; k <= 15; ++k)
        drawLine(r, k * s.columnWidth, top, k * s.columnWidth, bottom);
}

void highlightListCell(Reader &r, int k)
{
    ReaderState &s = r.s;
    if (k < 0 || k >= 48)
        return;
    const int band = k / 16;
    k %= 16;
    const int cw = s.columnWidth;
    const int x = k == 15 ? 0 : (15 - k) * cw + 1;
    const int w = k == 15 ? cw : cw - 1;
    if (s.currentScreen == Screen::ContentsScreen)
        invertRect(r, x, s.topBarHeight + 1, w, s.bottomBarTop - s.topBarHeight - 1);
    else
        invertRect(r, x, bandTop(s, band) + 1, w, s.band2Top - s.listTop - 1);
}

void drawVerticalLabel(Reader &r, std::u16string_view text, int x, int y)
{
    ReaderState &s = r.s;
    int limit = s.clientHeight;
    if (onShelfScreen(s))
        limit = (y < s.band2Top ? s.band2Top : y < s.band3Top ? s.band3Top : s.buttonRowTop) - 16;
    else if (s.currentScreen == Screen::ContentsScreen)
        limit = s.bottomBarTop - 16;

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
