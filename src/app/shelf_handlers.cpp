#include "app/shelf_handlers.h"

#include "app/intake.h"
#include "app/reader.h"
#include "app/shelf_operations.h"
#include "app/show_screen.h"
#include "book/bookmark_store.h"
#include "book/catalogue.h"
#include "render/primitives.h"
#include "screens/move_to_shelf.h"
#include "screens/shelf_screen.h"
#include "state/interface_texts.h"

namespace pagora {

void switchShelf(Reader &r)
{
    reloadShelf(*r.services.files, r.state.shelf, r.state.book, r.state.bookmarks, r.state.menu, r.state.search);
    showScreen(r, Screen::ShelfScreen);
}

namespace {

void switchToShelf(Reader &r, int shelf)
{
    ReaderState &s = r.state;
    s.shelf.currentShelf = std::int16_t(shelf);
    s.shelf.shelfPath = shelfFolder(s.folders.mainShelfPath, shelf);
    switchShelf(r);
}

void titleBarPointer(Reader &r, int x)
{
    ReaderState &s = r.state;
    if (x < s.layout.mainSlotX)
        return;
    if (x < s.layout.digitRowLeft + s.layout.slotX[0]) {
        if (s.shelf.currentShelf != 0)
            switchToShelf(r, 0);
        return;
    }
    if (s.pointer.pointerPhase() != PointerPhase::Press)
        return;
    int k = 9;
    for (int i = 1; i <= 8; ++i) {
        if (x < s.layout.digitRowLeft + s.layout.slotX[std::size_t(i)]) {
            k = i;
            break;
        }
    }
    if (k != s.shelf.currentShelf)
        switchToShelf(r, k);
}

void listPointer(Reader &r, int x, int y)
{
    ReaderState &s = r.state;
    const int cw = s.layout.columnWidth;
    // Drags leave the panel with the button held: only the 16 columns count.
    if (cw <= 0 || x < 0 || x >= 16 * cw)
        return;
    const int column = x / cw;
    int index = s.shelf.shelfPageFirst + 15 - column;
    if (y >= s.layout.band2Top)
        index += 16;
    if (y >= s.layout.band3Top)
        index += 16;
    if (index > s.shelf.bookCount() - 1)
        return;
    if (index != s.shelf.selectedBook()) {
        // An old selection on another list page has no cell here.
        const PixelRect before =
            selectionOnShownPage(s) ? listCellBox(s, s.shelf.selectedBook() - s.shelf.shelfPageFirst) : PixelRect{};
        if (s.shelf.selectedBook() >= 0)
            storeEntryPosition(s.shelf, s.book);
        storeBookmarks(*r.services.files, r.state.bookmarks);
        s.shelf.select(std::int16_t(index));
        loadEntryPosition(s.shelf, s.book);
        repaintBox(r, before);
        repaintBox(r, listCellBox(s, index - s.shelf.shelfPageFirst));
    }
    if (s.pointer.pointerPhase() == PointerPhase::Release)
        openSelectedBook(r);
}

void bottomBarPointer(Reader &r, int x)
{
    ReaderState &s = r.state;
    const int y = s.layout.bottomBarTop + 1;
    const int w = s.layout.leftThird - 2;
    const int h = s.window.clientHeight - s.layout.bottomBarTop;
    if (x < s.layout.leftThird) {
        if (s.shelf.shelfNextPage == 0)
            return;
        if (s.pointer.pointerPhase() == PointerPhase::Press)
            holdDown(r, {0, y, w, h});
        else if (s.pointer.pointerPhase() == PointerPhase::Release)
            nextShelfPage(r);
    } else if (x > s.layout.rightThird) {
        if (s.shelf.shelfPrevPage < 0)
            return;
        if (s.pointer.pointerPhase() == PointerPhase::Press)
            holdDown(r, {s.layout.rightThird + 3, y, w, h});
        else if (s.pointer.pointerPhase() == PointerPhase::Release)
            previousShelfPage(r);
    } else {
        // 開始 on an empty shelf starts by bringing books in.
        const bool empty = s.shelf.bookCount() <= 0;
        if (empty && s.shelf.cameFromMenu == EnteredFrom::Menu)
            return;
        if (s.pointer.pointerPhase() == PointerPhase::Press) {
            holdDown(r, {s.layout.leftThird, y, w, h});
        } else if (s.pointer.pointerPhase() == PointerPhase::Release) {
            if (empty) {
                dropFiles(r, chooseFilesToTakeIn(r));
                // Nothing chosen: the pressed button is drawn up again.
                if (s.currentScreen == Screen::ShelfScreen && s.shelf.bookCount() <= 0) {
                    s.pointer.holdDown({});
                    repaintShown(r);
                }
            } else if (s.shelf.cameFromMenu == EnteredFrom::Menu) {
                // The menu belongs to the open book: a selection moved since
                // must not lend it another book's place.
                if (s.shelf.openBook() >= 0 && s.shelf.openBook() < s.shelf.bookCount() &&
                    s.shelf.selectedBook() != s.shelf.openBook()) {
                    storeEntryPosition(s.shelf, s.book);
                    s.shelf.select(s.shelf.openBook());
                    loadEntryPosition(s.shelf, s.book);
                }
                showScreen(r, Screen::MenuScreen);
            } else if (s.shelf.selectedBook() >= 0) {
                openSelectedBook(r);
            }
        }
    }
}

void buttonRowPointer(Reader &r, int x)
{
    ReaderState &s = r.state;
    const int cw = s.layout.columnWidth;
    const int y = s.layout.buttonRowTop + 1;
    const int h = s.layout.barHeight - 1;
    const int chooserWidth = 3 * cw + (s.window.windowMode <= 2 ? 8 : 0);
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
    if (s.pointer.pointerPhase() == PointerPhase::Press) {
        holdDown(r, {left, y, width, h});
        return;
    }
    if (s.pointer.pointerPhase() != PointerPhase::Release)
        return;
    if (button == Button::Close) {
        // The window goes away; its close handler saves the settings.
        r.services.window->close();
        return;
    }
    letUp(r);
    switch (button) {
    case Button::Help:
        r.state.shelf.helpPage = 0;
        showScreen(r, Screen::HelpScreen);
        break;
    case Button::Chooser: chooseMainShelf(r); break;
    case Button::Delete: deleteSelectedBook(r); break;
    case Button::Move: showMoveToShelfPanel(r); break;
    default: break;
    }
}

} // namespace

void shelfPointer(Reader &r, int x, int y)
{
    const ReaderState &s = r.state;
    if (y >= s.layout.bottomBarTop)
        bottomBarPointer(r, x);
    else if (y >= s.layout.buttonRowTop)
        buttonRowPointer(r, x);
    else if (y >= s.layout.listTop)
        listPointer(r, x, y);
    else if (y <= s.layout.topBarHeight)
        titleBarPointer(r, x);
    // The path bar between them does nothing.
}

void nextShelfPage(Reader &r)
{
    if (r.state.shelf.shelfNextPage != 0) {
        r.state.shelf.shelfPageStart = r.state.shelf.shelfNextPage;
        showScreen(r, Screen::ShelfScreen);
    }
}

void previousShelfPage(Reader &r)
{
    if (r.state.shelf.shelfPrevPage >= 0) {
        r.state.shelf.shelfPageStart = r.state.shelf.shelfPrevPage;
        showScreen(r, Screen::ShelfScreen);
    }
}

void showMoveToShelfPanel(Reader &r)
{
    ReaderState &s = r.state;
    if (s.shelf.bookCount() == 0)
        return;
    // The panel stands over the lower rows of the shelf screen.
    enterScreen(r, Screen::MoveToShelfPanel);
    settleScreen(s);
    repaintRect(r, 0, s.layout.buttonRowTop, s.window.clientWidth, s.window.clientHeight);
}

void moveToShelfPointer(Reader &r, int x, int y)
{
    const MovePanelStep step = movePanelPointer(r.state, x, y);
    const int before = r.state.shelf.moveSlot;
    r.state.shelf.moveTarget = step.choice.target;
    r.state.shelf.moveSlot = step.choice.slot;
    if (step.choice.slot != before) {
        repaintBox(r, moveSlotPlace(r.state, before));
        repaintBox(r, moveSlotPlace(r.state, step.choice.slot));
    }
    if (!step.held.isEmpty())
        holdDown(r, step.held);
    switch (step.action) {
    case MovePanelAction::Cancel: showScreen(r, Screen::ShelfScreen); break;
    case MovePanelAction::Move:
        // The copy must carry the marks made since the book was opened.
        storeBookmarks(*r.services.files, r.state.bookmarks);
        moveSelectedBook(r);
        break;
    case MovePanelAction::None: break;
    }
}

void chooseMainShelf(Reader &r)
{
    ReaderState &s = r.state;
    // Opens where the main shelf is, not wherever the reader was started.
    std::string folder = s.folders.mainShelfPath;
    if (!r.services.dialogs->chooseFolder(texts::chooseMainShelfCaption, folder) || folder.empty())
        return;
    if (folder.back() != '/')
        folder += '/';
    if (folder == s.shelf.shelfPath)
        return;
    s.shelf.shelfPath = folder;
    storeBookmarks(*r.services.files, r.state.bookmarks);
    s.shelf.currentShelf = 0;
    s.folders.mainShelfPath = s.shelf.shelfPath;
    switchShelf(r);
}

} // namespace pagora
