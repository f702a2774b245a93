#include "test_reader.h"

#include "app/input_dispatch.h"
#include "app/show_screen.h"
#include "app/window_modes.h"
#include "render/layout_walk.h"
#include "render/primitives.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

using namespace pagora;

namespace {

// Start-up as far as window modes go, on a screen of the given size.
void startOn(TestReader &t, int screenW, int screenH, std::int16_t storedMode = 0)
{
    t.window.screenW = screenW;
    t.window.screenH = screenH;
    t.window.onStateChanged = [&t](WindowState state) { onWindowState(t.r, state); };
    remakeInterfaceFont(t.r);
    remakeReadingFont(t.r);
    t.r.state.window.windowMode = storedMode;
    offerWindowModes(t.r);
    t.r.state.window.startWindowMode = t.r.state.window.windowMode;
    applyWindowMode(t.r);
}

} // namespace

TEST(WindowModes, FixedAndFullScreenMetrics)
{
    struct Row {
        std::int16_t mode;
        int clientW, clientH, vMargin, hMargin;
        int titleLineChars, pathTextLeft, fontNameRight, leftMargin, digitRowLeft;
        int slot0, slotStep, mainSlotX;
        int fullScreenState;
    };
    // On a 1280 x 1024 screen: ten modes.
    const Row rows[] = {
        {1, 336, 424, 16, 20, 36, 22, 126, 4, 130, 38, 16, 150, 0},
        {2, 576, 424, 16, 20, 36, 22, 246, 4, 250, 38, 16, 270, 0},
        {3, 384, 544, 16, 20, 40, 28, 148, 4, 160, 42, 16, 184, 0},
        {4, 704, 544, 16, 20, 40, 28, 308, 4, 320, 42, 16, 344, 0},
        {5, 496, 640, 16, 20, 54, 56, 202, 6, 227, 44, 21, 248, 0},
        {6, 976, 640, 16, 20, 54, 56, 442, 6, 467, 44, 21, 488, 0},
        {7, 544, 704, 16, 20, 60, 66, 224, 8, 254, 46, 23, 275, 0},
        {8, 1024, 704, 16, 20, 60, 66, 464, 8, 494, 46, 23, 515, 0},
        {9, 1280, 1024, 32, 40, 60, 66, 612, 8, 642, 46, 23, 663, 1},
        // Maximized with caption: the client area the window manager gave.
        {10, 1280, 990, 32, 40, 60, 66, 612, 8, 642, 46, 23, 663, 2},
    };
    for (const Row &r : rows) {
        TestReader t;
        startOn(t, 1280, 1024, 1);
        ReaderState &s = t.r.state;
        if (r.fullScreenState == 2) {
            t.window.formW = r.clientW, t.window.formH = r.clientH;
            t.window.state = WindowState::Maximized;
        }
        s.window.windowMode = r.mode;
        applyWindowMode(t.r);
        EXPECT_EQ(s.window.clientWidth, r.clientW) << r.mode;
        EXPECT_EQ(s.window.clientHeight, r.clientH) << r.mode;
        EXPECT_EQ(s.window.verticalMargin, r.vMargin) << r.mode;
        EXPECT_EQ(s.window.horizontalMargin, r.hMargin) << r.mode;
        EXPECT_EQ(s.layout.titleLineChars, r.titleLineChars) << r.mode;
        EXPECT_EQ(s.layout.pathTextLeft, r.pathTextLeft) << r.mode;
        EXPECT_EQ(s.layout.fontNameRight, r.fontNameRight) << r.mode;
        EXPECT_EQ(s.layout.leftMargin, r.leftMargin) << r.mode;
        EXPECT_EQ(s.layout.digitRowLeft, r.digitRowLeft) << r.mode;
        for (std::size_t i = 0; i < 9; ++i)
            EXPECT_EQ(s.layout.slotX[i], r.slot0 + int(i) * r.slotStep) << r.mode << " slot " << i;
        EXPECT_EQ(s.layout.mainSlotX, r.mainSlotX) << r.mode;
        EXPECT_EQ(s.window.fullScreenState, FullScreenState(r.fullScreenState)) << r.mode;
        EXPECT_EQ(t.window.panelW, r.clientW) << r.mode;
        EXPECT_EQ(t.window.panelH, r.clientH) << r.mode;
        EXPECT_EQ(s.window.layoutBusy, 0) << r.mode;
    }
}

TEST(WindowModes, ComputedLayout)
{
    struct Row {
        std::int16_t mode;
        std::vector<int> metrics;
    };
    // leftThird rightThird sixthWidth rightSixth sixthInset columnWidth columnInset barHeight
    // menuBandTop menuBandBottom halfHeight halfWidth topBarHeight bottomBarTop buttonRowTop
    // thirdRowTop listTop band2Top band3Top pageBandLabelTop barTextInset menuTitleTop panelButtonsLeft
    const Row rows[] = {
        {1, {113, 223, 56, 279, 21, 21, 2, 30, 141, 253, 212, 168, 26, 394, 364, 334, 56, 210, 364, 285, 7, 75, 189}},
        {2, {193, 383, 96, 479, 41, 36, 10, 34, 141, 249, 212, 288, 26, 390, 356, 322, 60, 208, 356, 277, 9, 75, 360}},
        {4, {235, 469, 117, 586, 51, 44, 14, 34, 181, 329, 272, 352, 26, 510, 476, 442, 60, 198, 336, 377, 9, 95, 484}},
        {9,
         {427, 853, 213, 1066, 99, 80, 32, 34, 341, 649, 512, 640, 26, 990, 956, 922, 60, 358, 656, 777, 9, 175, 880}},
    };
    for (const Row &r : rows) {
        TestReader t;
        startOn(t, 1280, 1024, 1);
        ReaderState &s = t.r.state;
        s.window.windowMode = r.mode;
        applyWindowMode(t.r);
        const std::vector<int> got = {
            s.layout.leftThird,    s.layout.rightThird,     s.layout.sixthWidth,      s.layout.rightSixth,
            s.layout.sixthInset,   s.layout.columnWidth,    s.layout.columnInset,     s.layout.barHeight,
            s.layout.menuBandTop,  s.layout.menuBandBottom, s.layout.halfHeight,      s.layout.halfWidth,
            s.layout.topBarHeight, s.layout.bottomBarTop,   s.layout.buttonRowTop,    s.layout.thirdRowTop,
            s.layout.listTop,      s.layout.band2Top,       s.layout.band3Top,        s.layout.pageBandLabelTop,
            s.layout.barTextInset, s.layout.menuTitleTop,   s.layout.panelButtonsLeft};
        EXPECT_EQ(got, r.metrics) << r.mode;
    }
}

TEST(WindowModes, OfferByScreenHeight)
{
    struct Row {
        int screenH;
        std::int16_t stored;
        int count, mode, clientW, clientH, fullScreenState;
    };
    const Row rows[] = {
        {480, 0, 4, 1, 336, 424, 0},
        {481, 0, 6, 2, 576, 424, 0},
        {600, 0, 6, 2, 576, 424, 0},
        {601, 0, 10, 4, 704, 544, 0},
        {800, 0, 10, 4, 704, 544, 0},
        {800, 7, 10, 7, 544, 704, 0},
        // A stored maximized mode starts as borderless full screen.
        {600, 10, 6, 5, 1024, 600, 1},
        {600, 6, 6, 5, 1024, 600, 1},
        {480, 9, 4, 3, 1024, 480, 1},
        // A damaged negative mode is as good as none.
        {800, -3, 10, 4, 704, 544, 0},
    };
    for (const Row &r : rows) {
        TestReader t;
        startOn(t, 1024, r.screenH, r.stored);
        const ReaderState &s = t.r.state;
        EXPECT_EQ(s.window.windowModeCount, r.count) << r.screenH << "/" << r.stored;
        EXPECT_EQ(s.window.windowMode, r.mode) << r.screenH << "/" << r.stored;
        EXPECT_EQ(s.window.clientWidth, r.clientW) << r.screenH << "/" << r.stored;
        EXPECT_EQ(s.window.clientHeight, r.clientH) << r.screenH << "/" << r.stored;
        EXPECT_EQ(s.window.fullScreenState, FullScreenState(r.fullScreenState)) << r.screenH << "/" << r.stored;
        EXPECT_EQ(t.window.frameless, r.fullScreenState == 1) << r.screenH << "/" << r.stored;
    }
}

TEST(WindowModes, FullScreenMarginsFollowTheModeCount)
{
    struct Row {
        int screenH, vMargin, hMargin;
    };
    for (const Row &r : {Row{480, 20, 24}, Row{600, 26, 32}, Row{900, 32, 40}}) {
        TestReader t;
        startOn(t, 1024, r.screenH, 10);
        EXPECT_EQ(t.r.state.window.verticalMargin, r.vMargin) << r.screenH;
        EXPECT_EQ(t.r.state.window.horizontalMargin, r.hMargin) << r.screenH;
        EXPECT_FALSE(t.window.autoSize);
        EXPECT_EQ(t.window.state, WindowState::Maximized);
    }
}

TEST(WindowModes, MaximizeAndRestore)
{
    TestReader t;
    startOn(t, 1024, 600);
    ReaderState &s = t.r.state;
    ASSERT_EQ(s.window.windowMode, 2);

    // The user maximizes: mode n, with caption, in the client area the
    // window manager gives, whatever its title bar and panels take.
    t.window.formW = 1024, t.window.formH = 571;
    t.window.state = WindowState::Maximized;
    onWindowState(t.r, WindowState::Maximized);
    EXPECT_EQ(s.window.windowMode, 6);
    EXPECT_EQ(s.window.fullScreenState, FullScreenState::MaximizedWithCaption);
    EXPECT_FALSE(t.window.frameless);
    EXPECT_FALSE(t.window.autoSize);
    EXPECT_EQ(s.window.clientWidth, 1024);
    EXPECT_EQ(s.window.clientHeight, 571);
    EXPECT_EQ(t.window.panelH, 571);
    EXPECT_EQ(s.window.verticalMargin, 26);

    // Maximizing again, or minimizing, changes nothing.
    onWindowState(t.r, WindowState::Maximized);
    onWindowState(t.r, WindowState::Minimized);
    EXPECT_EQ(s.window.windowMode, 6);

    // Restoring returns to the size it came from; the caption lies outside
    // the form's size.
    t.window.state = WindowState::Normal;
    onWindowState(t.r, WindowState::Normal);
    EXPECT_EQ(s.window.windowMode, 2);
    EXPECT_EQ(s.window.fullScreenState, FullScreenState::Framed);
    EXPECT_TRUE(t.window.autoSize);
    EXPECT_EQ(t.window.state, WindowState::Normal);
    EXPECT_EQ(s.window.clientWidth, 576);
    EXPECT_EQ(t.window.formW, 576);
    EXPECT_EQ(t.window.formH, 424);
    EXPECT_EQ(s.window.verticalMargin, 16);

    // A normal state in a fixed mode is ignored.
    onWindowState(t.r, WindowState::Normal);
    EXPECT_EQ(s.window.windowMode, 2);
}

TEST(WindowModes, F11AndEscLeaveFullScreenForTheSizeItWasEnteredFrom)
{
    for (const Command leave : {Command::FullScreen, Command::Back})
        for (const bool maximized : {false, true}) {
            TestReader t;
            startOn(t, 1024, 600);
            ReaderState &s = t.r.state;
            if (maximized) {
                t.window.formW = 1024, t.window.formH = 571;
                t.window.state = WindowState::Maximized;
                onWindowState(t.r, WindowState::Maximized);
                ASSERT_EQ(s.window.windowMode, 6);
            }
            EXPECT_FALSE(onCommand(t.r, Command::Back)) << "Esc in a window does nothing";
            EXPECT_TRUE(onCommand(t.r, Command::FullScreen));
            EXPECT_EQ(s.window.windowMode, 5);
            EXPECT_EQ(s.window.fullScreenState, FullScreenState::Borderless);
            EXPECT_TRUE(t.window.frameless);
            EXPECT_EQ(s.window.clientWidth, 1024);
            EXPECT_TRUE(onCommand(t.r, leave));
            EXPECT_EQ(s.window.windowMode, 2) << maximized;
            EXPECT_EQ(s.window.fullScreenState, FullScreenState::Framed);
            EXPECT_FALSE(t.window.frameless);
            EXPECT_EQ(s.window.clientWidth, 576);
        }
}

TEST(WindowModes, RestoreChoosesTheModeToReturnTo)
{
    struct Row {
        const char *name;
        std::int16_t startMode;
        std::int16_t expected;
    };
    const Row rows[] = {
        {"last framed size", 3, 3},
        {"started in full screen: largest fixed size", 5, 4},
        {"start equals the maximized mode", 6, 4},
    };
    for (const Row &r : rows) {
        TestReader t;
        startOn(t, 1024, 600, 1);
        ReaderState &s = t.r.state;
        s.window.windowMode = 6;
        applyWindowMode(t.r);
        s.window.startWindowMode = r.startMode;
        onWindowState(t.r, WindowState::Normal);
        EXPECT_EQ(s.window.windowMode, r.expected) << r.name;
    }
}

TEST(WindowModes, ProgramChangesToTheWindowAreIgnored)
{
    TestReader t;
    startOn(t, 1024, 600);
    ReaderState &s = t.r.state;
    // Leaving borderless full screen for a fixed size: the host reports the
    // normal state while the mode is being applied, and that report is ignored.
    s.window.windowMode = 5;
    applyWindowMode(t.r);
    ASSERT_TRUE(t.window.frameless);
    s.window.windowMode = 3;
    applyWindowMode(t.r);
    EXPECT_EQ(s.window.windowMode, 3);
    EXPECT_FALSE(t.window.frameless);
    EXPECT_TRUE(t.window.autoSize);
    EXPECT_EQ(t.window.stateChanges.back(), WindowState::Normal);

    // Reports that arrive while the program itself changes the window.
    s.window.layoutBusy = 1;
    onWindowState(t.r, WindowState::Maximized);
    EXPECT_EQ(s.window.windowMode, 3);
    s.window.layoutBusy = 0;

    // Maximizing while in borderless full screen does nothing.
    s.window.windowMode = 5;
    applyWindowMode(t.r);
    const auto changes = t.window.stateChanges.size();
    onWindowState(t.r, WindowState::Maximized);
    EXPECT_EQ(s.window.windowMode, 5);
    EXPECT_EQ(t.window.stateChanges.size(), changes);
}

TEST(WindowModes, ShelfPageKeepsTheSelectedBook)
{
    struct Row {
        std::int16_t selected, mode;
        int expected;
    };
    for (const Row &r : {Row{40, 1, 32}, Row{40, 2, 32}, Row{40, 3, 0}, Row{40, 9, 0}, Row{-1, 1, 0}, Row{100, 4, 96},
                         Row{31, 1, 0}}) {
        TestReader t;
        startOn(t, 1280, 1024, 1);
        for (int i = 0; i <= 100; ++i)
            t.r.state.shelf.addEntry(BookEntry{});
        t.r.state.shelf.select(r.selected);
        t.r.state.window.windowMode = r.mode;
        applyWindowMode(t.r);
        EXPECT_EQ(t.r.state.shelf.shelfPageStart, r.expected) << r.selected << " in mode " << r.mode;
    }
}

// Drawing calls only: a relayout creates fonts, a fresh paint does not.
std::vector<std::string> drawn(const RecordingSurface &surface)
{
    std::vector<std::string> out;
    for (const RecordingSurface::Call &c : surface.calls) {
        if (c.op.find("ont") != std::string::npos)
            continue;
        std::ostringstream line;
        line << c.op << ' ' << c.a << ' ' << c.b << ' ' << c.c << ' ' << c.d << ' ' << c.colour;
        if (c.op == "text")
            line << ' ' << c.font << ' ' << std::string(c.text.begin(), c.text.end());
        out.push_back(line.str());
    }
    return out;
}

TEST(WindowModes, AfterAWindowChangeThePanelIsAFreshPaint)
{
    struct Row {
        const char *name;
        std::function<void(TestReader &)> change;
        int clientW, clientH, pathTextLeft;
    };
    const auto resize = [](TestReader &t, int w, int h) {
        t.window.formW = w, t.window.formH = h;
        onFormResized(t.r, w, h);
    };
    const auto maximize = [](TestReader &t) {
        t.window.formW = 1280, t.window.formH = 990;
        t.window.state = WindowState::Maximized;
        onWindowState(t.r, WindowState::Maximized);
    };
    const Row rows[] = {
        {"maximized", maximize, 1280, 990, 66},
        {"restored",
         [&](TestReader &t) {
             maximize(t);
             t.surface.clear();
             t.window.state = WindowState::Normal;
             onWindowState(t.r, WindowState::Normal);
         },
         336, 424, 22},
        {"resized by the window manager", [&](TestReader &t) { resize(t, 800, 600); }, 800, 600, 66},
        {"narrowed by the window manager", [&](TestReader &t) { resize(t, 300, 424); }, 300, 424, 66},
    };
    for (const Row &r : rows) {
        TestReader t;
        startOn(t, 1280, 1024, 1);
        ReaderState &s = t.r.state;
        s.book.setSectionText(std::u16string(5000, u'字'));
        s.currentScreen = Screen::ReadingScreen;
        s.look.baseFontSize = 22;
        repaginate(t.r.state.book, computeTextArea(t.r.state));
        s.book.pages.show(5);
        t.surface.clear();
        r.change(t);
        EXPECT_EQ(s.window.clientWidth, r.clientW) << r.name;
        EXPECT_EQ(s.window.clientHeight, r.clientH) << r.name;
        EXPECT_EQ(t.window.panelW, r.clientW) << r.name;
        EXPECT_EQ(t.window.panelH, r.clientH) << r.name;
        EXPECT_EQ(s.book.pages.shownPageStart(), s.book.pages.start(std::size_t(s.book.pages.currentPage()))) << r.name;
        // The interface cell, not the reading cell the page was drawn with.
        EXPECT_EQ(s.layout.pathTextLeft, r.pathTextLeft) << r.name;
        const std::vector<std::string> shown = drawn(t.surface);
        t.surface.clear();
        repaintShown(t.r);
        EXPECT_EQ(shown, drawn(t.surface)) << r.name;
    }
}

TEST(WindowModes, ADraggedWindowIsStoredAtTheSizeItReturnsTo)
{
    const auto drag = [](TestReader &t) { onFormResized(t.r, 800, 600); };
    const auto maximize = [](TestReader &t) { onWindowState(t.r, WindowState::Maximized); };
    struct Row {
        const char *name;
        std::vector<std::function<void(TestReader &)>> steps;
        bool storesCaptionMode; // else the fixed mode 1 it started in
    };
    const Row rows[] = {
        {"maximized", {maximize}, true},
        {"dragged", {drag}, false},
        {"maximized, then resized by the window manager", {maximize, drag}, true},
        {"dragged, then maximized", {drag, maximize}, true},
    };
    for (const Row &r : rows) {
        TestReader t;
        startOn(t, 1280, 1024, 1);
        for (const auto &step : r.steps)
            step(t);
        ASSERT_EQ(t.r.state.window.windowMode, t.r.state.window.windowModeCount) << r.name;
        EXPECT_EQ(storedWindowMode(t.r.state), r.storesCaptionMode ? t.r.state.window.windowModeCount : 1) << r.name;
    }
}

TEST(WindowModes, ReflowKeepsTheReadingPlace)
{
    TestReader t;
    startOn(t, 1280, 1024, 1);
    ReaderState &s = t.r.state;
    s.book.setSectionText(std::u16string(5000, u'字'));
    repaginate(t.r.state.book, computeTextArea(t.r.state));
    s.book.pages.show(5);
    const std::int32_t oldStart = s.book.pages.shownPageStart();

    s.window.windowMode = 8;
    applyAndReflow(t.r);
    EXPECT_EQ(s.window.clientWidth, 1024);
    EXPECT_LE(s.book.pages.start(std::size_t(s.book.pages.currentPage())), oldStart);
    EXPECT_GE(s.book.pages.start(std::size_t(s.book.pages.currentPage()) + 1), oldStart);
    EXPECT_EQ(s.book.pages.shownPageStart(), s.book.pages.start(std::size_t(s.book.pages.currentPage())));

    // Without a page shown there is nothing to lay out.
    TestReader none;
    startOn(none, 1280, 1024, 1);
    none.r.state.window.windowMode = 8;
    applyAndReflow(none.r);
    EXPECT_EQ(none.r.state.book.pages.shownPageStart(), -1);
    EXPECT_EQ(none.r.state.book.pages.pageCount(), 0);
}
