#include "app/menu_handlers.h"

#include "app/book_place.h"
#include "app/bookmark_commands.h"
#include "app/font_dialog.h"
#include "app/navigation.h"
#include "app/notes_handlers.h"
#include "app/read_aloud.h"
#include "app/reader.h"
#include "app/search.h"
#include "app/show_screen.h"
#include "app/window_modes.h"
#include "render/indicators.h"
#include "render/layout_walk.h"
#include "render/primitives.h"
#include "screens/help_contents.h"
#include "screens/menu_screen.h"
#include "screens/shelf_screen.h"

#include <algorithm>

namespace pagora {

namespace {

constexpr int kCell = 16; // interface glyph cell

bool inNormalMode(const ReaderState &s)
{
    return !s.menu.searchMode && !s.menu.bookmarkMode;
}

// Numbered cells react only right of the first cell's left edge.
bool overNumberedCells(const ReaderState &s, int x)
{
    return x > s.layout.digitRowLeft + s.layout.slotX[0];
}

// The cell under x in a row of `cells` numbered cells (1-based); everything
// right of the last cell counts as the last.
int cellUnder(const ReaderState &s, int x, int cells)
{
    for (int i = 1; i < cells && i < int(s.layout.slotX.size()); ++i)
        if (x < s.layout.digitRowLeft + s.layout.slotX[std::size_t(i)])
            return i;
    return cells;
}

// Cell i of a digit row painted again from the state; values outside
// 1..cells have no cell.
void repaintDigitCell(Reader &r, int i, int cells, int top, int height)
{
    if (i >= 1 && i <= cells)
        repaintRect(r, digitCellX(r.state, i), top, digitCellX(r.state, i) + kCell, top + height);
}

void repaintBox(Reader &r, int x, int y, int width, int height)
{
    repaintBox(r, PixelRect{x, y, width, height});
}

PointerGrab grabAt(const ReaderState &s, int x, int y)
{
    if (y < s.layout.menuBandTop)
        return inNormalMode(s) ? PointerGrab::SectionSliderGrab : PointerGrab::NoGrab;
    if (y < s.layout.menuBandBottom)
        return PointerGrab::NoGrab;
    if (y < s.layout.thirdRowTop)
        return inNormalMode(s) ? PointerGrab::PageSliderGrab : PointerGrab::NoGrab;
    if (y < s.layout.buttonRowTop)
        return overNumberedCells(s, x) && !overReadAloudButton(s, x, y) ? PointerGrab::WindowRowGrab
                                                                        : PointerGrab::NoGrab;
    return PointerGrab::NoGrab;
}

// The page or section slider: the mark follows the pointer at once, and the
// release goes to the chosen page or section.
void slider(Reader &r, Indicator kind, int x)
{
    ReaderState &s = r.state;
    const bool page = kind == Indicator::Page;
    if (page)
        finishLayout(s.book); // the slider spans every page
    const int count = page ? s.book.pages.pageCount() : s.book.sectionCount;
    const int current = page ? s.book.pages.currentPage() : s.book.currentSection;
    if (count < 1)
        return;
    const int value = sliderValue(x, s.window.clientWidth, count);
    if (value != current) {
        if (page)
            s.book.pages.turnTo(value);
        else
            s.book.currentSection = std::int16_t(value);
        // The band holds the slider's mark and its label.
        if (page)
            repaintRect(r, 0, s.layout.menuBandBottom + 1, s.window.clientWidth, s.layout.thirdRowTop);
        else
            repaintRect(r, 0, s.layout.topBarHeight + 1, s.window.clientWidth, s.layout.menuBandTop);
    }
    if (s.pointer.pointerPhase() != PointerPhase::Release)
        return;
    if (page) {
        s.menu.showPageNumber = true;
        showPage(r, s.book.pages.currentPage());
    } else {
        s.menu.showSectionNumber = true;
        openSectionAtFirstPage(r);
    }
}

void windowRow(Reader &r, int x)
{
    ReaderState &s = r.state;
    const int offered = s.window.windowModeCount - 1;
    if (offered < 1)
        return;
    if (s.pointer.pointerPhase() == PointerPhase::Press) {
        const int chosen = cellUnder(s, x, offered);
        if (chosen == s.window.windowMode)
            return;
        // Maximized with caption has no cell: nothing to un-mark then.
        const int before = s.window.windowMode;
        s.window.windowMode = std::int16_t(chosen);
        if (s.window.fullScreenState == FullScreenState::Framed)
            s.window.startWindowMode = s.window.windowMode;
        repaintDigitCell(r, before, offered, s.layout.thirdRowTop + 1, s.layout.barHeight - 1);
        repaintDigitCell(r, chosen, offered, s.layout.thirdRowTop + 1, s.layout.barHeight - 1);
    } else if (s.pointer.pointerPhase() == PointerPhase::Release) {
        if (s.window.windowMode == s.window.windowModeCount - 1 &&
            s.window.fullScreenState == FullScreenState::MaximizedWithCaption) {
            // Pass through the largest framed size so that the window is back
            // in the normal state, with its frame, before the frame is removed.
            s.window.windowMode = std::int16_t(s.window.windowModeCount - 2);
            applyWindowMode(r);
            s.window.windowMode = std::int16_t(s.window.windowModeCount - 1);
        }
        applyAndReflow(r);
        showScreen(r, Screen::MenuScreen);
    }
}

void topBand(Reader &r)
{
    ReaderState &s = r.state;
    if (s.menu.searchMode || !s.menu.bookmarkMode)
        return; // the search box takes its own input; the slider only its own gestures
    if (s.pointer.pointerPhase() == PointerPhase::Press) {
        holdDown(r, {0, 0, s.window.clientWidth, s.layout.menuBandTop});
    } else if (s.pointer.pointerPhase() == PointerPhase::Release) {
        toggleBookmark(r);
    }
}

void middleBand(Reader &r, int x)
{
    ReaderState &s = r.state;
    const auto phase = s.pointer.pointerPhase();
    const MenuBandButton button = menuBandButtonAt(s, x);
    const auto press = [&] { holdDown(r, menuBandButton(s, button)); };

    switch (button) {
    case MenuBandButton::ModeCancel:
        if (phase == PointerPhase::Press) {
            press();
        } else if (phase == PointerPhase::Release) {
            if (s.menu.searchMode)
                hideSearchBox(*r.services.searchBox, s.menu);
            s.menu.searchMode = false;
            s.menu.bookmarkMode = false;
            showScreen(r, Screen::MenuScreen);
        }
        break;
    case MenuBandButton::Search:
        if (phase == PointerPhase::Press) {
            press();
        } else if (phase == PointerPhase::Release) {
            s.menu.searchMode = true;
            showScreen(r, Screen::MenuScreen);
        }
        break;
    case MenuBandButton::Bookmark:
        if (phase == PointerPhase::Press) {
            press();
        } else if (phase == PointerPhase::Release) {
            s.menu.bookmarkMode = true;
            showScreen(r, Screen::MenuScreen);
        }
        break;
    case MenuBandButton::Back:
        if (phase == PointerPhase::Press) {
            press();
        } else {
            hideSearchBox(*r.services.searchBox, s.menu);
            if (phase == PointerPhase::Release)
                showScreen(r, Screen::ReadingScreen);
        }
        break;
    case MenuBandButton::Contents:
        if (phase == PointerPhase::Press) {
            press();
        } else if (phase == PointerPhase::Release) {
            hideSearchBox(*r.services.searchBox, s.menu);
            s.shelf.cameFromMenu = EnteredFrom::Menu;
            s.book.contentsStart = 0;
            showScreen(r, Screen::ContentsScreen);
        }
        break;
    case MenuBandButton::Shelf:
        if (phase == PointerPhase::Press)
            press();
        else if (phase == PointerPhase::Release)
            leaveBookForShelf(r);
        break;
    }
}

void lowerBand(Reader &r, int x)
{
    ReaderState &s = r.state;
    if (inNormalMode(s) || s.pointer.pointerPhase() == PointerPhase::Drag)
        return; // the page slider follows only its own gestures
    const bool left = x < s.layout.halfWidth;
    if (s.menu.bookmarkMode && (left ? s.bookmarks.nextMarkPage : s.bookmarks.prevMarkPage) == 0)
        return; // no bookmark that way: the half is blank and inert
    const int x0 = left ? 0 : s.layout.halfWidth + 1;
    const int y0 = s.layout.menuBandBottom + 1;
    const int h = s.layout.thirdRowTop - s.layout.menuBandBottom - 1;
    if (s.pointer.pointerPhase() == PointerPhase::Press) {
        holdDown(r, {x0, y0, s.layout.halfWidth, h});
        return;
    }
    if (s.menu.searchMode) {
        const int found = left ? findNext(r) : findPrevious(r);
        if (!found)
            letUp(r);
    } else {
        jumpToBookmark(r, left);
    }
}

// "避頭尾": columns break by the rules of printed Chinese, or wherever they
// fill; the page shown keeps its first character, as for a new size.
void breaksSwitch(Reader &r)
{
    ReaderState &s = r.state;
    s.look.chineseBreaks = !s.look.chineseBreaks;
    repaintBox(r, breaksSwitchLeft(s), s.layout.buttonRowTop + 1, kBreaksSwitchWidth, s.layout.barHeight);
    relayoutKeepingPosition(*r.services.surface, r.fonts, s.book, s.look, computeTextArea(s));
    // The page band shows the new page count.
    repaintShownRect(r, 0, s.layout.menuBandBottom + 1, s.window.clientWidth, s.layout.thirdRowTop);
    s.book.pages.show(s.book.pages.currentPage());
}

void colourRow(Reader &r, int x)
{
    ReaderState &s = r.state;
    if (s.pointer.pointerPhase() != PointerPhase::Press)
        return;
    if (x >= breaksSwitchLeft(s) && x < breaksSwitchLeft(s) + kBreaksSwitchWidth) {
        breaksSwitch(r);
        return;
    }
    const int top = s.layout.buttonRowTop + 1;
    const int h = s.layout.barHeight - 1;
    if (overNumberedCells(s, x)) {
        const int choice = cellUnder(s, x, 9);
        if (choice == s.look.backgroundChoice())
            return;
        const int before = s.look.backgroundChoice();
        s.look.setColours(s.look.textScheme(), std::int16_t(choice));
        repaintDigitCell(r, before, 9, top, h);
        repaintDigitCell(r, choice, 9, top, h);
    } else if (x > s.layout.slotX[0]) {
        int scheme = 0;
        if (x <= s.layout.slotX[1])
            scheme = 1;
        else if (x <= s.layout.slotX[2])
            scheme = 2;
        if (scheme == 0 || scheme == s.look.textScheme())
            return;
        const int before = s.look.textScheme();
        s.look.setColours(std::int16_t(scheme), s.look.backgroundChoice());
        if (before == 1 || before == 2)
            repaintBox(r, s.layout.slotX[std::size_t(before - 1)], top, kCell, h);
        repaintBox(r, s.layout.slotX[std::size_t(scheme - 1)], top, kCell, h);
    }
    // The menu is not repainted: the colours show on the reading screen.
}

// "直" and "橫" left of the window row; like the colours, shown on the page.
void punctuationChoice(Reader &r, int x)
{
    ReaderState &s = r.state;
    if (s.pointer.pointerPhase() != PointerPhase::Press || x <= s.layout.slotX[0] || x > s.layout.slotX[2])
        return;
    const bool forms = x <= s.layout.slotX[1];
    if (forms == s.look.verticalForms)
        return;
    s.look.verticalForms = forms;
    // The choice left, then the one taken.
    for (const int slot : {forms ? 1 : 0, forms ? 0 : 1})
        repaintBox(r, s.layout.slotX[std::size_t(slot)], s.layout.thirdRowTop + 1, kCell, s.layout.barHeight - 1);
}

// "附註": the marks and notes of the book.
void notesButton(Reader &r)
{
    ReaderState &s = r.state;
    if (s.pointer.pointerPhase() == PointerPhase::Drag)
        return;
    if (s.pointer.pointerPhase() == PointerPhase::Press) {
        holdDown(r, {notesButtonLeft(s), s.layout.thirdRowTop + 1, kNotesButtonWidth, s.layout.barHeight - 1});
    } else if (s.pointer.pointerPhase() == PointerPhase::Release) {
        hideSearchBox(*r.services.searchBox, s.menu);
        openNotesScreen(r);
    }
}

// "朗讀": reads the page shown aloud, or stops; held long, the voice dialog.
void readAloudButton(Reader &r)
{
    ReaderState &s = r.state;
    ReadAloud &a = r.aloud;
    const auto now = std::chrono::steady_clock::now();
    switch (s.pointer.pointerPhase()) {
    case PointerPhase::Press:
        a.buttonPressed = true;
        a.pressedAt = now;
        holdDown(r, readAloudButton(s));
        return;
    case PointerPhase::Release:
        if (!a.buttonPressed)
            return;
        a.buttonPressed = false;
        letUp(r);
        if (now - a.pressedAt >= kLongPress) {
            chooseReadingVoice(r);
            return;
        }
        hideSearchBox(*r.services.searchBox, s.menu);
        if (!stopReadingAloud(r))
            readAloudFromPage(r);
        return;
    default: return;
    }
}

void fontRow(Reader &r, int x)
{
    ReaderState &s = r.state;
    if (overNumberedCells(s, x)) {
        if (s.pointer.pointerPhase() != PointerPhase::Press)
            return;
        const int step = cellUnder(s, x, 9);
        if (step == s.look.sizeStep())
            return;
        const int before = s.look.sizeStep();
        s.look.setSizeStep(std::int16_t(step));
        repaintDigitCell(r, before, 9, s.layout.bottomBarTop + 1, s.layout.barHeight);
        repaintDigitCell(r, step, 9, s.layout.bottomBarTop + 1, s.layout.barHeight);
        relayoutKeepingPosition(*r.services.surface, r.fonts, s.book, s.look, computeTextArea(s));
        // The page band shows the new page count; the window row lies inside too.
        repaintShownRect(r, 0, s.layout.menuBandBottom + 1, s.window.clientWidth, s.layout.buttonRowTop);
        s.book.pages.show(s.book.pages.currentPage());
    } else if (x < s.layout.fontNameRight) {
        if (s.pointer.pointerPhase() == PointerPhase::Drag)
            return;
        if (s.pointer.pointerPhase() == PointerPhase::Press) {
            holdDown(r, {s.layout.slotX[0], s.layout.bottomBarTop + 1, faceButtonWidth(*r.services.surface, r.fonts, s),
                         s.layout.barHeight - 1});
            return;
        }
        letUp(r);
        if (s.pointer.pointerPhase() == PointerPhase::Release && chooseReadingFont(r))
            showScreen(r, Screen::MenuScreen);
    }
}

// Moves the contents highlight to the title under x; false over an empty column.
bool chooseTitle(Reader &r, int x)
{
    ReaderState &s = r.state;
    if (s.layout.columnWidth <= 0)
        return false;
    // The pointer may leave the panel while the button is held.
    const int column = std::clamp(x / s.layout.columnWidth, 0, 15);
    const int n = s.book.contentsFirst + 15 - column;
    if (n > s.book.sectionCount || n < 1)
        return false;
    if (n != s.book.currentSection) {
        const int before = s.book.currentSection - s.book.contentsFirst;
        s.book.currentSection = std::int16_t(n);
        repaintBox(r, listCellBox(s, before));
        repaintBox(r, listCellBox(s, n - s.book.contentsFirst));
    }
    return true;
}

void contentsBottomBar(Reader &r, int x)
{
    ReaderState &s = r.state;
    const auto turnTo = [&r](std::int32_t start) {
        r.state.book.contentsStart = start;
        showScreen(r, Screen::ContentsScreen);
    };
    listBottomBar(r, x,
                  {s.book.contentsNextPage != 0, s.book.contentsPrevPage != 0, [&] { turnTo(s.book.contentsNextPage); },
                   [&] { turnTo(s.book.contentsPrevPage); }, [&] { leaveContents(r); }});
}

} // namespace

void leaveBookForShelf(Reader &r)
{
    ReaderState &s = r.state;
    hideSearchBox(*r.services.searchBox, s.menu);
    rememberPlace(r);
    s.shelf.cameFromMenu = EnteredFrom::Menu;
    showScreen(r, Screen::ShelfScreen);
}

void leaveContents(Reader &r)
{
    ReaderState &s = r.state;
    if (s.shelf.cameFromMenu == EnteredFrom::Menu) {
        showScreen(r, Screen::MenuScreen);
    } else if (s.shelf.cameFromMenu == EnteredFrom::Shelf) {
        s.shelf.shelfPageStart = s.shelf.shelfPageFirst;
        showScreen(r, Screen::ShelfScreen);
    }
}

void leaveMenu(Reader &r)
{
    ReaderState &s = r.state;
    hideSearchBox(*r.services.searchBox, s.menu);
    if (s.menu.searchMode || s.menu.bookmarkMode) {
        s.menu.searchMode = false;
        s.menu.bookmarkMode = false;
        showScreen(r, Screen::MenuScreen);
    } else {
        showScreen(r, Screen::ReadingScreen);
    }
}

void openSearch(Reader &r)
{
    ReaderState &s = r.state;
    s.menu.bookmarkMode = false;
    s.menu.searchMode = true;
    showScreen(r, Screen::MenuScreen);
}

void menuPointer(Reader &r, int x, int y)
{
    ReaderState &s = r.state;
    if (s.pointer.pointerPhase() == PointerPhase::Press)
        s.pointer.grab(grabAt(s, x, y));
    const PointerGrab grab = s.pointer.pointerGrab();
    if (s.pointer.pointerPhase() == PointerPhase::Release)
        s.pointer.grab(PointerGrab::NoGrab);

    switch (grab) {
    case PointerGrab::SectionSliderGrab: slider(r, Indicator::Section, x); return;
    case PointerGrab::PageSliderGrab: slider(r, Indicator::Page, x); return;
    case PointerGrab::WindowRowGrab: windowRow(r, x); return;
    default: break;
    }

    if (y < s.layout.menuBandTop)
        topBand(r);
    else if (y < s.layout.menuBandBottom)
        middleBand(r, x);
    else if (y < s.layout.thirdRowTop)
        lowerBand(r, x);
    else if (overReadAloudButton(s, x, y))
        readAloudButton(r);
    else if (y < s.layout.buttonRowTop && x >= notesButtonLeft(s) && x < notesButtonLeft(s) + kNotesButtonWidth)
        notesButton(r);
    else if (y < s.layout.buttonRowTop)
        punctuationChoice(r, x); // window-mode cells act only on gestures that began on them
    else if (y < s.layout.bottomBarTop)
        colourRow(r, x);
    else
        fontRow(r, x);
}

void helpPointer(Reader &r, int x, int y)
{
    ReaderState &s = r.state;
    if (y < s.layout.bottomBarTop)
        return;
    const bool first = s.shelf.helpPage == 0;
    listBottomBar(r, x,
                  {first, !first, [&r] { turnHelpPage(r, true); }, [&r] { turnHelpPage(r, false); },
                   [&r] { showScreen(r, Screen::ShelfScreen); }});
}

void turnHelpPage(Reader &r, bool forward)
{
    if ((r.state.shelf.helpPage == 0) != forward)
        return;
    r.state.shelf.helpPage = forward ? 1 : 0;
    showScreen(r, Screen::HelpScreen);
}

void contentsPointer(Reader &r, int x, int y)
{
    ReaderState &s = r.state;
    const bool overList = y >= s.layout.topBarHeight && y < s.layout.bottomBarTop;
    if (s.pointer.pointerPhase() == PointerPhase::Press)
        s.pointer.grab(overList ? PointerGrab::ContentsListGrab : PointerGrab::NoGrab);
    PointerGrab grab = s.pointer.pointerGrab();

    if (grab == PointerGrab::ContentsListGrab || grab == PointerGrab::ContentsTitleGrab) {
        if (overList && chooseTitle(r, x))
            grab = PointerGrab::ContentsTitleGrab;
        if (s.pointer.pointerPhase() != PointerPhase::Release) {
            s.pointer.grab(grab);
            return;
        }
        s.pointer.grab(PointerGrab::NoGrab);
        // The release opens the highlighted title, wherever the pointer left it.
        if (grab == PointerGrab::ContentsTitleGrab) {
            if (s.shelf.openBook() < 0)
                s.shelf.setOpenBook(s.shelf.selectedBook());
            openSectionAtFirstPage(r);
        }
        return;
    }
    if (s.pointer.pointerPhase() == PointerPhase::Release)
        s.pointer.grab(PointerGrab::NoGrab);
    if (y >= s.layout.bottomBarTop)
        contentsBottomBar(r, x);
}

void nextContentsPage(Reader &r)
{
    if (r.state.book.contentsNextPage != 0) {
        r.state.book.contentsStart = r.state.book.contentsNextPage;
        showScreen(r, Screen::ContentsScreen);
    }
}

void previousContentsPage(Reader &r)
{
    if (r.state.book.contentsPrevPage != 0) {
        r.state.book.contentsStart = r.state.book.contentsPrevPage;
        showScreen(r, Screen::ContentsScreen);
    }
}

} // namespace pagora
