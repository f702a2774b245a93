#include "app/input_dispatch.h"

#include "app/menu_handlers.h"
#include "app/navigation.h"
#include "app/notes_handlers.h"
#include "app/passage_mark_commands.h"
#include "app/read_aloud.h"
#include "app/reader.h"
#include "app/search.h"
#include "app/selection_handlers.h"
#include "app/shelf_handlers.h"
#include "app/show_screen.h"
#include "app/window_modes.h"

namespace pagora {

void dispatchPointer(Reader &r, int x, int y)
{
    // A release whose press was consumed by a screen change is dropped.
    if (!r.state.pointer.buttonHeld())
        return;
    switch (r.state.currentScreen) {
    case Screen::ShelfScreen: shelfPointer(r, x, y); break;
    case Screen::ReadingScreen: readingPointer(r, x, y); break;
    case Screen::MenuScreen: menuPointer(r, x, y); break;
    case Screen::HelpScreen: helpPointer(r, x, y); break;
    case Screen::ContentsScreen: contentsPointer(r, x, y); break;
    case Screen::NotesScreen: notesPointer(r, x, y); break;
    case Screen::MoveToShelfPanel: moveToShelfPointer(r, x, y); break;
    default: break;
    }
}

void onPointerPressed(Reader &r, int x, int y, bool leftButton)
{
    if (!leftButton)
        return;
    r.state.pointer.press();
    dispatchPointer(r, x, y);
}

void onPointerMoved(Reader &r, int x, int y)
{
    const auto screen = r.state.currentScreen;
    if (!r.state.pointer.buttonHeld() || (screen != Screen::ShelfScreen && screen != Screen::MenuScreen &&
                                          screen != Screen::ContentsScreen && screen != Screen::NotesScreen))
        return;
    r.state.pointer.drag();
    dispatchPointer(r, x, y);
}

void onPointerReleased(Reader &r, int x, int y, bool leftButton)
{
    if (!leftButton)
        return;
    r.state.pointer.release();
    dispatchPointer(r, x, y);
    // A control still held down (its release did nothing) comes back up.
    letUp(r);
    r.state.pointer.letGo();
}

namespace {

enum class Group { None, ForwardSection, Forward, BackSection, Back };

Group groupOf(Key key)
{
    switch (key) {
    case Key::PageDown: return Group::ForwardSection;
    case Key::Space:
    case Key::Left:
    case Key::Down: return Group::Forward;
    case Key::PageUp: return Group::BackSection;
    case Key::Backspace:
    case Key::Up:
    case Key::Right: return Group::Back;
    default: return Group::None;
    }
}

void act(Reader &r, Group g)
{
    const bool forward = g == Group::Forward || g == Group::ForwardSection;
    switch (r.state.currentScreen) {
    case Screen::ReadingScreen:
        switch (g) {
        case Group::ForwardSection: nextSectionCommand(r); break;
        case Group::Forward: nextPageCommand(r); break;
        case Group::BackSection: previousSectionCommand(r); break;
        case Group::Back: previousPageCommand(r); break;
        default: break;
        }
        break;
    case Screen::ContentsScreen: forward ? nextContentsPage(r) : previousContentsPage(r); break;
    case Screen::NotesScreen: forward ? nextNotesPage(r) : previousNotesPage(r); break;
    case Screen::ShelfScreen: forward ? nextShelfPage(r) : previousShelfPage(r); break;
    default: break;
    }
}

} // namespace

void onKeyReleased(Reader &r, Key key)
{
    Group g = groupOf(key);
    // A turn while reading aloud stops it where it is instead.
    if (g != Group::None && !stopReadingAloud(r))
        act(r, g);
}

namespace {

bool isBookShown(const ReaderState &s)
{
    return s.currentScreen == Screen::ReadingScreen || s.currentScreen == Screen::MenuScreen;
}

// One step back from where the reader is: a popup or the selection first,
// then the screen, then full screen.
bool back(Reader &r)
{
    ReaderState &s = r.state;
    if (stopReadingAloud(r) || selectionKey(r, SelectionKey::Escape))
        return true;
    switch (s.currentScreen) {
    case Screen::MenuScreen: leaveMenu(r); return true;
    case Screen::ContentsScreen: leaveContents(r); return true;
    case Screen::NotesScreen: showScreen(r, Screen::MenuScreen); return true;
    case Screen::HelpScreen:
    case Screen::MoveToShelfPanel: showScreen(r, Screen::ShelfScreen); return true;
    default: break;
    }
    if (s.window.fullScreenState != FullScreenState::Borderless)
        return false;
    toggleFullScreen(r);
    return true;
}

// F3 before anything was looked for asks what to look for.
bool find(Reader &r, bool forward)
{
    if (!isBookShown(r.state))
        return false;
    if (readSearchText(r) == 0)
        openSearch(r);
    else if (forward)
        findNext(r);
    else
        findPrevious(r);
    return true;
}

} // namespace

bool onCommand(Reader &r, Command command)
{
    ReaderState &s = r.state;
    switch (command) {
    case Command::Back: return back(r);
    case Command::FullScreen: toggleFullScreen(r); return true;
    case Command::Find:
        if (!isBookShown(s))
            return false;
        openSearch(r);
        return true;
    case Command::FindNext: return find(r, true);
    case Command::FindPrevious: return find(r, false);
    case Command::Confirm:
        if (s.currentScreen != Screen::MenuScreen || !s.menu.searchMode)
            return false;
        findNext(r);
        return true;
    case Command::Shelf:
        if (isBookShown(s) || s.currentScreen == Screen::NotesScreen ||
            (s.currentScreen == Screen::ContentsScreen && s.shelf.cameFromMenu == EnteredFrom::Menu)) {
            leaveBookForShelf(r);
            return true;
        }
        if (s.currentScreen == Screen::HelpScreen || s.currentScreen == Screen::ContentsScreen) {
            s.shelf.shelfPageStart = s.shelf.shelfPageFirst;
            showScreen(r, Screen::ShelfScreen);
            return true;
        }
        return false;
    }
    return false;
}

void onWheel(Reader &r, bool down)
{
    // On the reading screen the wheel always turns one page, never a section.
    if (!stopReadingAloud(r))
        act(r, down ? Group::Forward : Group::Back);
}

} // namespace pagora
