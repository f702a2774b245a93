#include "app/menu_handlers.h"

#include "app/input_dispatch.h"
#include "app/window_modes.h"
#include "render/font_dialog.h"
#include "render/indicators.h"
#include "render/layout_walk.h"
#include "render/navigation.h"
#include "render/primitives.h"
#include "screens/bookmark_commands.h"
#include "screens/help_contents.h"
#include "screens/menu_screen.h"
#include "screens/search.h"
#include "screens/shelf_screen.h"

#include <algorithm>

// A press on a slider, a window-mode cell or a contents title changes the
// position or the mode at once and commits it on release. The gesture stays
// with that control until the release, so a release elsewhere can never leave
// a section chosen whose text was not loaded, or a mode chosen but not applied.
enum PointerGrab : std::int16_t {
    NoGrab = 0,
    PageSliderGrab = 1,
    SectionSliderGrab = 2,
    WindowRowGrab = 3,
    ContentsListGrab = 4,  // pressed on the list, no title chosen yet
    ContentsTitleGrab = 5, // a title has been chosen by this gesture
};

namespace {

constexpr int kCell = 16; // interface glyph cell

bool inNormalMode(const ReaderState &s) { return s.searchMode == 0 && s.bookmarkMode == 0; }

// Numbered cells react only right of the first cell's left edge.
bool overNumberedCells(const ReaderState &s, int x) { return x > s.digitRowLeft + s.slotX[0]; }

// The cell under x in a row of `cells` numbered cells (1-based); everything
// right of the last cell counts as the last.
int cellUnder(const ReaderState &s, int x, int cells)
{
    for (int i = 1; i < cells && i < int(s.slotX.size()); ++i)
        if (x < s.digitRowLeft + s.slotX[std::size_t(i)])
            return i;
    return cells;
}

void invertDigitCell(Reader &r, int i, int cells, int top, int height)
{
    if (i >= 1 && i <= cells)
        invertRect(r, digitCellX(r.s, i), top, kCell, height);
}

std::int32_t pageStartOf(const ReaderState &s, int page)
{
    if (page < 1 || std::size_t(page) >= s.pageStarts.size())
        return 0;
    return s.pageStarts[std::size_t(page)];
}

std::int16_t grabAt(const ReaderState &s, int x, int y)
{
    if (y < s.menuBandTop)
        return inNormalMode(s) ? SectionSliderGrab : NoGrab;
    if (y < s.menuBandBottom)
        return NoGrab;
    if (y < s.thirdRowTop)
        return inNormalMode(s) ? PageSliderGrab : NoGrab;
    if (y < s.buttonRowTop)
        return overNumberedCells(s, x) ? WindowRowGrab : NoGrab;
    return NoGrab;
}

void sectionSlider(Reader &r, int x)
{
    ReaderState &s = r.s;
    if (s.sectionCount < 1)
        return;
    const int value = sliderValue(x, s.clientWidth, s.sectionCount);
    if (value != s.currentSection) {
        markSlider(r, SectionIndicator, s.currentSection);
        s.currentSection = std::int16_t(value);
        selectInterfaceFont(r);
        drawSectionLabel(r);
        markSlider(r, SectionIndicator, value);
    }
    if (s.pointerPhase == Release) {
        s.showSectionNumber = 1;
        openSectionAtFirstPage(r);
    }
}

void pageSlider(Reader &r, int x)
{
    ReaderState &s = r.s;
    if (s.pageCount < 1)
        return;
    const int value = sliderValue(x, s.clientWidth, s.pageCount);
    if (value != s.currentPage) {
        markSlider(r, PageIndicator, s.currentPage);
        s.currentPage = std::int16_t(value);
        selectInterfaceFont(r);
        drawPageLabel(r);
        markSlider(r, PageIndicator, value);
    }
    if (s.pointerPhase == Release) {
        s.showPageNumber = 1;
        showPageAt(r, pageStartOf(s, s.currentPage));
    }
}

void windowRow(Reader &r, int x)
{
    ReaderState &s = r.s;
    const int offered = s.windowModeCount - 1;
    if (offered < 1)
        return;
    if (s.pointerPhase == Press) {
        const int chosen = cellUnder(s, x, offered);
        if (chosen == s.windowMode)
            return;
        // Maximized with caption has no cell: nothing to un-mark then.
        invertDigitCell(r, s.windowMode, offered, s.thirdRowTop + 1, s.barHeight - 1);
        s.windowMode = std::int16_t(chosen);
        if (s.fullScreenState == 0)
            s.startWindowMode = s.windowMode;
        invertDigitCell(r, chosen, offered, s.thirdRowTop + 1, s.barHeight - 1);
    } else if (s.pointerPhase == Release) {
        if (s.windowMode == s.windowModeCount - 1 && s.fullScreenState == 2) {
            // Pass through the largest framed size so that the window is back
            // in the normal state, with its frame, before the frame is removed.
            s.windowMode = std::int16_t(s.windowModeCount - 2);
            applyWindowMode(r);
            s.windowMode = std::int16_t(s.windowModeCount - 1);
        }
        applyAndReflow(r);
        showScreen(r, MenuScreen);
    }
}

void topBand(Reader &r)
{
    ReaderState &s = r.s;
    if (s.searchMode || !s.bookmarkMode)
        return; // the search box takes its own input; the slider only its own gestures
    if (s.pointerPhase == Press) {
        invertRect(r, 0, 0, s.clientWidth, s.menuBandTop);
    } else if (s.pointerPhase == Release) {
        toggleBookmark(r);
    }
}

void middleBand(Reader &r, int x)
{
    ReaderState &s = r.s;
    const int top = s.menuBandTop + 1;
    const int h = s.menuBandBottom - s.menuBandTop - 1;
    const bool inMode = !inNormalMode(s);
    const auto phase = s.pointerPhase;

    if (x < s.sixthWidth) { // "尋找", or the mode's cancel box
        if (phase == Press) {
            inMode ? invertRect(r, 0, top, s.leftThird, h) : invertRect(r, 0, top, s.sixthWidth - 1, h);
        } else if (phase == Release) {
            if (s.searchMode)
                hideSearchBox(r);
            if (s.bookmarkMode)
                s.bookmarkMode = 0;
            else
                s.searchMode = 1;
            showScreen(r, MenuScreen);
        }
    } else if (x < s.leftThird) { // "書籤", or the mode's cancel box
        if (phase == Press) {
            inMode ? invertRect(r, 0, top, s.leftThird, h)
                   : invertRect(r, s.sixthWidth + 1, top, s.sixthWidth - 1, h);
        } else if (phase == Release) {
            if (s.searchMode) {
                hideSearchBox(r);
                s.searchMode = 0;
            } else {
                s.bookmarkMode = 1;
            }
            showScreen(r, MenuScreen);
        }
    } else if (x < s.rightThird) { // "返回"
        if (phase == Press) {
            invertRect(r, s.leftThird + 1, top, s.rightThird - s.leftThird - 1, h);
        } else {
            hideSearchBox(r);
            if (phase == Release)
                showScreen(r, ReadingScreen);
        }
    } else if (x < s.rightSixth) { // "目錄"
        if (phase == Drag)
            return;
        invertRect(r, s.rightThird + 1, top, s.rightSixth - s.rightThird - 1, h);
        if (phase == Release) {
            hideSearchBox(r);
            s.cameFromMenu = 2;
            s.contentsStart = 0;
            showScreen(r, ContentsScreen);
        }
    } else { // "書架"
        if (phase == Drag)
            return;
        invertRect(r, s.rightSixth + 1, top, s.clientWidth - s.rightSixth - 1, h);
        if (phase == Release) {
            hideSearchBox(r);
            s.cameFromMenu = 2;
            showScreen(r, ShelfScreen);
        }
    }
}

void lowerBand(Reader &r, int x)
{
    ReaderState &s = r.s;
    if (inNormalMode(s) || s.pointerPhase == Drag)
        return; // the page slider follows only its own gestures
    const bool left = x < s.halfWidth;
    if (s.bookmarkMode && (left ? s.nextMarkPage : s.prevMarkPage) == 0)
        return; // no bookmark that way: the half is blank and inert
    const int x0 = left ? 0 : s.halfWidth + 1;
    const int y0 = s.menuBandBottom + 1;
    const int h = s.thirdRowTop - s.menuBandBottom - 1;
    if (s.pointerPhase == Press) {
        invertRect(r, x0, y0, s.halfWidth, h);
        return;
    }
    if (s.searchMode) {
        const int found = left ? findNext(r) : findPrevious(r);
        if (!found)
            invertRect(r, x0, y0, s.halfWidth, h);
    } else {
        jumpToBookmark(r, left);
    }
}

void colourRow(Reader &r, int x)
{
    ReaderState &s = r.s;
    if (s.pointerPhase != Press)
        return;
    const int top = s.buttonRowTop + 1;
    const int h = s.barHeight - 1;
    if (overNumberedCells(s, x)) {
        const int choice = cellUnder(s, x, 9);
        if (choice == s.backgroundChoice)
            return;
        invertDigitCell(r, s.backgroundChoice, 9, top, h);
        s.backgroundChoice = std::int16_t(choice);
        invertDigitCell(r, choice, 9, top, h);
        computeReadingColour(s);
    } else if (x > s.slotX[0]) {
        int scheme = 0;
        if (x <= s.slotX[1])
            scheme = 1;
        else if (x <= s.slotX[2])
            scheme = 2;
        if (scheme == 0 || scheme == s.textScheme)
            return;
        if (s.textScheme == 1 || s.textScheme == 2)
            invertRect(r, s.slotX[std::size_t(s.textScheme - 1)], top, kCell, h);
        s.textScheme = std::int16_t(scheme);
        invertRect(r, s.slotX[std::size_t(scheme - 1)], top, kCell, h);
        computeReadingColour(s);
    }
    // The menu is not repainted: the colours show on the reading screen.
}

// "直" and "橫" left of the window row; like the colours, shown on the page.
void punctuationChoice(Reader &r, int x)
{
    ReaderState &s = r.s;
    if (s.pointerPhase != Press || x <= s.slotX[0] || x > s.slotX[2])
        return;
    const std::int16_t forms = x <= s.slotX[1] ? 1 : 0;
    if (forms == s.verticalForms)
        return;
    markPunctuationChoice(r);
    s.verticalForms = forms;
    markPunctuationChoice(r);
}

void fontRow(Reader &r, int x)
{
    ReaderState &s = r.s;
    if (overNumberedCells(s, x)) {
        if (s.pointerPhase != Press)
            return;
        const int step = cellUnder(s, x, 9);
        if (step == s.sizeStep)
            return;
        invertDigitCell(r, s.sizeStep, 9, s.bottomBarTop + 1, s.barHeight);
        s.sizeStep = std::int16_t(step);
        invertDigitCell(r, step, 9, s.bottomBarTop + 1, s.barHeight);
        relayoutKeepingPosition(r);
        selectInterfaceFont(r);
        // The page band shows the new page count; the window row lies inside too.
        if (r.p.surface)
            r.p.surface->repaintRect(0, s.menuBandBottom + 1, s.clientWidth, s.buttonRowTop);
        s.shownPageStart = pageStartOf(s, s.currentPage);
    } else if (x < s.fontNameRight) {
        if (s.pointerPhase == Drag)
            return;
        invertRect(r, s.slotX[0], s.bottomBarTop + 1, fontNameButtonWidth(s.fontName), s.barHeight - 1);
        if (s.pointerPhase == Release && chooseReadingFont(r))
            showScreen(r, MenuScreen);
    }
}

// Moves the contents highlight to the title under x; false over an empty column.
bool chooseTitle(Reader &r, int x)
{
    ReaderState &s = r.s;
    if (s.columnWidth <= 0)
        return false;
    // The pointer may leave the panel while the button is held.
    const int column = std::clamp(x / s.columnWidth, 0, 15);
    const int n = s.contentsFirst + 15 - column;
    if (n > s.sectionCount || n < 1)
        return false;
    if (n != s.currentSection) {
        if (contentsPageHolds(s, s.currentSection))
            highlightListCell(r, s.currentSection - s.contentsFirst);
        s.currentSection = std::int16_t(n);
        highlightListCell(r, n - s.contentsFirst);
    }
    return true;
}

void contentsBottomBar(Reader &r, int x)
{
    ReaderState &s = r.s;
    const auto phase = s.pointerPhase;
    if (phase == Drag)
        return;
    const int y0 = s.bottomBarTop + 1;
    const int w = s.leftThird - 2;
    const int h = s.clientHeight - s.bottomBarTop;
    if (x < s.leftThird) { // "下一頁"
        if (s.contentsNextPage == 0)
            return;
        if (phase == Press) {
            invertRect(r, 0, y0, w, h);
        } else {
            s.contentsStart = s.contentsNextPage;
            showScreen(r, ContentsScreen);
        }
    } else if (x > s.rightThird) { // "上一頁"
        if (s.contentsPrevPage == 0)
            return;
        if (phase == Press) {
            invertRect(r, s.rightThird + 3, y0, w, h);
        } else {
            s.contentsStart = s.contentsPrevPage;
            showScreen(r, ContentsScreen);
        }
    } else { // "返回"
        if (phase == Press) {
            invertRect(r, s.leftThird, y0, w, h);
        } else if (s.cameFromMenu == 2) {
            showScreen(r, MenuScreen);
        } else if (s.cameFromMenu == 0) {
            s.shelfPageStart = s.shelfPageFirst;
            showScreen(r, ShelfScreen);
        }
    }
}

} // namespace

void menuPointer(Reader &r, int x, int y)
{
    ReaderState &s = r.s;
    if (s.pointerPhase == Press)
        s.pointerGrab = grabAt(s, x, y);
    const std::int16_t grab = s.pointerGrab;
    if (s.pointerPhase == Release)
        s.pointerGrab = NoGrab;

    switch (grab) {
    case SectionSliderGrab: sectionSlider(r, x); return;
    case PageSliderGrab: pageSlider(r, x); return;
    case WindowRowGrab: windowRow(r, x); return;
    default: break;
    }

    if (y < s.menuBandTop)
        topBand(r);
    else if (y < s.menuBandBottom)
        middleBand(r, x);
    else if (y < s.thirdRowTop)
        lowerBand(r, x);
    else if (y < s.buttonRowTop)
        punctuationChoice(r, x); // window-mode cells act only on gestures that began on them
    else if (y < s.bottomBarTop)
        colourRow(r, x);
    else
        fontRow(r, x);
}

void helpPointer(Reader &r, int x, int y)
{
    ReaderState &s = r.s;
    if (y < s.bottomBarTop || x < s.leftThird || x > s.rightThird)
        return;
    if (s.pointerPhase == Press)
        invertRect(r, s.leftThird, s.bottomBarTop + 1, s.leftThird - 2, s.clientHeight - s.bottomBarTop);
    else if (s.pointerPhase == Release)
        showScreen(r, ShelfScreen);
}

void contentsPointer(Reader &r, int x, int y)
{
    ReaderState &s = r.s;
    const bool overList = y >= s.topBarHeight && y < s.bottomBarTop;
    if (s.pointerPhase == Press)
        s.pointerGrab = overList ? ContentsListGrab : NoGrab;
    std::int16_t grab = s.pointerGrab;

    if (grab == ContentsListGrab || grab == ContentsTitleGrab) {
        if (overList && chooseTitle(r, x))
            grab = ContentsTitleGrab;
        if (s.pointerPhase != Release) {
            s.pointerGrab = grab;
            return;
        }
        s.pointerGrab = NoGrab;
        // The release opens the highlighted title, wherever the pointer left it.
        if (grab == ContentsTitleGrab) {
            if (s.openBook < 0)
                s.openBook = s.selectedBook;
            openSectionAtFirstPage(r);
        }
        return;
    }
    if (s.pointerPhase == Release)
        s.pointerGrab = NoGrab;
    if (y >= s.bottomBarTop)
        contentsBottomBar(r, x);
}
