#include "app/search.h"
#include "app/show_screen.h"

#include "app/show_screen.h"
#include "book_on_shelf.h"
#include "render/layout_walk.h"
#include "render/primitives.h"

#include <gtest/gtest.h>

#include <set>

using namespace pagora;

namespace {

struct SearchTest : testing::Test {
    TestReader t;
    TempDir dir;
    ReaderState &s = t.r.state;

    void open(const std::vector<std::u16string> &sections, BookEncoding encoding = BookEncoding::UTF16LE)
    {
        setPanel(s);
        writeFile(dir.file(encoding == BookEncoding::UTF16LE ? "book.updb" : "book.pdb"),
                  bookBytes(sections, encoding));
        scanFolder(t.r, dir.path());
        ASSERT_TRUE(openEntry(t.r, 0));
        s.menu.searchMode = 1;
    }
    // The menu over the page shown, in search mode.
    void at(int section, int page)
    {
        showPosition(t.r, section, page);
        s.menu.clearReadingMarks();
        s.currentScreen = Screen::MenuScreen;
        t.searchBox.create(64, 54, 112, 22);
        t.searchBox.visible = true;
    }
    void type(std::u16string text)
    {
        if (!t.searchBox.created)
            t.searchBox.create(64, 54, 112, 22);
        t.searchBox.content = std::move(text);
    }
    std::vector<RecordingSurface::Call> inverts() const { return t.surface.callsOf("invert"); }
};

} // namespace

TEST_F(SearchTest, HitAtTheFirstCharacterOfThePage)
{
    open({filler(kCellsPerPage) + u"尋" + filler(400)});
    at(1, 2);
    type(u"尋");
    t.surface.clear();
    ASSERT_EQ(findNext(t.r), 1);
    EXPECT_EQ(s.book.pages.currentPage(), 2);
    EXPECT_EQ(s.search.matchOffset(), kCellsPerPage);
    EXPECT_EQ(s.book.pages.shownPageStart(), kCellsPerPage);
    EXPECT_EQ(s.currentScreen, Screen::ReadingScreen);
    EXPECT_EQ(s.menu.showMatch, 1);
    EXPECT_EQ(s.menu.showPageNumber, 1);
    EXPECT_EQ(s.menu.showSectionNumber, 0);
    EXPECT_FALSE(t.searchBox.visible);
    // The last invert of the paint is the hit: the page's first cell.
    ASSERT_FALSE(inverts().empty());
    const auto hit = inverts().back();
    EXPECT_EQ(std::vector<int>({hit.a, hit.b, hit.c, hit.d}), std::vector<int>({323, 17, 16, 16}));
}

struct Step {
    bool forward;
    int section, page, offset;
    int showSection;
};

TEST_F(SearchTest, StepsFromHitToHitAcrossSections)
{
    // Section 1: two hits on page 1, one on page 3. Section 2: one hit.
    open({filler(10) + u"甲乙" + filler(40) + u"甲乙" + filler(700) + u"甲乙" + filler(10),
          filler(5) + u"甲乙" + filler(20)});
    at(1, 1);
    type(u"甲乙");
    const Step steps[] = {
        {true, 1, 1, 10, 0},   {true, 1, 1, 52, 0},  {true, 1, 3, 754, 0}, {true, 2, 1, 5, 1},
        {false, 1, 3, 754, 1}, {false, 1, 1, 52, 0}, {false, 1, 1, 10, 0},
    };
    int n = 0;
    for (const Step &step : steps) {
        s.menu.clearReadingMarks();
        s.currentScreen = Screen::MenuScreen;
        ASSERT_EQ(step.forward ? findNext(t.r) : findPrevious(t.r), 1) << "step " << n;
        EXPECT_EQ(s.book.currentSection, step.section) << "step " << n;
        EXPECT_EQ(s.book.pages.currentPage(), step.page) << "step " << n;
        EXPECT_EQ(s.search.matchOffset(), step.offset) << "step " << n;
        EXPECT_EQ(s.search.matchSection(), step.section) << "step " << n;
        EXPECT_EQ(s.menu.showSectionNumber, step.showSection) << "step " << n;
        EXPECT_EQ(s.menu.showPageNumber, 1) << "step " << n;
        EXPECT_EQ(s.book.pages.shownPageStart(), s.book.pages.start(std::size_t(s.book.pages.currentPage())))
            << "step " << n;
        ++n;
    }
}

TEST_F(SearchTest, FindPreviousEndsBeforeTheRememberedHit)
{
    // Hits of 甲乙甲 start at 5, 28 and, overlapping, 30.
    open({filler(5) + u"甲乙甲" + filler(20) + u"甲乙甲乙甲" + filler(5)});
    at(1, 1);
    type(u"甲乙甲");
    ASSERT_EQ(findNext(t.r), 1);
    EXPECT_EQ(s.search.matchOffset(), 5);
    ASSERT_EQ(findNext(t.r), 1);
    EXPECT_EQ(s.search.matchOffset(), 28);
    ASSERT_EQ(findPrevious(t.r), 1);
    EXPECT_EQ(s.search.matchOffset(), 5);
    ASSERT_EQ(findNext(t.r), 1);
    EXPECT_EQ(s.search.matchOffset(), 28);
    // Steps do not overlap: the hit at 30 is not offered after the one at 28.
    EXPECT_EQ(findNext(t.r), 0);
    EXPECT_EQ(s.search.matchFound(), 0);
    EXPECT_EQ(t.dialogs.messages.size(), 1u);
}

TEST_F(SearchTest, TextIsCutTo19Characters)
{
    const std::u16string nineteen = u"一二三四五六七八九十甲乙丙丁戊己庚辛壬";
    ASSERT_EQ(nineteen.size(), 19u);
    open({filler(30, u'天') + nineteen + u"癸" + filler(10, u'天')});
    at(1, 1);
    type(nineteen + u"子"); // 20 characters; the twentieth is not in the book
    EXPECT_EQ(readSearchText(t.r), 19);
    EXPECT_EQ(s.search.searchText, nineteen);
    ASSERT_EQ(findNext(t.r), 1);
    EXPECT_EQ(s.search.matchOffset(), 30);
}

TEST_F(SearchTest, EmptyBoxDoesNothing)
{
    open({filler(20)});
    at(1, 1);
    type(u"");
    EXPECT_EQ(findNext(t.r), 0);
    EXPECT_EQ(findPrevious(t.r), 0);
    EXPECT_EQ(s.currentScreen, Screen::MenuScreen);
    EXPECT_TRUE(t.dialogs.messages.empty());
}

struct MissCase {
    const char *name;
    bool forward;
    int section;     // the search starts on page 2 of this section
    int wordSection; // the only place of the word: the start or the end of this section
    bool wordAtStart;
};

class SearchMiss : public SearchTest, public testing::WithParamInterface<MissCase> {};

TEST_P(SearchMiss, RestoresThePositionAndSaysSo)
{
    const MissCase &c = GetParam();
    // Three sections of three pages; each page is filled with its own mark.
    std::vector<std::u16string> sections;
    for (int k = 0; k < 3; ++k) {
        std::u16string text;
        for (int p = 0; p < 3; ++p)
            text += filler(kCellsPerPage, char16_t(0x4E00 + 16 * k + p));
        sections.push_back(text);
    }
    std::u16string &home = sections[std::size_t(c.wordSection - 1)];
    if (c.wordAtStart)
        home.insert(0, u"目標");
    else
        home += u"目標";
    open(sections);
    at(c.section, 2);
    const std::int32_t startBefore = s.book.pages.start(2);
    const char16_t markBefore = s.book.sectionText()[std::size_t(startBefore)];
    type(u"目標");
    EXPECT_EQ(c.forward ? findNext(t.r) : findPrevious(t.r), 0);
    EXPECT_EQ(s.book.currentSection, c.section);
    EXPECT_EQ(s.book.pages.currentPage(), 2);
    EXPECT_EQ(s.book.pages.start(2), startBefore);
    EXPECT_EQ(s.book.sectionText()[std::size_t(startBefore)], markBefore);
    EXPECT_EQ(s.search.matchFound(), 0);
    EXPECT_EQ(s.menu.showMatch, 0);
    EXPECT_EQ(s.currentScreen, Screen::MenuScreen);
    EXPECT_EQ(t.dialogs.messages, std::vector<std::u16string>{u"找不到 尋找"});
}

INSTANTIATE_TEST_SUITE_P(Table, SearchMiss,
                         testing::Values(MissCase{"ForwardFromTheLastSection", true, 3, 3, true},
                                         MissCase{"ForwardAcrossTheLastSection", true, 2, 1, false},
                                         MissCase{"ForwardInTheOnlySection", true, 1, 1, true},
                                         MissCase{"BackwardFromTheFirstSection", false, 1, 1, false},
                                         MissCase{"BackwardAcrossTheFirstSection", false, 2, 3, true}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(SearchTest, SectionThatCannotBeLoadedIsPassedOver)
{
    // In a code page 950 book an empty section is a one-byte record, which
    // cannot be loaded: the search moves on to the next section.
    open({filler(10), u"", filler(3) + u"目標"}, BookEncoding::CP950);
    at(1, 1);
    type(u"目標");
    ASSERT_EQ(findNext(t.r), 1);
    EXPECT_EQ(s.book.currentSection, 3);
    EXPECT_EQ(s.search.matchOffset(), 3);
    ASSERT_EQ(findPrevious(t.r), 0);
    EXPECT_EQ(s.book.currentSection, 3);
}

// --- The highlight

struct HighlightCase {
    const char *name;
    std::u16string text;
    int page;
    int offset, length;
    std::vector<std::pair<int, int>> cells; // top-left corners of the inverted cells
};

class Highlight : public SearchTest, public testing::WithParamInterface<HighlightCase> {};

TEST_P(Highlight, InvertsEachCellOfTheHitOnce)
{
    const HighlightCase &c = GetParam();
    open({c.text});
    showPosition(t.r, 1, c.page);
    s.search.rememberHit(1, c.offset);
    s.search.searchText = filler(std::size_t(c.length));
    t.surface.clear();
    highlightMatch(t.surface, t.r.state);
    std::vector<std::pair<int, int>> cells;
    for (const auto &call : inverts()) {
        EXPECT_EQ(call.c, 16);
        EXPECT_EQ(call.d, 16);
        cells.emplace_back(call.a, call.b - 1);
    }
    EXPECT_EQ(cells, c.cells);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Highlight,
    testing::Values(
        // A line end inside the hit takes no cell; the two-digit run is one cell.
        HighlightCase{"AcrossLineEndAndTwoDigits", u"甲乙\r\n丙12丁", 1, 1, 5, {{323, 32}, {299, 16}, {299, 32}}},
        HighlightCase{"SecondDigitOfARun", u"丙12丁", 1, 2, 2, {{323, 32}, {323, 48}}},
        HighlightCase{"ThreeDigitsEachTheirOwnCell", u"丙123", 1, 1, 3, {{323, 32}, {323, 48}, {323, 64}}},
        HighlightCase{"BlankLineMovesEightPixels", u"甲\r\n\r\n乙", 1, 0, 6, {{323, 16}, {291, 16}}},
        HighlightCase{"CutAtThePageEnd", filler(297) + u"甲乙丙丁", 1, 297, 4, {{35, 352}, {35, 368}}},
        HighlightCase{
            "OnTheSecondPage", filler(kCellsPerPage + 23) + u"甲乙", 2, kCellsPerPage + 23, 2, {{299, 16}, {299, 32}}},
        HighlightCase{"HalfWidthAndMapped", u"甲a.b", 1, 1, 3, {{323, 32}, {323, 48}, {323, 64}}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(SearchTest, HighlightCoversExactlyTheCellsThePageDraws)
{
    // The whole page is the hit: every glyph drawn lies in an inverted cell
    // and every inverted cell holds a glyph.
    const std::u16string text = u"第12章\r\n\r\nAb 3,\r\n甲456乙";
    open({text});
    showPosition(t.r, 1, 1);
    s.search.rememberHit(1, 0);
    s.search.searchText = filler(text.size());
    t.surface.clear();
    s.menu.showMatch = 1;
    paintShownScreen(t.r, true);
    std::vector<std::pair<int, int>> glyphs;
    for (const auto &call : t.surface.callsOf("text"))
        glyphs.emplace_back(call.a, call.b);
    for (const auto &call : t.surface.callsOf("glyph"))
        glyphs.emplace_back(call.a, call.b);
    std::set<std::pair<int, int>> cells, used;
    for (const auto &call : inverts())
        cells.emplace(call.a, call.b - 1);
    ASSERT_FALSE(glyphs.empty());
    for (const auto &[x, y] : glyphs) {
        bool inside = false;
        for (const auto &[cx, cy] : cells)
            if (x >= cx && x < cx + 16 && y == cy) {
                inside = true;
                used.emplace(cx, cy);
            }
        EXPECT_TRUE(inside) << "glyph at " << x << "," << y;
    }
    EXPECT_EQ(used, cells);
}

// --- The box

TEST_F(SearchTest, BoxIsMadeOnceAndKeepsItsText)
{
    setPanel(s);
    s.menu.searchMode = 1;
    s.currentScreen = Screen::MenuScreen;
    repaintShown(t.r);
    EXPECT_EQ(t.searchBox.createCount, 1);
    EXPECT_EQ(std::vector<int>({t.searchBox.x, t.searchBox.y, t.searchBox.w, t.searchBox.h}),
              std::vector<int>({64, 54, 112, 22}));
    EXPECT_TRUE(t.searchBox.visible);
    EXPECT_TRUE(t.searchBox.focused);
    t.searchBox.content = u"舊字";
    hideSearchBox(*t.r.services.searchBox, t.r.state.menu);
    EXPECT_FALSE(t.searchBox.visible);
    repaintShown(t.r);
    EXPECT_EQ(t.searchBox.createCount, 1);
    EXPECT_TRUE(t.searchBox.visible);
    EXPECT_EQ(t.searchBox.content, u"舊字");

    // Out of search mode the box is left as it is.
    s.menu.searchMode = 0;
    hideSearchBox(*t.r.services.searchBox, t.r.state.menu);
    EXPECT_TRUE(t.searchBox.visible);
}

TEST_F(SearchTest, ControlsStandWhereTheMenuExpectsThem)
{
    setPanel(s);
    s.menu.searchMode = 1;
    t.surface.clear();
    paintSearchControls(canvasOf(t.r), t.r.state);
    std::vector<std::tuple<std::u16string, int, int>> texts;
    for (const auto &call : t.surface.callsOf("text"))
        texts.emplace_back(call.text, call.a, call.b);
    const int half = kPanelWidth / 2;
    EXPECT_EQ(texts, (std::vector<std::tuple<std::u16string, int, int>>{
                         {u"尋找：", 16, 58},
                         {u"找下一個", (half - 64) / 2, s.layout.pageBandLabelTop},
                         {u"找上一個", half + (half - 64) / 2, s.layout.pageBandLabelTop}}));
    const auto lines = t.surface.callsOf("line");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(std::vector<int>({lines[0].a, lines[0].b, lines[0].c, lines[0].d}),
              std::vector<int>({half, s.layout.menuBandBottom, half, s.layout.thirdRowTop}));
}
