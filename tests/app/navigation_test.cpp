#include "paged_book.h"

#include "app/input_dispatch.h"
#include "app/navigation.h"
#include "app/show_screen.h"
#include "render/layout_walk.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace pagora;

namespace {

// Five sections; section 4 has a single page so that its first page is also its last.
const std::vector<int> kPageCounts = {3, 7, 5, 1, 2};

class PagedBookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setPagedPanel(t.r.state);
        ASSERT_TRUE(openPagedBook(t.r, dir, kPageCounts));
    }

    // Where the reader stands, checked against the text actually loaded.
    void expectAt(int section, int page)
    {
        finishLayout(t.r.state.book); // the count is known once every page is laid out
        const ReaderState &s = t.r.state;
        EXPECT_EQ(s.book.currentSection, section);
        EXPECT_EQ(s.book.pages.currentPage(), page);
        EXPECT_EQ(s.book.pages.pageCount(), kPageCounts[std::size_t(section) - 1]);
        EXPECT_EQ(s.book.pages.shownPageStart(), s.book.pages.start(std::size_t(page)));
        EXPECT_EQ(shownMark(s), pageMark(section, page));
        EXPECT_EQ(s.currentScreen, Screen::ReadingScreen);
    }

    TempDir dir;
    TestReader t;
};

TEST_F(PagedBookTest, GeneratedSectionsHaveTheirPageCounts)
{
    for (std::size_t k = 0; k < kPageCounts.size(); ++k) {
        showPosition(t.r, int(k) + 1, 1);
        finishLayout(t.r.state.book);
        EXPECT_EQ(t.r.state.book.pages.pageCount(), kPageCounts[k]) << "section " << k + 1;
        EXPECT_EQ(t.r.state.book.pages.start(std::size_t(t.r.state.book.pages.pageCount()) + 1),
                  t.r.state.book.textLength());
    }
}

struct MoveCase {
    const char *name;
    int section, page; // where the command starts
    void (*command)(Reader &);
    int toSection, toPage;
    bool moves; // false: nothing is repainted
};

class NavigationCommand : public PagedBookTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(NavigationCommand, EndsOnTheExpectedPage)
{
    const MoveCase &c = GetParam();
    showPosition(t.r, c.section, c.page);
    ReaderState &s = t.r.state;
    s.menu.showPageNumber = s.menu.showSectionNumber = 1;
    s.menu.showMatch = 1;
    const std::int32_t shownBefore = s.book.pages.shownPageStart();
    // showScreen clears buttonHeld: it tells whether the command repainted.
    s.pointer.press();
    t.surface.clear();

    c.command(t.r);

    expectAt(c.toSection, c.toPage);
    EXPECT_EQ(s.menu.showPageNumber, 0);
    EXPECT_EQ(s.menu.showSectionNumber, 0);
    EXPECT_EQ(s.menu.showMatch, 0);
    if (c.moves) {
        EXPECT_EQ(s.pointer.buttonHeld(), 0);
    } else {
        EXPECT_EQ(s.pointer.buttonHeld(), 1) << "a command with nothing to do repainted";
        EXPECT_EQ(s.book.pages.shownPageStart(), shownBefore);
        EXPECT_TRUE(t.surface.calls.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Edges, NavigationCommand,
    ::testing::Values(MoveCase{"NextPageInsideSection", 2, 3, nextPageCommand, 2, 4, true},
                      MoveCase{"PreviousPageInsideSection", 2, 3, previousPageCommand, 2, 2, true},
                      MoveCase{"NextPageAtEndOfBook", 5, 2, nextPageCommand, 5, 2, false},
                      MoveCase{"PreviousPageAtStartOfBook", 1, 1, previousPageCommand, 1, 1, false},
                      MoveCase{"NextPageCrossesForward", 3, 5, nextPageCommand, 4, 1, true},
                      MoveCase{"PreviousPageCrossesBackToLastPage", 4, 1, previousPageCommand, 3, 5, true},
                      MoveCase{"PreviousPageFromFirstPageOfSection2", 2, 1, previousPageCommand, 1, 3, true},
                      MoveCase{"NextSectionFromFirstPage", 2, 1, nextSectionCommand, 3, 1, true},
                      MoveCase{"NextSectionFromMiddlePage", 2, 2, nextSectionCommand, 2, 7, true},
                      MoveCase{"NextSectionFromLastPage", 2, 7, nextSectionCommand, 3, 1, true},
                      MoveCase{"NextSectionFromOnePageSection", 4, 1, nextSectionCommand, 5, 1, true},
                      MoveCase{"NextSectionFromFirstPageOfLastSection", 5, 1, nextSectionCommand, 5, 2, true},
                      MoveCase{"NextSectionOnLastPageOfBook", 5, 2, nextSectionCommand, 5, 2, false},
                      MoveCase{"PreviousSectionFromLaterPage", 2, 5, previousSectionCommand, 2, 1, true},
                      MoveCase{"PreviousSectionFromSecondPage", 3, 2, previousSectionCommand, 3, 1, true},
                      MoveCase{"PreviousSectionFromFirstPage", 4, 1, previousSectionCommand, 3, 1, true},
                      MoveCase{"PreviousSectionAtStartOfBook", 1, 1, previousSectionCommand, 1, 1, false}),
    [](const ::testing::TestParamInfo<MoveCase> &info) { return std::string(info.param.name); });

// Reads on with one key until the book ends, returning every page landed on.
std::vector<std::pair<int, int>> readWithKey(Reader &r, Key key)
{
    std::vector<std::pair<int, int>> visited;
    for (int guard = 0; guard < 100; ++guard) {
        const std::int32_t before = r.state.book.pages.shownPageStart();
        const auto section = r.state.book.currentSection, page = r.state.book.pages.currentPage();
        r.state.pointer.press();
        onKeyReleased(r, key);
        if (r.state.pointer.buttonHeld() == 1) { // nothing shown: the end of the book
            EXPECT_EQ(r.state.book.pages.shownPageStart(), before);
            EXPECT_EQ(r.state.book.currentSection, section);
            EXPECT_EQ(r.state.book.pages.currentPage(), page);
            return visited;
        }
        EXPECT_EQ(shownMark(r.state), pageMark(r.state.book.currentSection, r.state.book.pages.currentPage()));
        visited.emplace_back(r.state.book.currentSection, r.state.book.pages.currentPage());
    }
    ADD_FAILURE() << "the book never ended";
    return visited;
}

TEST_F(PagedBookTest, ForwardKeyReadsEveryPageOnceThenBackKeyReturns)
{
    showPosition(t.r, 1, 1);
    std::vector<std::pair<int, int>> all;
    for (std::size_t k = 0; k < kPageCounts.size(); ++k)
        for (int p = 1; p <= kPageCounts[k]; ++p)
            all.emplace_back(int(k) + 1, p);

    const auto forward = readWithKey(t.r, Key::Left);
    const std::vector<std::pair<int, int>> expectedForward(all.begin() + 1, all.end());
    EXPECT_EQ(forward, expectedForward);

    const auto back = readWithKey(t.r, Key::Right);
    const std::vector<std::pair<int, int>> expectedBack(all.rbegin() + 1, all.rend());
    EXPECT_EQ(back, expectedBack);
}

// Regions of the reading screen on a 360 x 400 panel: the left third ends at
// x = 120, the right third starts at x = 239, the half at y = 200, the top
// band ends at y = 132 and the bottom band starts at y = 237.
struct TapCase {
    const char *name;
    int x, y;
    int toSection, toPage;
    int showPage, showSection;
    Screen screen;
};

class ReadingTap : public PagedBookTest, public ::testing::WithParamInterface<TapCase> {};

TEST_P(ReadingTap, PressActsOnItsRegion)
{
    const TapCase &c = GetParam();
    showPosition(t.r, 2, 3);
    ReaderState &s = t.r.state;
    ASSERT_EQ(s.layout.leftThird, 121);
    ASSERT_EQ(s.layout.rightThird, 239);
    ASSERT_EQ(s.layout.menuBandTop, 133);
    ASSERT_EQ(s.layout.menuBandBottom, 237);
    s.pointer.press();
    readingPointer(t.r, c.x, c.y);
    EXPECT_EQ(s.currentScreen, c.screen);
    EXPECT_EQ(s.book.currentSection, c.toSection);
    EXPECT_EQ(s.book.pages.currentPage(), c.toPage);
    EXPECT_EQ(s.menu.showPageNumber, c.showPage);
    EXPECT_EQ(s.menu.showSectionNumber, c.showSection);
    if (c.screen == Screen::ReadingScreen) {
        EXPECT_EQ(shownMark(s), pageMark(c.toSection, c.toPage));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Regions, ReadingTap,
    ::testing::Values(TapCase{"LeftUpperNextSection", 0, 0, 2, 7, 0, 0, Screen::ReadingScreen},
                      TapCase{"LeftUpperEdge", 120, 199, 2, 7, 0, 0, Screen::ReadingScreen},
                      TapCase{"LeftLowerNextPage", 120, 200, 2, 4, 0, 0, Screen::ReadingScreen},
                      TapCase{"LeftBottomCorner", 0, 399, 2, 4, 0, 0, Screen::ReadingScreen},
                      TapCase{"RightUpperPreviousSection", 239, 199, 2, 1, 0, 0, Screen::ReadingScreen},
                      TapCase{"RightLowerPreviousPage", 239, 200, 2, 2, 0, 0, Screen::ReadingScreen},
                      TapCase{"RightBottomCorner", 359, 399, 2, 2, 0, 0, Screen::ReadingScreen},
                      TapCase{"MiddleBottomBandPageIndicator", 121, 237, 2, 3, 1, 0, Screen::ReadingScreen},
                      TapCase{"MiddleTopBandSectionIndicator", 238, 132, 2, 3, 0, 1, Screen::ReadingScreen},
                      TapCase{"MiddleAboveBottomBandMenu", 180, 236, 2, 3, 0, 0, Screen::MenuScreen},
                      TapCase{"MiddleBelowTopBandMenu", 180, 133, 2, 3, 0, 0, Screen::MenuScreen}),
    [](const ::testing::TestParamInfo<TapCase> &info) { return std::string(info.param.name); });

TEST_F(PagedBookTest, ReadingScreenActsOnlyOnPress)
{
    showPosition(t.r, 2, 3);
    for (PointerPhase phase : {PointerPhase::Drag, PointerPhase::Release}) {
        enterPhase(t.r.state.pointer, phase);
        for (auto [x, y] : {std::pair{0, 399}, {359, 0}, {180, 399}, {180, 0}, {180, 200}})
            readingPointer(t.r, x, y);
    }
    expectAt(2, 3);
    EXPECT_EQ(t.r.state.menu.showPageNumber, 0);
    EXPECT_EQ(t.r.state.menu.showSectionNumber, 0);
}

TEST_F(PagedBookTest, UnreadableSectionShowsAnEmptyPage)
{
    // A section beyond the book's records loads as empty text; the reader
    // shows it as one empty page and can turn back from it.
    showPosition(t.r, 5, 2);
    t.r.state.book.sectionCount = 6;
    nextPageCommand(t.r);
    EXPECT_EQ(t.r.state.book.currentSection, 6);
    EXPECT_EQ(t.r.state.book.textLength(), 0);
    EXPECT_EQ(t.r.state.book.pages.pageCount(), 1);
    EXPECT_EQ(t.r.state.book.pages.currentPage(), 1);
    EXPECT_EQ(t.r.state.book.pages.shownPageStart(), 0);
    previousPageCommand(t.r);
    expectAt(5, 2);
}

} // namespace
