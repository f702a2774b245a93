#include "paged_book.h"

#include "app/input_dispatch.h"
#include "app/navigation.h"

#include <gtest/gtest.h>

#include <vector>

using namespace pagora;

namespace {

const std::vector<int> kPageCounts = {3, 7, 5, 1, 2};

class DispatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setPagedPanel(t.r.state);
        ASSERT_TRUE(openPagedBook(t.r, dir, kPageCounts));
        showPosition(t.r, 2, 3);
        t.surface.clear();
    }

    void expectAt(int section, int page)
    {
        EXPECT_EQ(t.r.state.book.currentSection, section);
        EXPECT_EQ(t.r.state.book.pages.currentPage(), page);
        EXPECT_EQ(shownMark(t.r.state), pageMark(section, page));
    }

    TempDir dir;
    TestReader t;
};

TEST_F(DispatchTest, PressTurnsThePageAndItsReleaseIsDropped)
{
    onPointerPressed(t.r, 10, 390, true);
    expectAt(2, 4);
    EXPECT_EQ(t.r.state.pointer.buttonHeld(), 0); // the screen change consumed the press
    t.surface.clear();
    onPointerReleased(t.r, 10, 390, true);
    expectAt(2, 4);
    EXPECT_EQ(t.r.state.pointer.buttonHeld(), 0);
    EXPECT_TRUE(t.surface.calls.empty());
}

TEST_F(DispatchTest, PressThatOpensTheMenuDoesNotActAgainOnRelease)
{
    onPointerPressed(t.r, 180, 200, true);
    ASSERT_EQ(t.r.state.currentScreen, Screen::MenuScreen);
    EXPECT_EQ(t.r.state.pointer.buttonHeld(), 0);
    t.surface.clear();
    // The same spot on the menu is one of its buttons; the release must not reach it.
    onPointerReleased(t.r, 180, 200, true);
    EXPECT_EQ(t.r.state.currentScreen, Screen::MenuScreen);
    EXPECT_TRUE(t.surface.calls.empty());
    expectAt(2, 3);
}

TEST_F(DispatchTest, ReleaseWithoutPressDoesNothing)
{
    for (Screen screen :
         {Screen::ReadingScreen, Screen::MenuScreen, Screen::HelpScreen, Screen::ContentsScreen, Screen::ShelfScreen}) {
        t.r.state.currentScreen = screen;
        t.r.state.pointer.letGo();
        for (int x : {10, 180, 350})
            for (int y : {10, 200, 390})
                onPointerReleased(t.r, x, y, true);
        EXPECT_EQ(t.r.state.currentScreen, screen);
        EXPECT_TRUE(t.surface.calls.empty()) << "screen " << screen;
    }
    t.r.state.currentScreen = Screen::ReadingScreen;
    expectAt(2, 3);
}

TEST_F(DispatchTest, OnlyTheLeftButtonCounts)
{
    onPointerPressed(t.r, 10, 390, false);
    EXPECT_EQ(t.r.state.pointer.buttonHeld(), 0);
    expectAt(2, 3);
    // A press that toggles an indicator keeps the button held until its release.
    onPointerPressed(t.r, 180, 390, true);
    EXPECT_EQ(t.r.state.menu.showPageNumber, 1);
    EXPECT_EQ(t.r.state.pointer.buttonHeld(), 1);
    onPointerReleased(t.r, 180, 390, false);
    EXPECT_EQ(t.r.state.pointer.buttonHeld(), 1);
    onPointerReleased(t.r, 180, 390, true);
    EXPECT_EQ(t.r.state.pointer.buttonHeld(), 0);
    EXPECT_EQ(t.r.state.menu.showPageNumber, 1);
}

TEST_F(DispatchTest, DragsDoNotReachTheReadingScreen)
{
    onPointerPressed(t.r, 180, 390, true);
    ASSERT_EQ(t.r.state.pointer.buttonHeld(), 1);
    t.r.state.pointer.press();
    onPointerMoved(t.r, 10, 390);
    EXPECT_EQ(t.r.state.pointer.pointerPhase(), PointerPhase::Press);
    expectAt(2, 3);
}

TEST_F(DispatchTest, MovesWithoutHeldButtonAreIgnored)
{
    for (Screen screen : {Screen::ShelfScreen, Screen::MenuScreen, Screen::ContentsScreen}) {
        t.r.state.currentScreen = screen;
        t.r.state.pointer.letGo();
        t.r.state.pointer.release();
        onPointerMoved(t.r, 100, 100);
        EXPECT_EQ(t.r.state.pointer.pointerPhase(), PointerPhase::Release);
    }
    t.r.state.currentScreen = Screen::ShelfScreen;
    t.r.state.pointer.press();
    onPointerMoved(t.r, 100, 100);
    EXPECT_EQ(t.r.state.pointer.pointerPhase(), PointerPhase::Drag);
}

// What one key release does on each screen, starting from page 3 of section 2
// (7 pages), with both list screens able to page either way.
struct KeyCase {
    const char *name;
    Screen screen;
    Key key;
    int toSection, toPage;      // reading position afterwards
    std::int32_t contentsStart; // 100 = unchanged
    std::int32_t shelfStart;    // 100 = unchanged
};

class KeyTable : public DispatchTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyTable, ActsOnRelease)
{
    const KeyCase &c = GetParam();
    ReaderState &s = t.r.state;
    s.currentScreen = c.screen;
    s.book.contentsStart = 100;
    s.book.contentsNextPage = 116;
    s.book.contentsPrevPage = 84;
    s.shelf.shelfPageStart = 100;
    s.shelf.shelfNextPage = 132;
    s.shelf.shelfPrevPage = 68;
    onKeyReleased(t.r, c.key);
    EXPECT_EQ(s.book.currentSection, c.toSection);
    EXPECT_EQ(s.book.pages.currentPage(), c.toPage);
    EXPECT_EQ(s.book.contentsStart, c.contentsStart);
    EXPECT_EQ(s.shelf.shelfPageStart, c.shelfStart);
    if (c.contentsStart == 100 && c.shelfStart == 100 && c.toSection == 2 && c.toPage == 3) {
        EXPECT_EQ(s.currentScreen, c.screen);
        EXPECT_TRUE(t.surface.calls.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTable,
    ::testing::Values(KeyCase{"ReadingPageDown", Screen::ReadingScreen, Key::PageDown, 2, 7, 100, 100},
                      KeyCase{"ReadingSpace", Screen::ReadingScreen, Key::Space, 2, 4, 100, 100},
                      KeyCase{"ReadingLeft", Screen::ReadingScreen, Key::Left, 2, 4, 100, 100},
                      KeyCase{"ReadingDown", Screen::ReadingScreen, Key::Down, 2, 4, 100, 100},
                      KeyCase{"ReadingPageUp", Screen::ReadingScreen, Key::PageUp, 2, 1, 100, 100},
                      KeyCase{"ReadingBackspace", Screen::ReadingScreen, Key::Backspace, 2, 2, 100, 100},
                      KeyCase{"ReadingUp", Screen::ReadingScreen, Key::Up, 2, 2, 100, 100},
                      KeyCase{"ReadingRight", Screen::ReadingScreen, Key::Right, 2, 2, 100, 100},
                      KeyCase{"ReadingOtherKey", Screen::ReadingScreen, Key::Other, 2, 3, 100, 100},
                      KeyCase{"ContentsPageDown", Screen::ContentsScreen, Key::PageDown, 2, 3, 116, 100},
                      KeyCase{"ContentsSpace", Screen::ContentsScreen, Key::Space, 2, 3, 116, 100},
                      KeyCase{"ContentsPageUp", Screen::ContentsScreen, Key::PageUp, 2, 3, 84, 100},
                      KeyCase{"ContentsRight", Screen::ContentsScreen, Key::Right, 2, 3, 84, 100},
                      KeyCase{"ContentsOtherKey", Screen::ContentsScreen, Key::Other, 2, 3, 100, 100},
                      KeyCase{"ShelfDown", Screen::ShelfScreen, Key::Down, 2, 3, 100, 132},
                      KeyCase{"ShelfPageDown", Screen::ShelfScreen, Key::PageDown, 2, 3, 100, 132},
                      KeyCase{"ShelfBackspace", Screen::ShelfScreen, Key::Backspace, 2, 3, 100, 68},
                      KeyCase{"ShelfPageUp", Screen::ShelfScreen, Key::PageUp, 2, 3, 100, 68},
                      KeyCase{"MenuPageDown", Screen::MenuScreen, Key::PageDown, 2, 3, 100, 100},
                      KeyCase{"MenuLeft", Screen::MenuScreen, Key::Left, 2, 3, 100, 100},
                      KeyCase{"HelpSpace", Screen::HelpScreen, Key::Space, 2, 3, 100, 100},
                      KeyCase{"HelpPageUp", Screen::HelpScreen, Key::PageUp, 2, 3, 100, 100},
                      KeyCase{"MoveToShelfDown", Screen::MoveToShelfPanel, Key::Down, 2, 3, 100, 100}),
    [](const ::testing::TestParamInfo<KeyCase> &info) { return std::string(info.param.name); });

TEST_F(DispatchTest, ListPagingStopsAtTheEnds)
{
    ReaderState &s = t.r.state;
    s.currentScreen = Screen::ContentsScreen;
    s.book.contentsStart = 16;
    s.book.contentsNextPage = 0;
    s.book.contentsPrevPage = 0;
    onKeyReleased(t.r, Key::PageDown);
    onKeyReleased(t.r, Key::PageUp);
    EXPECT_EQ(s.book.contentsStart, 16);

    // On the shelf the first page is 0, so only a negative value means none.
    s.currentScreen = Screen::ShelfScreen;
    s.shelf.shelfPageStart = 32;
    s.shelf.shelfNextPage = 0;
    s.shelf.shelfPrevPage = 0;
    onKeyReleased(t.r, Key::Down);
    EXPECT_EQ(s.shelf.shelfPageStart, 32);
    onKeyReleased(t.r, Key::Up);
    EXPECT_EQ(s.shelf.shelfPageStart, 0);
    s.shelf.shelfPrevPage = -1;
    onKeyReleased(t.r, Key::Up);
    EXPECT_EQ(s.shelf.shelfPageStart, 0);
}

TEST_F(DispatchTest, WheelTurnsOnePageNeverASection)
{
    // Page 1 of section 2: a section key would jump to section 3.
    showPosition(t.r, 2, 1);
    onWheel(t.r, true);
    expectAt(2, 2);
    // Page 5: a section key would go back to page 1.
    showPosition(t.r, 2, 5);
    onWheel(t.r, false);
    expectAt(2, 4);
    // At the ends of a section the wheel crosses like the page commands.
    showPosition(t.r, 2, 7);
    onWheel(t.r, true);
    expectAt(3, 1);
    onWheel(t.r, false);
    expectAt(2, 7);
    showPosition(t.r, 5, 2);
    onWheel(t.r, true);
    expectAt(5, 2);
}

TEST_F(DispatchTest, WheelPagesTheListsAndIgnoresOtherScreens)
{
    ReaderState &s = t.r.state;
    s.book.contentsNextPage = 16;
    s.book.contentsPrevPage = 0;
    s.currentScreen = Screen::ContentsScreen;
    onWheel(t.r, true);
    EXPECT_EQ(s.book.contentsStart, 16);
    s.shelf.shelfPageStart = 0;
    s.shelf.shelfNextPage = 32;
    s.currentScreen = Screen::ShelfScreen;
    onWheel(t.r, true);
    EXPECT_EQ(s.shelf.shelfPageStart, 32);
    s.shelf.shelfPrevPage = 0;
    onWheel(t.r, false);
    EXPECT_EQ(s.shelf.shelfPageStart, 0);
    t.surface.clear();
    for (Screen screen : {Screen::MenuScreen, Screen::HelpScreen}) {
        s.currentScreen = screen;
        onWheel(t.r, true);
        onWheel(t.r, false);
        EXPECT_EQ(s.currentScreen, screen);
    }
    EXPECT_TRUE(t.surface.calls.empty());
    expectAt(2, 3);
}

} // namespace

// What a key acted on when pressed does on each screen, from page 3 of
// section 2; typed is what the search box holds.
struct CommandCase {
    const char *name;
    Screen screen;
    int cameFromMenu;
    bool searchMode;
    std::u16string typed;
    Command command;
    bool handled;
    Screen after;
    bool searchAfter;
    int pageAfter;
};

class CommandTable : public DispatchTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(CommandTable, GoesOneStep)
{
    const CommandCase &c = GetParam();
    ReaderState &s = t.r.state;
    s.currentScreen = c.screen;
    s.shelf.cameFromMenu = EnteredFrom(c.cameFromMenu);
    s.menu.searchMode = c.searchMode;
    t.searchBox.content = c.typed;
    EXPECT_EQ(onCommand(t.r, c.command), c.handled);
    EXPECT_EQ(s.currentScreen, c.after);
    EXPECT_EQ(s.menu.searchMode, c.searchAfter);
    EXPECT_EQ(s.book.pages.currentPage(), c.pageAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CommandTable,
    ::testing::Values(CommandCase{"EscClosesTheMenu", Screen::MenuScreen, 2, false, u"", Command::Back, true,
                                  Screen::ReadingScreen, false, 3},
                      CommandCase{"EscLeavesSearchModeFirst", Screen::MenuScreen, 2, true, u"", Command::Back, true,
                                  Screen::MenuScreen, false, 3},
                      CommandCase{"EscFromContentsToTheMenu", Screen::ContentsScreen, 2, false, u"", Command::Back,
                                  true, Screen::MenuScreen, false, 3},
                      CommandCase{"EscFromContentsToTheShelf", Screen::ContentsScreen, 0, false, u"", Command::Back,
                                  true, Screen::ShelfScreen, false, 3},
                      CommandCase{"EscFromNotes", Screen::NotesScreen, 2, false, u"", Command::Back, true,
                                  Screen::MenuScreen, false, 3},
                      CommandCase{"EscFromHelp", Screen::HelpScreen, 0, false, u"", Command::Back, true,
                                  Screen::ShelfScreen, false, 3},
                      CommandCase{"EscOnAFramedPage", Screen::ReadingScreen, 0, false, u"", Command::Back, false,
                                  Screen::ReadingScreen, false, 3},
                      CommandCase{"CtrlFOpensTheSearch", Screen::ReadingScreen, 0, false, u"", Command::Find, true,
                                  Screen::MenuScreen, true, 3},
                      CommandCase{"CtrlFNeedsABook", Screen::ShelfScreen, 0, false, u"", Command::Find, false,
                                  Screen::ShelfScreen, false, 3},
                      CommandCase{"F3BeforeASearchAsks", Screen::ReadingScreen, 0, false, u"", Command::FindNext, true,
                                  Screen::MenuScreen, true, 3},
                      CommandCase{"F3FindsTheNext", Screen::ReadingScreen, 0, false, std::u16string(1, pageMark(2, 5)),
                                  Command::FindNext, true, Screen::ReadingScreen, false, 5},
                      CommandCase{"ShiftF3FindsThePrevious", Screen::ReadingScreen, 0, false,
                                  std::u16string(1, pageMark(2, 1)), Command::FindPrevious, true, Screen::ReadingScreen,
                                  false, 1},
                      CommandCase{"EnterInTheSearchBoxFinds", Screen::MenuScreen, 2, true,
                                  std::u16string(1, pageMark(2, 6)), Command::Confirm, true, Screen::ReadingScreen,
                                  true, 6},
                      CommandCase{"EnterElsewhereDoesNothing", Screen::ReadingScreen, 0, false, u"", Command::Confirm,
                                  false, Screen::ReadingScreen, false, 3},
                      CommandCase{"AltHomeFromThePage", Screen::ReadingScreen, 0, false, u"", Command::Shelf, true,
                                  Screen::ShelfScreen, false, 3},
                      CommandCase{"AltHomeFromHelp", Screen::HelpScreen, 0, false, u"", Command::Shelf, true,
                                  Screen::ShelfScreen, false, 3},
                      CommandCase{"AltHomeOnTheShelf", Screen::ShelfScreen, 0, false, u"", Command::Shelf, false,
                                  Screen::ShelfScreen, false, 3}),
    [](const ::testing::TestParamInfo<CommandCase> &info) { return std::string(info.param.name); });
