#include "app/bookmark_commands.h"

#include "app/show_screen.h"
#include "book_on_shelf.h"
#include "render/layout_walk.h"
#include "render/primitives.h"

#include <gtest/gtest.h>

using namespace pagora;

namespace {

struct BookmarkCommands : testing::Test {
    TestReader t;
    TempDir dir;
    ReaderState &s = t.r.state;

    // Sections of the given page counts; page p of section k is filled with
    // its own character, so the page shown can be told from the text.
    void open(const std::vector<int> &pageCounts)
    {
        setPanel(s);
        std::vector<std::u16string> sections;
        for (std::size_t k = 0; k < pageCounts.size(); ++k) {
            std::u16string text;
            for (int p = 1; p <= pageCounts[k]; ++p)
                text += filler(kCellsPerPage, mark(int(k) + 1, p));
            sections.push_back(text);
        }
        writeFile(dir.file("book.updb"), bookBytes(sections));
        scanFolder(t.r, dir.path());
        ASSERT_TRUE(openEntry(t.r, 0));
        s.menu.bookmarkMode = 1;
    }
    static char16_t mark(int section, int page) { return char16_t(0x4E00 + 64 * section + page); }
    char16_t shownMark() const { return s.book.sectionText()[std::size_t(s.book.pages.shownPageStart())]; }
    // The reading menu over the page shown, painted in bookmark mode.
    std::vector<std::u16string> paintMenu()
    {
        s.menu.clearReadingMarks();
        s.currentScreen = Screen::MenuScreen;
        t.surface.clear();
        settleScreen(t.r.state);
        paintBookmarkControls(canvasOf(t.r), t.r.state);
        return t.surface.texts();
    }
};

} // namespace

TEST_F(BookmarkCommands, BookWithoutBookmarksOffersOnlyAdding)
{
    open({3, 2});
    showPosition(t.r, 1, 2);
    EXPECT_EQ(paintMenu(), std::vector<std::u16string>{u"加上書籤"});
    const auto label = t.surface.callsOf("text")[0];
    EXPECT_EQ(label.a, (kPanelWidth - 64) / 2);
    EXPECT_EQ(label.b, s.layout.menuTitleTop);
    const auto lines = t.surface.callsOf("line");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(std::vector<int>({lines[0].a, lines[0].b, lines[0].c, lines[0].d}),
              std::vector<int>({kPanelWidth / 2, s.layout.menuBandBottom, kPanelWidth / 2, s.layout.thirdRowTop}));
    // The jump buttons are inert.
    jumpToBookmark(t.r, true);
    jumpToBookmark(t.r, false);
    EXPECT_EQ(s.currentScreen, Screen::MenuScreen);
}

TEST_F(BookmarkCommands, AddingReturnsToTheSamePageAndThenOffersDeleting)
{
    open({3, 2});
    showPosition(t.r, 1, 2);
    paintMenu();
    toggleBookmark(t.r);
    EXPECT_EQ(s.currentScreen, Screen::ReadingScreen);
    EXPECT_EQ(shownMark(), mark(1, 2));
    EXPECT_EQ(s.menu.showPageNumber, 1);
    EXPECT_EQ(s.bookmarks.pageHasBookmark, 1);
    EXPECT_EQ(s.bookmarks.bookmarkPages()[1], std::vector<std::int16_t>{2});
    EXPECT_TRUE(s.bookmarks.bookmarksDirty());

    EXPECT_EQ(paintMenu(), std::vector<std::u16string>{u"刪除書籤"});
    toggleBookmark(t.r);
    EXPECT_EQ(s.bookmarks.pageHasBookmark, 0);
    EXPECT_TRUE(s.bookmarks.bookmarkPages()[1].empty());
}

TEST_F(BookmarkCommands, TheLabelFollowsThePageNotTheLastToggle)
{
    open({3});
    showPosition(t.r, 1, 1);
    toggleBookmark(t.r);
    // Turning the page does not touch pageHasBookmark; the menu still tells
    // the truth and the button adds rather than deleting a missing mark.
    showPosition(t.r, 1, 3);
    EXPECT_EQ(s.bookmarks.pageHasBookmark, 1);
    EXPECT_EQ(paintMenu().front(), u"加上書籤");
    toggleBookmark(t.r);
    EXPECT_EQ(s.bookmarks.bookmarkPages()[1], (std::vector<std::int16_t>{1, 3}));
    showPosition(t.r, 1, 1);
    s.bookmarks.pageHasBookmark = 0;
    EXPECT_EQ(paintMenu().front(), u"刪除書籤");
}

TEST_F(BookmarkCommands, JumpsAcrossSectionsWithBothIndicators)
{
    open({4, 2, 3});
    showPosition(t.r, 3, 2);
    toggleBookmark(t.r);
    showPosition(t.r, 1, 3);
    toggleBookmark(t.r);
    showPosition(t.r, 2, 1);

    const auto texts = paintMenu();
    EXPECT_EQ(texts, (std::vector<std::u16string>{u"加上書籤", u"下一書籤", u"上一書籤"}));
    const auto calls = t.surface.callsOf("text");
    const int half = kPanelWidth / 2;
    EXPECT_EQ(calls[1].a, (half - 64) / 2);
    EXPECT_EQ(calls[2].a, half + (half - 64) / 2);
    EXPECT_EQ(calls[1].b, s.layout.pageBandLabelTop);

    jumpToBookmark(t.r, true);
    EXPECT_EQ(s.currentScreen, Screen::ReadingScreen);
    EXPECT_EQ(s.book.currentSection, 3);
    EXPECT_EQ(s.book.pages.currentPage(), 2);
    EXPECT_EQ(shownMark(), mark(3, 2));
    EXPECT_EQ(s.menu.showSectionNumber, 1);
    EXPECT_EQ(s.menu.showPageNumber, 1);

    paintMenu();
    jumpToBookmark(t.r, false);
    EXPECT_EQ(s.book.currentSection, 1);
    EXPECT_EQ(s.book.pages.currentPage(), 3);
    EXPECT_EQ(shownMark(), mark(1, 3));
}

TEST_F(BookmarkCommands, JumpWithinTheSectionShowsOnlyThePageIndicator)
{
    open({5});
    showPosition(t.r, 1, 4);
    toggleBookmark(t.r);
    showPosition(t.r, 1, 1);
    paintMenu();
    jumpToBookmark(t.r, true);
    EXPECT_EQ(s.book.pages.currentPage(), 4);
    EXPECT_EQ(s.menu.showSectionNumber, 0);
    EXPECT_EQ(s.menu.showPageNumber, 1);
}

TEST_F(BookmarkCommands, BookmarkBeyondTheSectionsPagesLandsOnItsLastPage)
{
    open({2, 6});
    showPosition(t.r, 2, 6);
    toggleBookmark(t.r);
    showPosition(t.r, 1, 1);
    // A smaller reading size leaves section 2 with fewer pages than the mark's.
    s.look.baseFontSize = 8;
    paintMenu();
    jumpToBookmark(t.r, true);
    EXPECT_EQ(s.book.currentSection, 2);
    EXPECT_LT(s.book.pages.pageCount(), 6);
    EXPECT_EQ(s.book.pages.currentPage(), s.book.pages.pageCount());
    EXPECT_EQ(s.book.pages.shownPageStart(), s.book.pages.start(std::size_t(s.book.pages.pageCount())));
}

TEST_F(BookmarkCommands, MarksSurviveClosingAndReopeningTheBook)
{
    open({3, 3});
    showPosition(t.r, 2, 3);
    toggleBookmark(t.r);
    showPosition(t.r, 1, 2);
    toggleBookmark(t.r);
    t.r.state.book.bookFile.close();
    storeBookmarks(*t.r.services.files, t.r.state.bookmarks);

    TestReader again;
    setPanel(again.r.state);
    scanFolder(again.r, dir.path());
    ASSERT_TRUE(openEntry(again.r, 0));
    EXPECT_EQ(again.r.state.bookmarks.bookmarkPages()[1], std::vector<std::int16_t>{2});
    EXPECT_EQ(again.r.state.bookmarks.bookmarkPages()[2], std::vector<std::int16_t>{3});
    EXPECT_FALSE(again.r.state.bookmarks.bookmarksDirty());
}
