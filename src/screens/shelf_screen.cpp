#include "screens/shelf_screen.h"

#include "app/input_dispatch.h"
#include "app/interface_texts.h"
#include "book/bookmark_store.h"
#include "book/catalogue.h"
#include "book/shelf_operations.h"
#include "platform/codec.h"
#include "render/layout_walk.h"
#include "render/primitives.h"
#include "screens/help_contents.h"
#include "screens/move_to_shelf.h"

#include <algorithm>

namespace {

// The move panel is drawn over the shelf screen and shares its geometry.
bool onShelfScreen(const ReaderState &s)
{
    return s.currentScreen == ShelfScreen || s.currentScreen == MoveToShelfPanel;
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

bool isTurnedGlyph(char16_t u)
{
    return u == 0x2502 || u == 0xFFE4;
}

void switchToShelf(Reader &r, int shelf)
{
    ReaderState &s = r.s;
    toggleShelfMark(r, s.currentShelf);
    s.currentShelf = std::int16_t(shelf);
    toggleShelfMark(r, s.currentShelf);
    s.shelfPath = shelfFolder(s.mainShelfPath, shelf);
    repaintPathBar(r);
    switchShelf(r);
}

void titleBarPointer(Reader &r, int x)
{
    ReaderState &s = r.s;
    if (x < s.mainSlotX)
        return;
    if (x < s.digitRowLeft + s.slotX[0]) {
        if (s.currentShelf != 0)
            switchToShelf(r, 0);
        return;
    }
    if (s.pointerPhase != Press)
        return;
    int k = 9;
    for (int i = 1; i <= 8; ++i) {
        if (x < s.digitRowLeft + s.slotX[std::size_t(i)]) {
            k = i;
            break;
        }
    }
    if (k != s.currentShelf)
        switchToShelf(r, k);
}

void listPointer(Reader &r, int x, int y)
{
    ReaderState &s = r.s;
    const int cw = s.columnWidth;
    // Drags leave the panel with the button held: only the 16 columns count.
    if (cw <= 0 || x < 0 || x >= 16 * cw)
        return;
    const int column = x / cw;
    int index = s.shelfPageFirst + 15 - column;
    if (y >= s.band2Top)
        index += 16;
    if (y >= s.band3Top)
        index += 16;
    if (index > s.bookCount - 1)
        return;
    if (index != s.selectedBook) {
        if (s.selectedBook >= 0) {
            // An old selection on another list page has no cell here.
            if (selectionOnShownPage(s))
                highlightListCell(r, s.selectedBook - s.shelfPageFirst);
            storeEntryPosition(s);
        }
        storeBookmarks(r);
        s.selectedBook = std::int16_t(index);
        highlightListCell(r, index - s.shelfPageFirst);
        loadEntryPosition(s);
    }
    if (s.pointerPhase == Release)
        openSelectedBook(r);
}

void bottomBarPointer(Reader &r, int x)
{
    ReaderState &s = r.s;
    const int y = s.bottomBarTop + 1;
    const int w = s.leftThird - 2;
    const int h = s.clientHeight - s.bottomBarTop;
    if (x < s.leftThird) {
        if (s.shelfNextPage == 0)
            return;
        if (s.pointerPhase == Press)
            invertRect(r, 0, y, w, h);
        else if (s.pointerPhase == Release)
            nextShelfPage(r);
    } else if (x > s.rightThird) {
        if (s.shelfPrevPage < 0)
            return;
        if (s.pointerPhase == Press)
            invertRect(r, s.rightThird + 3, y, w, h);
        else if (s.pointerPhase == Release)
            previousShelfPage(r);
    } else {
        if (s.bookCount <= 0)
            return;
        if (s.pointerPhase == Press) {
            invertRect(r, s.leftThird, y, w, h);
        } else if (s.pointerPhase == Release) {
            if (s.cameFromMenu == 2) {
                // The menu belongs to the open book: a selection moved since
                // must not lend it another book's place.
                if (s.openBook >= 0 && s.openBook < s.bookCount && s.selectedBook != s.openBook) {
                    storeEntryPosition(s);
                    s.selectedBook = s.openBook;
                    loadEntryPosition(s);
                }
                showScreen(r, MenuScreen);
            } else if (s.selectedBook >= 0) {
                openSelectedBook(r);
            }
        }
    }
}

void buttonRowPointer(Reader &r, int x)
{
    ReaderState &s = r.s;
    const int cw = s.columnWidth;
    const int y = s.buttonRowTop + 1;
    const int h = s.barHeight - 1;
    const int chooserWidth = 3 * cw + (s.windowMode <= 2 ? 8 : 0);
    int left = 0;
    int width = 0;
    enum class Button { None, Help, Chooser, Delete, Move, Close } button = Button::None;
    if (x < 4 * cw) {
        button = Button::Help, left = 0, width = 4 * cw;
    } else if (x < 4 * cw + chooserWidth) {
        button = Button::Chooser, left = 4 * cw, width = chooserWidth;
    } else if (x >= 8 * cw && x < 10 * cw) {
        button = Button::Delete, left = 8 * cw, width = 2 * cw;
    } else if (x >= 11 * cw && x < 13 * cw) {
        button = Button::Move, left = 11 * cw, width = 2 * cw;
    } else if (x > 14 * cw) {
        button = Button::Close, left = 14 * cw, width = 2 * cw;
    }
    if (button == Button::None)
        return;
    if (s.pointerPhase == Press) {
        invertRect(r, left, y, width, h);
        return;
    }
    if (s.pointerPhase != Release)
        return;
    if (button == Button::Close) {
        // The window goes away; its close handler saves the settings.
        if (r.p.window)
            r.p.window->close();
        return;
    }
    invertRect(r, left, y, width, h);
    switch (button) {
    case Button::Help: showScreen(r, HelpScreen); break;
    case Button::Chooser: chooseMainShelf(r); break;
    case Button::Delete: deleteSelectedBook(r); break;
    case Button::Move: paintMoveToShelfPanel(r); break;
    default: break;
    }
}

} // namespace

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
    const bool contents = s.currentScreen == ContentsScreen;
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
    if (s.currentScreen == ContentsScreen)
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
    else if (s.currentScreen == ContentsScreen)
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

void shelfPointer(Reader &r, int x, int y)
{
    const ReaderState &s = r.s;
    if (y >= s.bottomBarTop)
        bottomBarPointer(r, x);
    else if (y >= s.buttonRowTop)
        buttonRowPointer(r, x);
    else if (y >= s.listTop)
        listPointer(r, x, y);
    else if (y <= s.topBarHeight)
        titleBarPointer(r, x);
    // The path bar between them does nothing.
}

void loadEntryPosition(ReaderState &s)
{
    const BookEntry *entry = selectedEntry(s);
    if (!entry)
        return;
    s.sectionCount = entry->sectionCount;
    s.currentSection = entry->lastSection;
    s.currentPage = entry->lastPage;
}

void storeEntryPosition(ReaderState &s)
{
    BookEntry *entry = selectedEntry(s);
    if (!entry)
        return;
    entry->lastSection = s.currentSection;
    entry->lastPage = s.currentPage;
}

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
