#include "app/menu_handlers.h"

#include "app/book_place.h"
#include "app/bookmark_commands.h"
#include "app/font_dialog.h"
#include "app/input_dispatch.h"
#include "app/navigation.h"
#include "app/search.h"
#include "app/window_modes.h"
#include "platform/reader.h"
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
    return !s.searchMode && !s.bookmarkMode;
}

// Numbered cells react only right of the first cell's left edge.
bool overNumberedCells(const ReaderState &s, int x)
{
    return x > s.digitRowLeft + s.slotX[0];
}

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

PointerGrab grabAt(const ReaderState &s, int x, int y)
{
    if (y < s.menuBandTop)
        return inNormalMode(s) ? PointerGrab::SectionSliderGrab : PointerGrab::NoGrab;
    if (y < s.menuBandBottom)
        return PointerGrab::NoGrab;
    if (y < s.thirdRowTop)
        return inNormalMode(s) ? PointerGrab::PageSliderGrab : PointerGrab::NoGrab;
    if (y < s.buttonRowTop)
        return overNumberedCells(s, x) ? PointerGrab::WindowRowGrab : PointerGrab::NoGrab;
    return PointerGrab::NoGrab;
}

void sectionSlider(Reader &r, int x)
{
    ReaderState &s = r.s;
    if (s.sectionCount < 1)
        return;
    const int value = sliderValue(x, s.clientWidth, s.sectionCount);
    if (value != s.currentSection) {
        markSlider(r, Indicator::Section, s.currentSection);
        s.currentSection = std::int16_t(value);
        selectInterfaceFont(r);
        drawSectionLabel(r);
        markSlider(r, Indicator::Section, value);
    }
    if (s.pointerPhase == PointerPhase::Release) {
        s.showSectionNumber = true;
        openSectionAtFirstPage(r);
    }
}

void pageSlider(Reader &r, int x)
{
    ReaderState &s = r.s;
    if (s.pages.pageCount < 1)
        return;
    const int value = sliderValue(x, s.clientWidth, s.pages.pageCount);
    if (value != s.pages.currentPage) {
        markSlider(r, Indicator::Page, s.pages.currentPage);
        s.pages.currentPage = std::int16_t(value);
        selectInterfaceFont(r);
        drawPageLabel(r);
        markSlider(r, Indicator::Page, value);
    }
    if (s.pointerPhase == PointerPhase::Release) {
        s.showPageNumber = true;
        showPage(r, s.pages.currentPage);
    }
}

void windowRow(Reader &r, int x)
{
    ReaderState &s = r.s;
    const int offered = s.windowModeCount - 1;
    if (offered < 1)
        return;
    if (s.pointerPhase == PointerPhase::Press) {
        const int chosen = cellUnder(s, x, offered);
        if (chosen == s.windowMode)
            return;
        // Maximized with caption has no cell: nothing to un-mark then.
        invertDigitCell(r, s.windowMode, offered, s.thirdRowTop + 1, s.barHeight - 1);
        s.windowMode = std::int16_t(chosen);
        if (s.fullScreenState == 0)
            s.startWindowMode = s.windowMode;
        invertDigitCell(r, chosen, offered, s.thirdRowTop + 1, s.barHeight - 1);
    } else if (s.pointerPhase == PointerPhase::Release) {
        if (s.windowMode == s.windowModeCount - 1 && s.fullScreenState == 2) {
            // Pass through the largest framed size so that the window is back
            // in the normal state, with its frame, before the frame is removed.
            s.windowMode = std::int16_t(s.windowModeCount - 2);
            applyWindowMode(r);
            s.windowMode = std::int16_t(s.windowModeCount - 1);
        }
        applyAndReflow(r);
        showScreen(r, Screen::MenuScreen);
    }
}

void topBand(Reader &r)
{
    ReaderState &s = r.s;
    if (s.searchMode || !s.bookmarkMode)
        return; // the search box takes its own input; the slider only its own gestures
    if (s.pointerPhase == PointerPhase::Press) {
        invertRect(r, 0, 0, s.clientWidth, s.menuBandTop);
    } else if (s.pointerPhase == PointerPhase::Release) {
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
        if (phase == PointerPhase::Press) {
            inMode ? invertRect(r, 0, top, s.leftThird, h) : invertRect(r, 0, top, s.sixthWidth - 1, h);
        } else if (phase == PointerPhase::Release) {
            if (s.searchMode)
                hideSearchBox(r);
            if (s.bookmarkMode)
                s.bookmarkMode = false;
            else
                s.searchMode = true;
            showScreen(r, Screen::MenuScreen);
        }
    } else if (x < s.leftThird) { // "書籤", or the mode's cancel box
        if (phase == PointerPhase::Press) {
            inMode ? invertRect(r, 0, top, s.leftThird, h) : invertRect(r, s.sixthWidth + 1, top, s.sixthWidth - 1, h);
        } else if (phase == PointerPhase::Release) {
            if (s.searchMode) {
                hideSearchBox(r);
                s.searchMode = false;
            } else {
                s.bookmarkMode = true;
            }
            showScreen(r, Screen::MenuScreen);
        }
    } else if (x < s.rightThird) { // "返回"
        if (phase == PointerPhase::Press) {
            invertRect(r, s.leftThird + 1, top, s.rightThird - s.leftThird - 1, h);
        } else {
            hideSearchBox(r);
            if (phase == PointerPhase::Release)
                showScreen(r, Screen::ReadingScreen);
        }
    } else if (x < s.rightSixth) { // "目錄"
        if (phase == PointerPhase::Drag)
            return;
        invertRect(r, s.rightThird + 1, top, s.rightSixth - s.rightThird - 1, h);
        if (phase == PointerPhase::Release) {
            hideSearchBox(r);
            s.cameFromMenu = 2;
            s.contentsStart = 0;
            showScreen(r, Screen::ContentsScreen);
        }
    } else { // "書架"
        if (phase == PointerPhase::Drag)
            return;
        invertRect(r, s.rightSixth + 1, top, s.clientWidth - s.rightSixth - 1, h);
        if (phase == PointerPhase::Release) {
            hideSearchBox(r);
            rememberPlace(r);
            s.cameFromMenu = 2;
            showScreen(r, Screen::ShelfScreen);
        }
    }
}

void lowerBand(Reader &r, int x)
{
    ReaderState &s = r.s;
    if (inNormalMode(s) || s.pointerPhase == PointerPhase::Drag)
        return; // the page slider follows only its own gestures
    const bool left = x < s.halfWidth;
    if (s.bookmarkMode && (left ? s.nextMarkPage : s.prevMarkPage) == 0)
        return; // no bookmark that way: the half is blank and inert
    const int x0 = left ? 0 : s.halfWidth + 1;
    const int y0 = s.menuBandBottom + 1;
    const int h = s.thirdRowTop - s.menuBandBottom - 1;
    if (s.pointerPhase == PointerPhase::Press) {
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
    if (s.pointerPhase != PointerPhase::Press)
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
    if (s.pointerPhase != PointerPhase::Press || x <= s.slotX[0] || x > s.slotX[2])
        return;
    const bool forms = x <= s.slotX[1];
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
        if (s.pointerPhase != PointerPhase::Press)
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
        r.p.surface->repaintRect(0, s.menuBandBottom + 1, s.clientWidth, s.buttonRowTop);
        s.pages.show(s.pages.currentPage);
    } else if (x < s.fontNameRight) {
        if (s.pointerPhase == PointerPhase::Drag)
            return;
        invertRect(r, s.slotX[0], s.bottomBarTop + 1, fontNameButtonWidth(s.fontName), s.barHeight - 1);
        if (s.pointerPhase == PointerPhase::Release && chooseReadingFont(r))
            showScreen(r, Screen::MenuScreen);
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
    if (phase == PointerPhase::Drag)
        return;
    const int y0 = s.bottomBarTop + 1;
    const int w = s.leftThird - 2;
    const int h = s.clientHeight - s.bottomBarTop;
    if (x < s.leftThird) { // "下一頁"
        if (s.contentsNextPage == 0)
            return;
        if (phase == PointerPhase::Press) {
            invertRect(r, 0, y0, w, h);
        } else {
            s.contentsStart = s.contentsNextPage;
            showScreen(r, Screen::ContentsScreen);
        }
    } else if (x > s.rightThird) { // "上一頁"
        if (s.contentsPrevPage == 0)
            return;
        if (phase == PointerPhase::Press) {
            invertRect(r, s.rightThird + 3, y0, w, h);
        } else {
            s.contentsStart = s.contentsPrevPage;
            showScreen(r, Screen::ContentsScreen);
        }
    } else { // "返回"
        if (phase == PointerPhase::Press) {
            invertRect(r, s.leftThird, y0, w, h);
        } else if (s.cameFromMenu == 2) {
            showScreen(r, Screen::MenuScreen);
        } else if (s.cameFromMenu == 0) {
            s.shelfPageStart = s.shelfPageFirst;
            showScreen(r, Screen::ShelfScreen);
        }
    }
}

} // namespace

void menuPointer(Reader &r, int x, int y)
{
    ReaderState &s = r.s;
    if (s.pointerPhase == PointerPhase::Press)
        s.pointerGrab = grabAt(s, x, y);
    const PointerGrab grab = s.pointerGrab;
    if (s.pointerPhase == PointerPhase::Release)
        s.pointerGrab = PointerGrab::NoGrab;

    switch (grab) {
    case PointerGrab::SectionSliderGrab: sectionSlider(r, x); return;
    case PointerGrab::PageSliderGrab: pageSlider(r, x); return;
    case PointerGrab::WindowRowGrab: windowRow(r, x); return;
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
    if (s.pointerPhase == PointerPhase::Press)
        invertRect(r, s.leftThird, s.bottomBarTop + 1, s.leftThird - 2, s.clientHeight - s.bottomBarTop);
    else if (s.pointerPhase == PointerPhase::Release)
        showScreen(r, Screen::ShelfScreen);
}

void contentsPointer(Reader &r, int x, int y)
{
    ReaderState &s = r.s;
    const bool overList = y >= s.topBarHeight && y < s.bottomBarTop;
    if (s.pointerPhase == PointerPhase::Press)
        s.pointerGrab = overList ? PointerGrab::ContentsListGrab : PointerGrab::NoGrab;
    PointerGrab grab = s.pointerGrab;

    if (grab == PointerGrab::ContentsListGrab || grab == PointerGrab::ContentsTitleGrab) {
        if (overList && chooseTitle(r, x))
            grab = PointerGrab::ContentsTitleGrab;
        if (s.pointerPhase != PointerPhase::Release) {
            s.pointerGrab = grab;
            return;
        }
        s.pointerGrab = PointerGrab::NoGrab;
        // The release opens the highlighted title, wherever the pointer left it.
        if (grab == PointerGrab::ContentsTitleGrab) {
            if (s.openBook < 0)
                s.openBook = s.selectedBook;
            openSectionAtFirstPage(r);
        }
        return;
    }
    if (s.pointerPhase == PointerPhase::Release)
        s.pointerGrab = PointerGrab::NoGrab;
    if (y >= s.bottomBarTop)
        contentsBottomBar(r, x);
}

void nextContentsPage(Reader &r)
{
    if (r.s.contentsNextPage != 0) {
        r.s.contentsStart = r.s.contentsNextPage;
        showScreen(r, Screen::ContentsScreen);
    }
}

void previousContentsPage(Reader &r)
{
    if (r.s.contentsPrevPage != 0) {
        r.s.contentsStart = r.s.contentsPrevPage;
        showScreen(r, Screen::ContentsScreen);
    }
}

} // namespace pagora
