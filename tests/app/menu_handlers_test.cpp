#include "paged_book.h"
#include "panel_screens.h"

#include "app/input_dispatch.h"
#include "app/menu_handlers.h"
#include "app/show_screen.h"
#include "app/window_modes.h"
#include "render/primitives.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

using namespace pagora;

namespace {

// Mode 1 on a large screen: a 336 x 424 panel. The figures the tests use:
// leftThird 113, rightThird 223, sixthWidth 56, rightSixth 279, barHeight 30,
// menuBandTop 141, menuBandBottom 253, thirdRowTop 334, buttonRowTop 364,
// bottomBarTop 394, digitRowLeft 130, slotX 38, 54, ..., 166.
constexpr int kW = 336;
constexpr int kTopBandY = 80;
constexpr int kMiddleY = 200;
constexpr int kPageBandY = 300;
constexpr int kWindowRowY = 350;
constexpr int kColourRowY = 380;
constexpr int kFontRowY = 410;

// x inside numbered cell d of a digit row, and inside "黑" / "白".
int cellX(int d)
{
    return 130 + 38 + 16 * (d - 1) + 8;
}

int sectionShown(const ReaderState &s)
{
    return (shownMark(s) - 0x4E00) / 128;
}

class MenuTest : public ::testing::Test {
protected:
    // Opens a book of the given page counts at (section, page) and shows the menu.
    void open(const std::vector<int> &pageCounts, int section, int page, int mode = 1)
    {
        ReaderState &s = t.r.state;
        t.window.screenW = 1280;
        t.window.screenH = 1024;
        s.window.windowMode = std::int16_t(mode);
        s.look.fontName = "新細明體";
        offerWindowModes(t.r);
        s.window.startWindowMode = s.window.windowMode;
        remakeInterfaceFont(t.r);
        remakeReadingFont(t.r);
        applyWindowMode(t.r);
        ASSERT_TRUE(openPagedBook(t.r, dir, pageCounts));
        s.shelf.setOpenBook(0);
        showPosition(t.r, section, page);
        showScreen(t.r, Screen::MenuScreen);
        t.surface.clear();
    }

    void press(int x, int y) { onPointerPressed(t.r, x, y, true); }
    void drag(int x, int y) { onPointerMoved(t.r, x, y); }
    void release(int x, int y) { onPointerReleased(t.r, x, y, true); }
    void tap(int x, int y) { press(x, y), release(x, y); }

    // The reading place is what the shown text says it is.
    void expectConsistentPlace()
    {
        const ReaderState &s = t.r.state;
        EXPECT_EQ(sectionShown(s), s.book.currentSection);
        EXPECT_EQ(s.book.pages.shownPageStart(), s.book.pages.start(std::size_t(s.book.pages.currentPage())));
    }

    TempDir dir;
    TestReader t;
};

// ------------------------------------------------------------------ sliders

struct SliderCase {
    const char *name;
    int x;
    int expected;
};

class SectionSlider : public MenuTest, public ::testing::WithParamInterface<SliderCase> {};

TEST_P(SectionSlider, PressSelectsAndReleaseOpensTheSection)
{
    const SliderCase &c = GetParam();
    open({2, 2, 2}, 2, 2);
    ReaderState &s = t.r.state;
    ASSERT_EQ(s.window.clientWidth, kW);
    press(c.x, kTopBandY);
    EXPECT_EQ(s.book.currentSection, c.expected);
    EXPECT_EQ(s.currentScreen, Screen::MenuScreen);
    release(c.x, kTopBandY);
    EXPECT_EQ(s.currentScreen, Screen::ReadingScreen);
    EXPECT_EQ(s.book.currentSection, c.expected);
    EXPECT_EQ(s.book.pages.currentPage(), 1);
    EXPECT_EQ(s.menu.showSectionNumber, 1);
    expectConsistentPlace();
}

INSTANTIATE_TEST_SUITE_P(ThreeSectionsOn336, SectionSlider,
                         ::testing::Values(SliderCase{"FarLeftOutside", -40, 3}, SliderCase{"LeftEdge", 0, 3},
                                           SliderCase{"One", 1, 3}, SliderCase{"Middle", 200, 2},
                                           SliderCase{"LastPixel", 335, 1}, SliderCase{"Width", kW, 1},
                                           SliderCase{"FarRightOutside", 900, 1}),
                         [](const ::testing::TestParamInfo<SliderCase> &info) { return std::string(info.param.name); });

TEST_F(MenuTest, SectionSliderMovesItsMarkerWhileDragged)
{
    open({2, 2, 2}, 2, 1);
    ReaderState &s = t.r.state;
    press(200, kTopBandY); // still section 2: nothing to redraw
    EXPECT_TRUE(invertsOf(t.surface).empty());
    drag(1, kTopBandY);
    EXPECT_EQ(s.book.currentSection, 3);
    // The band below the title bar painted again: section 3's marker on
    // (the left end), section 2's gone.
    EXPECT_EQ(repaintsOf(t.surface), (std::vector<Rect>{{0, 27, kW, 114}}));
    EXPECT_EQ(invertsOf(t.surface), (std::vector<Rect>{{0, 27, 112, 114}}));
    EXPECT_EQ(s.currentScreen, Screen::MenuScreen);
    t.surface.clear();
    drag(335, kTopBandY);
    EXPECT_EQ(s.book.currentSection, 1);
    EXPECT_EQ(invertsOf(t.surface), (std::vector<Rect>{{225, 27, 111, 114}}));
    release(335, kTopBandY);
    EXPECT_EQ(s.currentScreen, Screen::ReadingScreen);
    EXPECT_EQ(s.book.currentSection, 1);
    expectConsistentPlace();
}

TEST_F(MenuTest, PageSliderShowsThePageWithItsIndicator)
{
    open({1, 6, 1}, 2, 1);
    ReaderState &s = t.r.state;
    const int pages = s.book.pages.pageCount();
    ASSERT_GE(pages, 3);
    press(-3, kPageBandY);
    EXPECT_EQ(s.book.pages.currentPage(), pages);
    drag(kW - 1, kPageBandY);
    EXPECT_EQ(s.book.pages.currentPage(), 1);
    drag(kW / 2, kPageBandY);
    const int middle = (kW - kW / 2) * pages / kW + 1;
    EXPECT_EQ(s.book.pages.currentPage(), middle);
    release(kW / 2, kPageBandY);
    EXPECT_EQ(s.currentScreen, Screen::ReadingScreen);
    EXPECT_EQ(s.menu.showPageNumber, 1);
    EXPECT_EQ(s.book.currentSection, 2);
    expectConsistentPlace();
}

// A slider keeps its gesture to the release: letting go over another control
// still commits the value it shows, so the place never names a section whose
// text was not loaded.
TEST_F(MenuTest, SliderGestureEndsOnTheSliderWhereverItIsReleased)
{
    open({2, 2, 2}, 2, 1);
    ReaderState &s = t.r.state;
    press(1, kTopBandY);
    drag(kW / 2, kMiddleY); // over "返回"
    EXPECT_EQ(s.book.currentSection, 2);
    drag(1, kColourRowY);
    release(1, kColourRowY);
    EXPECT_EQ(s.currentScreen, Screen::ReadingScreen);
    EXPECT_EQ(s.book.currentSection, 3);
    EXPECT_EQ(s.look.backgroundChoice(), 2);
    expectConsistentPlace();
}

TEST_F(MenuTest, GesturesFromElsewhereDoNotMoveTheSliders)
{
    open({2, 4, 2}, 2, 2);
    ReaderState &s = t.r.state;
    press(cellX(5), kColourRowY);
    drag(1, kTopBandY);
    drag(1, kPageBandY);
    release(1, kPageBandY);
    EXPECT_EQ(s.book.currentSection, 2);
    EXPECT_EQ(s.book.pages.currentPage(), 2);
    EXPECT_EQ(s.currentScreen, Screen::MenuScreen);
}

// ------------------------------------------------------------------ buttons

TEST_F(MenuTest, ContentsPressedThenReleasedOverBackReturnsToReading)
{
    open({2, 3, 2}, 2, 3);
    const std::int32_t shown = t.r.state.book.pages.shownPageStart();
    press(250, kMiddleY);
    EXPECT_EQ(invertsOf(t.surface), (std::vector<Rect>{{224, 142, 55, 111}}));
    drag(kW / 2, kMiddleY);
    t.window.focused = false;
    release(kW / 2, kMiddleY);
    EXPECT_EQ(t.r.state.currentScreen, Screen::ReadingScreen);
    EXPECT_TRUE(t.window.focused) << "the search box may have held the focus";
    EXPECT_EQ(t.r.state.book.pages.shownPageStart(), shown);
    EXPECT_EQ(t.r.state.book.pages.currentPage(), 3);
    EXPECT_EQ(t.r.state.shelf.cameFromMenu, EnteredFrom::Shelf);
}

TEST_F(MenuTest, ContentsOpensOnThePageOfTheCurrentSection)
{
    open(std::vector<int>(40, 1), 20, 1);
    ReaderState &s = t.r.state;
    s.book.contentsStart = 33;
    tap(250, kMiddleY);
    EXPECT_EQ(s.currentScreen, Screen::ContentsScreen);
    EXPECT_EQ(s.shelf.cameFromMenu, EnteredFrom::Menu);
    EXPECT_EQ(s.book.contentsStart, 0);
    EXPECT_EQ(s.book.contentsFirst, 17);
    EXPECT_EQ(s.book.contentsNextPage, 33);
    EXPECT_EQ(s.book.contentsPrevPage, 1);
}

TEST_F(MenuTest, ShelfButtonLeavesForTheShelfRememberingTheMenu)
{
    open({2}, 1, 1);
    press(300, kMiddleY);
    EXPECT_EQ(invertsOf(t.surface), (std::vector<Rect>{{280, 142, 56, 111}}));
    release(300, kMiddleY);
    EXPECT_EQ(t.r.state.currentScreen, Screen::ShelfScreen);
    EXPECT_EQ(t.r.state.shelf.cameFromMenu, EnteredFrom::Menu);
}

struct ModeCase {
    const char *name;
    int search, bookmark; // before
    int x;                // cell 1 or cell 2
    Rect pressed;
    int searchAfter, bookmarkAfter;
};

class ModeButton : public MenuTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(ModeButton, SwitchesTheModeAndRepaintsTheMenu)
{
    const ModeCase &c = GetParam();
    open({2}, 1, 1);
    ReaderState &s = t.r.state;
    s.menu.searchMode = std::int16_t(c.search);
    s.menu.bookmarkMode = std::int16_t(c.bookmark);
    t.searchBox.created = t.searchBox.visible = c.search != 0;
    press(c.x, kMiddleY);
    EXPECT_TRUE(paintedHeldDown(t.surface, c.pressed));
    release(c.x, kMiddleY);
    EXPECT_EQ(s.menu.searchMode, c.searchAfter);
    EXPECT_EQ(s.menu.bookmarkMode, c.bookmarkAfter);
    if (c.search && !c.searchAfter) {
        EXPECT_FALSE(t.searchBox.visible) << "the search box stayed up";
    }
    EXPECT_EQ(s.currentScreen, Screen::MenuScreen);
    EXPECT_FALSE(t.surface.callsOf("fill").empty()) << "the menu was not repainted";
}

INSTANTIATE_TEST_SUITE_P(Cells, ModeButton,
                         ::testing::Values(ModeCase{"SearchOn", 0, 0, 20, {0, 142, 55, 111}, 1, 0},
                                           ModeCase{"BookmarkOn", 0, 0, 80, {57, 142, 55, 111}, 0, 1},
                                           ModeCase{"SearchCancelledOnTheLeftCell", 1, 0, 20, {0, 142, 113, 111}, 0, 0},
                                           ModeCase{"SearchCancelled", 1, 0, 80, {0, 142, 113, 111}, 0, 0},
                                           ModeCase{"BookmarkCancelled", 0, 1, 20, {0, 142, 113, 111}, 0, 0},
                                           ModeCase{
                                               "BookmarkCancelledOnTheRightCell", 0, 1, 80, {0, 142, 113, 111}, 0, 0}),
                         [](const ::testing::TestParamInfo<ModeCase> &info) { return std::string(info.param.name); });

// -------------------------------------------------------------- window row

TEST_F(MenuTest, WindowCellPressMarksAndReleaseApplies)
{
    open({3}, 1, 2);
    ReaderState &s = t.r.state;
    press(cellX(3), kWindowRowY);
    EXPECT_EQ(s.window.windowMode, 3);
    EXPECT_EQ(s.window.startWindowMode, 3);
    // The old cell and the new painted again, the new one marked.
    EXPECT_EQ(repaintsOf(t.surface), (std::vector<Rect>{{168, 335, 16, 29}, {200, 335, 16, 29}}));
    EXPECT_EQ(invertsOf(t.surface), (std::vector<Rect>{{200, 335, 16, 29}}));
    EXPECT_EQ(s.window.clientWidth, kW) << "the press alone changed the window";
    release(cellX(3), kWindowRowY);
    EXPECT_EQ(s.window.clientWidth, 384);
    EXPECT_EQ(s.window.clientHeight, 544);
    EXPECT_EQ(t.window.panelW, 384);
    EXPECT_EQ(s.currentScreen, Screen::MenuScreen);
    EXPECT_EQ(s.book.pages.shownPageStart(), s.book.pages.start(std::size_t(s.book.pages.currentPage())));
}

TEST_F(MenuTest, PressingTheModeInUseChangesNothingButReleaseReapplies)
{
    open({3}, 1, 1);
    t.window.panelW = 0;
    press(cellX(1), kWindowRowY);
    EXPECT_TRUE(invertsOf(t.surface).empty());
    EXPECT_EQ(t.window.panelW, 0);
    release(cellX(1), kWindowRowY);
    EXPECT_EQ(t.window.panelW, kW);
}

TEST_F(MenuTest, WindowCellReleasedElsewhereIsStillApplied)
{
    open({3}, 1, 1);
    press(cellX(2), kWindowRowY);
    drag(kW / 2, kMiddleY);
    release(kW / 2, kMiddleY);
    EXPECT_EQ(t.r.state.window.windowMode, 2);
    EXPECT_EQ(t.r.state.window.clientWidth, 576);
    EXPECT_EQ(t.r.state.currentScreen, Screen::MenuScreen);
}

TEST_F(MenuTest, FromMaximizedWithCaptionToFullScreen)
{
    open({3}, 1, 1);
    ReaderState &s = t.r.state;
    onWindowState(t.r, WindowState::Maximized);
    ASSERT_EQ(s.window.windowMode, 10);
    ASSERT_EQ(s.window.fullScreenState, FullScreenState::MaximizedWithCaption);
    showScreen(t.r, Screen::MenuScreen);
    t.surface.clear();
    t.window.stateChanges.clear();

    // Mode 10 has no cell: only the new cell is marked, inside the row.
    const int x = s.layout.digitRowLeft + s.layout.slotX[8] + 8;
    press(x, s.layout.thirdRowTop + 10);
    EXPECT_EQ(invertsOf(t.surface), (std::vector<Rect>{{s.layout.digitRowLeft + s.layout.slotX[8],
                                                        s.layout.thirdRowTop + 1, 16, s.layout.barHeight - 1}}));
    EXPECT_EQ(s.window.windowMode, 9);
    EXPECT_EQ(s.window.startWindowMode, 1) << "a maximized window returns to its framed size";
    release(x, s.layout.thirdRowTop + 10);
    EXPECT_EQ(s.window.windowMode, 9);
    EXPECT_EQ(s.window.fullScreenState, FullScreenState::Borderless);
    EXPECT_TRUE(t.window.frameless);
    // Through the normal state, frame restored, before going borderless.
    ASSERT_GE(t.window.stateChanges.size(), 2u);
    EXPECT_EQ(t.window.stateChanges.front(), WindowState::Normal);
    EXPECT_EQ(t.window.stateChanges.back(), WindowState::Maximized);
    EXPECT_EQ(s.window.clientWidth, 1280);
    EXPECT_EQ(s.window.clientHeight, 1024);
}

// ---------------------------------------------------------- appearance rows

struct AppearanceCase {
    const char *name;
    int x, y;
    int scheme, background; // after
    Colour colour;
    std::vector<Rect> marks; // old cell, then new cell, painted again
};

// The cells painted again, the last of them marked; no cells, no paint.
void expectRemarked(const RecordingSurface &surface, const std::vector<Rect> &cells)
{
    EXPECT_EQ(repaintsOf(surface), cells);
    EXPECT_EQ(invertsOf(surface), cells.empty() ? cells : std::vector<Rect>{cells.back()});
}

class AppearanceRow : public MenuTest, public ::testing::WithParamInterface<AppearanceCase> {};

TEST_P(AppearanceRow, PressChangesTheColourAndKeepsThePlace)
{
    const AppearanceCase &c = GetParam();
    open({2, 3}, 2, 2);
    ReaderState &s = t.r.state;
    const std::int32_t shown = s.book.pages.shownPageStart();
    press(c.x, c.y);
    EXPECT_EQ(s.look.textScheme(), c.scheme);
    EXPECT_EQ(s.look.backgroundChoice(), c.background);
    EXPECT_EQ(s.look.readingColour(), c.colour);
    expectRemarked(t.surface, c.marks);
    EXPECT_EQ(s.pointer.buttonHeld(), 1) << "the menu is not repainted";
    release(c.x, c.y);
    EXPECT_EQ(s.currentScreen, Screen::MenuScreen);
    EXPECT_EQ(s.book.pages.shownPageStart(), shown);
    EXPECT_EQ(s.book.currentSection, 2);
    EXPECT_EQ(s.book.pages.currentPage(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, AppearanceRow,
    ::testing::Values(
        AppearanceCase{
            "BackgroundOne", cellX(1), kColourRowY, 1, 1, rgb(255, 255, 255), {{184, 365, 16, 29}, {168, 365, 16, 29}}},
        AppearanceCase{"BackgroundNine",
                       cellX(9),
                       kColourRowY,
                       1,
                       9,
                       rgb(255, 255, 192),
                       {{184, 365, 16, 29}, {296, 365, 16, 29}}},
        AppearanceCase{"RightOfTheLastCellIsNine",
                       330,
                       kColourRowY,
                       1,
                       9,
                       rgb(255, 255, 192),
                       {{184, 365, 16, 29}, {296, 365, 16, 29}}},
        AppearanceCase{"BackgroundInUse", cellX(2), kColourRowY, 1, 2, kButtonFaceColour, {}},
        AppearanceCase{"WhiteText", 60, kColourRowY, 2, 2, rgb(84, 54, 128), {{38, 365, 16, 29}, {54, 365, 16, 29}}},
        AppearanceCase{"BlackTextInUse", 40, kColourRowY, 1, 2, kButtonFaceColour, {}},
        AppearanceCase{"RightOfWhiteIsNothing", 72, kColourRowY, 1, 2, kButtonFaceColour, {}},
        AppearanceCase{"OnTheLabel", 10, kColourRowY, 1, 2, kButtonFaceColour, {}}),
    [](const ::testing::TestParamInfo<AppearanceCase> &info) { return std::string(info.param.name); });

TEST_F(MenuTest, PunctuationCellsChooseOnPressAndKeepThePlace)
{
    open({2, 3}, 2, 2);
    ReaderState &s = t.r.state;
    const std::int32_t shown = s.book.pages.shownPageStart();
    struct Row {
        int x, before, after;
        std::vector<Rect> marks; // old cell, then new cell, painted again
    };
    const Row rows[] = {{60, 1, 0, {{38, 335, 16, 29}, {54, 335, 16, 29}}},
                        {40, 0, 1, {{54, 335, 16, 29}, {38, 335, 16, 29}}},
                        {40, 1, 1, {}},
                        {10, 1, 1, {}},  // the label
                        {76, 0, 0, {}}}; // between it and the notes button
    for (const Row &r : rows) {
        s.look.verticalForms = std::int16_t(r.before);
        t.surface.clear();
        press(r.x, kWindowRowY);
        EXPECT_EQ(s.look.verticalForms, r.after) << r.x;
        expectRemarked(t.surface, r.marks);
        release(r.x, kWindowRowY);
        EXPECT_EQ(s.currentScreen, Screen::MenuScreen);
        EXPECT_EQ(s.window.windowMode, 1);
        EXPECT_EQ(s.book.pages.shownPageStart(), shown);
    }
}

TEST_F(MenuTest, BreaksSwitchTogglesOnPressAndKeepsThePlace)
{
    open({1, 6}, 2, 4);
    ReaderState &s = t.r.state;
    const std::int32_t shown = s.book.pages.shownPageStart();
    for (const bool before : {false, true}) {
        s.look.chineseBreaks = before;
        t.surface.clear();
        press(100, kColourRowY);
        EXPECT_EQ(s.look.chineseBreaks, !before);
        // The switch painted again, marked when on, then the page band
        // with the new page count.
        const Rect box(74, 365, 52, 30);
        const auto inverts = invertsOf(t.surface);
        EXPECT_EQ(repaintsOf(t.surface), (std::vector<Rect>{box, {0, 254, kW, 80}}));
        EXPECT_EQ(std::count(inverts.begin(), inverts.end(), box), before ? 0 : 1) << before;
        release(100, kColourRowY);
        EXPECT_EQ(s.currentScreen, Screen::MenuScreen);
        EXPECT_EQ(s.book.pages.shownPageStart(), shown);
    }
}

TEST_F(MenuTest, SizeCellRelaysOutKeepingThePlace)
{
    open({1, 6}, 2, 4);
    ReaderState &s = t.r.state;
    const std::int32_t oldStart = s.book.pages.shownPageStart();
    const int oldPages = s.book.pages.pageCount();
    press(cellX(4), kFontRowY);
    EXPECT_EQ(s.look.sizeStep(), 4);
    EXPECT_GT(s.book.pages.pageCount(), oldPages) << "a larger cell gives more pages";
    // The page shown now holds the old first character.
    EXPECT_LE(s.book.pages.start(std::size_t(s.book.pages.currentPage())), oldStart);
    EXPECT_GE(s.book.pages.start(std::size_t(s.book.pages.currentPage()) + 1), oldStart);
    EXPECT_EQ(s.book.pages.shownPageStart(), s.book.pages.start(std::size_t(s.book.pages.currentPage())));
    EXPECT_EQ(t.r.fonts.readingCell, 2 * 4 + s.look.baseFontSize);
    // The old size's cell and the new one painted again, the new one marked,
    // then the bands with the new page count.
    const auto repaints = repaintsOf(t.surface);
    const auto inverts = invertsOf(t.surface);
    EXPECT_EQ(repaints, (std::vector<Rect>{{168, 395, 16, 30}, {216, 395, 16, 30}, {0, 254, kW, 110}}));
    EXPECT_EQ(std::count(inverts.begin(), inverts.end(), Rect(216, 395, 16, 30)), 1);
    EXPECT_EQ(std::count(inverts.begin(), inverts.end(), Rect(168, 395, 16, 30)), 0);
    release(cellX(4), kFontRowY);
    EXPECT_EQ(s.currentScreen, Screen::MenuScreen);
}

TEST_F(MenuTest, FaceNameCellOpensTheFontDialog)
{
    open({2}, 1, 1);
    ReaderState &s = t.r.state;
    press(60, kFontRowY);
    const Rect button{38, 395, 68, 29}; // "新細明體": 8 bytes, 4 cells
    EXPECT_TRUE(paintedHeldDown(t.surface, button));

    // Cancelled: the button alone is painted again, in its usual look.
    t.surface.clear();
    release(60, kFontRowY);
    for (const Rect &box : repaintsOf(t.surface))
        EXPECT_EQ(box, button);
    EXPECT_EQ(invertsOf(t.surface), (std::vector<Rect>{button}));
    ASSERT_EQ(t.dialogs.fontPresets.size(), 1u);

    t.dialogs.fontAnswers.push_back(ScriptedDialogs::FontAnswer{"AR PL UMing TW", 16});
    tap(60, kFontRowY);
    EXPECT_EQ(s.look.fontName, "AR PL UMing TW");
    EXPECT_EQ(s.currentScreen, Screen::MenuScreen);
    EXPECT_FALSE(t.surface.callsOf("fill").empty()) << "the menu was not repainted";
}

// ----------------------------------------------------------------- help

struct HelpCase {
    const char *name;
    int page; // shown before
    int x, y;
    std::vector<Rect> pressed;
    Screen after;
    int pageAfter;
};

class HelpBack : public ::testing::TestWithParam<HelpCase> {};

TEST_P(HelpBack, TheBottomBarGoesBackOrTurnsThePage)
{
    const HelpCase &c = GetParam();
    TestReader t;
    t.window.screenW = 1280, t.window.screenH = 1024;
    t.r.state.window.windowMode = 1;
    remakeInterfaceFont(t.r);
    applyWindowMode(t.r);
    t.r.state.shelf.helpPage = std::int16_t(c.page);
    showScreen(t.r, Screen::HelpScreen);
    t.surface.clear();
    onPointerPressed(t.r, c.x, c.y, true);
    if (c.pressed.empty())
        EXPECT_TRUE(t.surface.calls.empty());
    else
        EXPECT_TRUE(paintedHeldDown(t.surface, c.pressed.front()));
    onPointerReleased(t.r, c.x, c.y, true);
    EXPECT_EQ(t.r.state.currentScreen, c.after);
    EXPECT_EQ(t.r.state.shelf.helpPage, c.pageAfter);
}

const std::vector<Rect> kBackPressed = {{113, 395, 111, 30}};

INSTANTIATE_TEST_SUITE_P(
    Regions, HelpBack,
    ::testing::Values(HelpCase{"Middle", 0, 168, 410, kBackPressed, Screen::ShelfScreen, 0},
                      HelpCase{"LeftEdge", 0, 113, 394, kBackPressed, Screen::ShelfScreen, 0},
                      HelpCase{"RightEdge", 1, 223, 423, kBackPressed, Screen::ShelfScreen, 1},
                      HelpCase{"NextPage", 0, 112, 410, {{0, 395, 111, 30}}, Screen::HelpScreen, 1},
                      HelpCase{"NoPageAfterTheKeys", 1, 112, 410, {}, Screen::HelpScreen, 1},
                      HelpCase{"PreviousPage", 1, 224, 410, {{226, 395, 111, 30}}, Screen::HelpScreen, 0},
                      HelpCase{"NoPageBeforeTheFirst", 0, 224, 410, {}, Screen::HelpScreen, 0},
                      HelpCase{"AboveIt", 0, 168, 393, {}, Screen::HelpScreen, 0},
                      HelpCase{"Diagram", 0, 168, 200, {}, Screen::HelpScreen, 0}),
    [](const ::testing::TestParamInfo<HelpCase> &info) { return std::string(info.param.name); });

// ----------------------------------------------------------------- contents

constexpr int kColumn = kW / 16; // 21
constexpr int kListY = 200;
constexpr int kBarY = 410;

class ContentsTest : public MenuTest {
protected:
    void openContents(int sections, int current, int cameFromMenu)
    {
        open(std::vector<int>(std::size_t(sections), 1), current, 1);
        t.r.state.shelf.cameFromMenu = EnteredFrom(cameFromMenu);
        t.r.state.book.contentsStart = 0;
        showScreen(t.r, Screen::ContentsScreen);
        t.surface.clear();
    }
    // x in the column of section n on the page shown.
    int columnOf(int n) const { return (t.r.state.book.contentsFirst + 15 - n) * kColumn + kColumn / 2; }
};

TEST_F(ContentsTest, PagesForwardAndBack)
{
    openContents(17, 1, 2);
    ReaderState &s = t.r.state;
    ASSERT_EQ(s.book.contentsNextPage, 17);
    ASSERT_EQ(s.book.contentsPrevPage, 0);
    press(300, kBarY); // no previous page: inert
    EXPECT_TRUE(t.surface.calls.empty());
    release(300, kBarY);
    EXPECT_EQ(s.book.contentsFirst, 1);

    press(20, kBarY);
    EXPECT_EQ(invertsOf(t.surface), (std::vector<Rect>{{0, 395, 111, 30}}));
    release(20, kBarY);
    EXPECT_EQ(s.book.contentsStart, 17);
    EXPECT_EQ(s.book.contentsFirst, 17);
    EXPECT_EQ(s.book.contentsPrevPage, 1);
    EXPECT_EQ(s.book.contentsNextPage, 0);
    t.surface.clear();

    press(20, kBarY); // no next page now
    EXPECT_TRUE(t.surface.calls.empty());
    release(20, kBarY);
    press(300, kBarY);
    EXPECT_EQ(invertsOf(t.surface), (std::vector<Rect>{{226, 395, 111, 30}}));
    release(300, kBarY);
    EXPECT_EQ(s.book.contentsFirst, 1);
    EXPECT_EQ(s.currentScreen, Screen::ContentsScreen);
}

TEST_F(ContentsTest, HighlightFollowsThePointerAndReleaseOpensTheSection)
{
    openContents(20, 2, 2);
    ReaderState &s = t.r.state;
    s.shelf.setOpenBook(-1); // as when a book is opened at its very beginning
    press(columnOf(5), kListY);
    EXPECT_EQ(s.book.currentSection, 5);
    // Section 2's cell painted again, then section 5's, marked.
    expectRemarked(t.surface, {{295, 27, 20, 367}, {232, 27, 20, 367}});
    t.surface.clear();
    drag(columnOf(5) + 3, kListY); // same title: nothing to redraw
    EXPECT_TRUE(t.surface.calls.empty());
    drag(columnOf(7), kListY);
    EXPECT_EQ(s.book.currentSection, 7);
    EXPECT_EQ(s.currentScreen, Screen::ContentsScreen);
    release(columnOf(7), kListY);
    EXPECT_EQ(s.currentScreen, Screen::ReadingScreen);
    EXPECT_EQ(s.book.currentSection, 7);
    EXPECT_EQ(s.book.pages.currentPage(), 1);
    EXPECT_EQ(s.shelf.openBook(), s.shelf.selectedBook());
    expectConsistentPlace();
}

TEST_F(ContentsTest, ChosenTitleOpensEvenWhenReleasedOffTheList)
{
    openContents(20, 2, 2);
    ReaderState &s = t.r.state;
    press(columnOf(9), kListY);
    drag(kW / 2, kBarY); // over "返回"
    release(kW / 2, kBarY);
    EXPECT_EQ(s.currentScreen, Screen::ReadingScreen);
    EXPECT_EQ(s.book.currentSection, 9);
    expectConsistentPlace();
}

TEST_F(ContentsTest, DragBeyondThePanelClampsToTheOuterColumns)
{
    openContents(20, 2, 2);
    ReaderState &s = t.r.state;
    press(columnOf(3), kListY);
    drag(-200, kListY);
    EXPECT_EQ(s.book.currentSection, 16);
    drag(kW + 200, kListY);
    EXPECT_EQ(s.book.currentSection, 1);
    release(kW + 200, kListY);
    EXPECT_EQ(s.book.currentSection, 1);
    expectConsistentPlace();
}

TEST_F(ContentsTest, EmptyColumnsDoNothing)
{
    openContents(3, 2, 2);
    ReaderState &s = t.r.state;
    press(20, kListY); // the column of section 16
    drag(40, kListY);
    release(40, kListY);
    EXPECT_TRUE(t.surface.calls.empty());
    EXPECT_EQ(s.book.currentSection, 2);
    EXPECT_EQ(s.currentScreen, Screen::ContentsScreen);
    press(kW / 2, 10); // the title bar
    release(kW / 2, 10);
    EXPECT_TRUE(t.surface.calls.empty());
}

struct BackCase {
    const char *name;
    int cameFromMenu;
    Screen screen;
};

class ContentsBack : public ContentsTest, public ::testing::WithParamInterface<BackCase> {};

TEST_P(ContentsBack, ReturnsWhereTheContentsCameFrom)
{
    const BackCase &c = GetParam();
    openContents(5, 3, c.cameFromMenu);
    ReaderState &s = t.r.state;
    s.shelf.shelfPageFirst = 0;
    s.shelf.shelfPageStart = 32;
    press(kW / 2, kBarY);
    EXPECT_TRUE(paintedHeldDown(t.surface, {113, 395, 111, 30}));
    release(kW / 2, kBarY);
    EXPECT_EQ(s.currentScreen, c.screen);
    EXPECT_EQ(s.book.currentSection, 3);
    if (c.screen == Screen::ShelfScreen) {
        EXPECT_EQ(s.shelf.shelfPageStart, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Origins, ContentsBack,
                         ::testing::Values(BackCase{"FromMenu", 2, Screen::MenuScreen},
                                           BackCase{"FromShelf", 0, Screen::ShelfScreen}),
                         [](const ::testing::TestParamInfo<BackCase> &info) { return std::string(info.param.name); });

} // namespace
