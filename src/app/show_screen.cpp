#include "app/show_screen.h"

#include "app/passage_mark_commands.h"
#include "app/read_aloud.h"
#include "app/reader.h"
#include "app/selection_handlers.h"
#include "book/bookmark_store.h"
#include "book/catalogue.h"
#include "render/layout_walk.h"
#include "screens/help_contents.h"
#include "screens/move_to_shelf.h"
#include "screens/notes_screen.h"
#include "screens/paint_dispatch.h"
#include "screens/search_controls.h"
#include "screens/shelf_screen.h"

namespace pagora {

namespace {

void settleShelfPage(ReaderState &s)
{
    const BookListPage page =
        bookListPage(s.shelf.bookCount(), shelfPageSize(s.window.windowMode), s.shelf.shelfPageStart);
    s.shelf.shelfPageFirst = page.first;
    s.shelf.shelfNextPage = page.next;
    s.shelf.shelfPrevPage = page.prev;
    // The book chosen on the page shown lends the contents and the menu its place.
    if (selectionOnShownPage(s) && s.shelf.selectedBook() != s.shelf.openBook())
        loadEntryPosition(s.shelf, s.book);
}

void settleMenu(ReaderState &s)
{
    s.menu.clearReadingMarks();
    // The page slider and its count span every page of the section.
    finishLayout(s.book);
    // The toggle button must offer delete only for a page that carries a
    // bookmark, whatever moved the position since the last toggle.
    s.bookmarks.pageHasBookmark = currentPageHasBookmark(s.bookmarks, s.book);
    if (!s.menu.searchMode && s.menu.bookmarkMode)
        findBookmarkNeighbours(s.bookmarks, s.book);
}

// In search mode the menu's box stands beside its label and takes the typing.
void raiseSearchBox(Reader &r)
{
    if (r.state.currentScreen != Screen::MenuScreen || !r.state.menu.searchMode)
        return;
    TextBox &box = *r.services.searchBox;
    if (!box.isCreated()) {
        const PixelRect place = searchBoxPlace(r.state);
        box.create(place.x, place.y, place.width, place.height);
    }
    box.show();
    box.focus();
}

} // namespace

void settleScreen(ReaderState &s)
{
    switch (s.currentScreen) {
    case Screen::ShelfScreen: settleShelfPage(s); break;
    case Screen::MoveToShelfPanel: {
        settleShelfPage(s);
        const MoveChoice choice = settledMoveChoice(s.shelf);
        s.shelf.moveTarget = choice.target;
        s.shelf.moveSlot = choice.slot;
        break;
    }
    case Screen::MenuScreen: settleMenu(s); break;
    case Screen::ContentsScreen: {
        const BookEntry *entry = s.shelf.selectedEntry();
        const ContentsPage page =
            contentsPage(entry ? entry->sectionCount : 0, s.book.currentSection, s.book.contentsStart);
        s.book.sectionCount = page.sectionCount;
        s.book.contentsFirst = page.first;
        s.book.contentsNextPage = page.next;
        s.book.contentsPrevPage = page.prev;
        break;
    }
    case Screen::NotesScreen: s.book.notes.first = shownNotesFirst(s.book.notes); break;
    default: break;
    }
}

void repaintShown(Reader &r)
{
    settleScreen(r.state);
    // Clipped, so that a surface which paints later only takes the area.
    repaintRect(r, 0, 0, r.state.window.clientWidth, r.state.window.clientHeight);
    raiseSearchBox(r);
}

void repaintShownRect(Reader &r, int left, int top, int right, int bottom)
{
    settleScreen(r.state);
    repaintRect(r, left, top, right, bottom);
    raiseSearchBox(r);
}

void enterScreen(Reader &r, Screen screen)
{
    // Reading aloud goes on only while the page is shown.
    if (screen != Screen::ReadingScreen)
        stopReadingAloud(r);
    r.state.currentScreen = screen;
    r.state.pointer.letGo();
    dropSelection(r);
}

void paintShownScreen(Reader &r, bool erase)
{
    paintScreen(canvasOf(r), r.state, *r.services.desktop, *r.services.files, r.lookUp, erase);
}

void repaintRect(Reader &r, int left, int top, int right, int bottom)
{
    Surface &surface = *r.services.surface;
    surface.drawClipped(left, top, right, bottom, [&] {
        surface.fillRect(left, top, right, bottom, panelBackground(r.state));
        paintShownScreen(r, false);
    });
}

void repaintBox(Reader &r, const PixelRect &box)
{
    if (!box.isEmpty())
        repaintRect(r, box.x, box.y, box.x + box.width, box.y + box.height);
}

void holdDown(Reader &r, const PixelRect &control)
{
    r.state.pointer.holdDown(control);
    repaintBox(r, control);
}

void letUp(Reader &r)
{
    const PixelRect held = r.state.pointer.pressed();
    r.state.pointer.holdDown({});
    repaintBox(r, held);
}

void showScreen(Reader &r, Screen screen)
{
    enterScreen(r, screen);
    if (screen == Screen::ReadingScreen)
        refreshShownMarks(r);
    repaintShown(r);
    // The search box may have held the focus.
    if (screen == Screen::ReadingScreen)
        r.services.window->focusPanel();
}

void listBottomBar(Reader &r, int x, const ListBar &bar)
{
    const ReaderState &s = r.state;
    const auto phase = s.pointer.pointerPhase();
    if (phase == PointerPhase::Drag)
        return;
    const int y0 = s.layout.bottomBarTop + 1;
    const int w = s.layout.leftThird - 2;
    const int h = s.window.clientHeight - s.layout.bottomBarTop;
    int left = s.layout.leftThird; // "返回"
    const std::function<void()> *act = &bar.back;
    if (x < s.layout.leftThird) {
        if (!bar.hasNext)
            return;
        left = 0, act = &bar.next;
    } else if (x > s.layout.rightThird) {
        if (!bar.hasPrevious)
            return;
        left = s.layout.rightThird + 3, act = &bar.previous;
    }
    if (phase == PointerPhase::Press)
        holdDown(r, {left, y0, w, h});
    else
        (*act)();
}

} // namespace pagora
