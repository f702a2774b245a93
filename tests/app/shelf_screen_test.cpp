#include "test_reader.h"

#include "app/input_dispatch.h"
#include "app/show_screen.h"
#include "app/window_modes.h"
#include "book/book_writer.h"
#include "book/catalogue.h"
#include "qt/qt_surface.h"
#include "render/primitives.h"
#include "screens/shelf_screen.h"
#include "text/codec.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

using namespace pagora;

namespace {

using Call = RecordingSurface::Call;

// A shelf screen in a window mode with `count` catalogue entries whose
// titles are the single characters U+5000 + i (no files behind them).
struct ShelfView {
    TestReader t;
    ReaderState &s = t.r.state;

    explicit ShelfView(int count, int mode = 1)
    {
        remakeInterfaceFont(t.r);
        remakeReadingFont(t.r);
        s.window.windowModeCount = 10;
        s.window.windowMode = std::int16_t(mode);
        applyWindowMode(t.r);
        s.folders.mainShelfPath = "/shelf/";
        s.shelf.shelfPath = "/shelf/";
        setBooks(count);
        s.currentScreen = Screen::ShelfScreen;
    }
    void setBooks(int count, std::u16string (*title)(int) = singleCharacter)
    {
        s.shelf.clearCatalogue();
        for (int i = 0; i < count; ++i) {
            BookEntry e;
            e.fileName = "b" + std::to_string(i) + ".updb";
            e.title = title(i);
            e.sectionCount = std::int16_t(10 + i);
            e.lastSection = std::int16_t(1 + i % 5);
            e.lastPage = std::int16_t(2 + i);
            s.shelf.addEntry(e);
        }
        s.shelf.select(count > 0 ? 0 : -1);
        s.shelf.setOpenBook(-1);
    }
    static std::u16string singleCharacter(int i) { return std::u16string(1, char16_t(0x5000 + i)); }

    int bandTop(int band) const
    {
        return band == 0 ? s.layout.listTop : band == 1 ? s.layout.band2Top : s.layout.band3Top;
    }
    // The middle of the list cell of the i-th title of the shown page.
    int cellX(int i) const { return (15 - i % 16) * s.layout.columnWidth + s.layout.columnWidth / 2; }
    int cellY(int i) const { return bandTop(i / 16) + 20; }

    std::vector<Call> inverts() const { return t.surface.callsOf("invert"); }
    std::vector<Call> titleCalls() const
    {
        std::vector<Call> out;
        for (const Call &c : t.surface.callsOf("text"))
            if (c.text.size() == 1 && c.text[0] >= 0x5000 && c.text[0] < 0x5000 + s.shelf.bookCount())
                out.push_back(c);
        return out;
    }
    bool drew(std::u16string_view text) const
    {
        for (const Call &c : t.surface.callsOf("text"))
            if (c.text == text)
                return true;
        return false;
    }
    // As the app paints it: settled first.
    void paint()
    {
        settleScreen(s);
        paintShelfScreen(canvasOf(t.r), s);
    }
    void press(int x, int y) { onPointerPressed(t.r, x, y, true); }
    void drag(int x, int y) { onPointerMoved(t.r, x, y); }
    void release(int x, int y) { onPointerReleased(t.r, x, y, true); }
};

bool hasInvert(const std::vector<Call> &calls, int x, int y, int w, int h)
{
    for (const Call &c : calls)
        if (c.a == x && c.b == y && c.c == w && c.d == h)
            return true;
    return false;
}

TEST(ShelfGeometry, ModeOneMetricsAsPainted)
{
    ShelfView sc(3, 1);
    sc.paint();
    const auto inv = sc.inverts();
    // Title and path bar, the main-shelf mark, the first book, the middle button.
    EXPECT_TRUE(hasInvert(inv, 0, 0, 336, 56));
    EXPECT_TRUE(hasInvert(inv, 150, 1, 16, 25));
    EXPECT_TRUE(hasInvert(inv, 15 * 21 + 1, 57, 20, 210 - 56 - 1));
    EXPECT_TRUE(hasInvert(inv, 113, 395, 111, 30));
    const auto titles = sc.titleCalls();
    ASSERT_EQ(titles.size(), 3u);
    EXPECT_EQ(titles[0].a, 2 + 15 * 21);
    EXPECT_EQ(titles[0].b, 66);
}

struct MarkCase {
    int mode;
    int shelf;
};

class ShelfMark : public testing::TestWithParam<MarkCase> {};

TEST_P(ShelfMark, CurrentShelfCellInvertedAfterTheBar)
{
    ShelfView sc(2, GetParam().mode);
    const int shelf = GetParam().shelf;
    sc.s.shelf.currentShelf = std::int16_t(shelf);
    sc.paint();
    const ReaderState &s = sc.s;
    const int markX = shelf == 0 ? s.layout.mainSlotX : s.layout.digitRowLeft + s.layout.slotX[std::size_t(shelf - 1)];
    const auto inv = sc.inverts();
    std::size_t bar = inv.size(), mark = inv.size();
    for (std::size_t i = 0; i < inv.size(); ++i) {
        if (inv[i].a == 0 && inv[i].b == 0 && inv[i].c == s.window.clientWidth && inv[i].d == s.layout.listTop)
            bar = i;
        if (inv[i].a == markX && inv[i].b == 1 && inv[i].c == 16 && inv[i].d == 25)
            mark = i;
    }
    ASSERT_LT(bar, inv.size());
    ASSERT_LT(mark, inv.size());
    EXPECT_LT(bar, mark) << "the mark inverts the already inverted bar back";
    // The bar texts: title, main cell, the nine digits.
    EXPECT_TRUE(sc.drew(u"我的書架"));
    for (int d = 1; d <= 9; ++d) {
        bool found = false;
        for (const Call &c : sc.t.surface.callsOf("text"))
            found = found || (c.text == std::u16string(1, char16_t(u'0' + d)) &&
                              c.a == s.layout.digitRowLeft + s.layout.slotX[std::size_t(d - 1)] + 4 && c.b == 5);
        EXPECT_TRUE(found) << d;
    }
}

INSTANTIATE_TEST_SUITE_P(Shelves, ShelfMark,
                         testing::Values(MarkCase{1, 0}, MarkCase{1, 3}, MarkCase{1, 9}, MarkCase{3, 0}, MarkCase{7, 5},
                                         MarkCase{8, 9}));

TEST(ShelfGeometry, ShelfNumberWithoutACellMarksNothing)
{
    ShelfView sc(1);
    sc.s.shelf.currentShelf = 12;
    sc.paint();
    for (const Call &c : sc.inverts())
        EXPECT_FALSE(c.b == 1 && c.c == 16 && c.d == 25);
}

struct PagingCase {
    int mode;
    int count;
    int start;
    int shown;
    int next;
    int prev;
};

class ShelfPaging : public testing::TestWithParam<PagingCase> {};

TEST_P(ShelfPaging, PageHoldsItsBooksAndOffersTheOtherPages)
{
    const PagingCase &c = GetParam();
    ShelfView sc(c.count, c.mode);
    sc.s.shelf.shelfPageStart = c.start;
    sc.paint();
    const ReaderState &s = sc.s;
    EXPECT_EQ(s.shelf.shelfPageFirst, c.start);
    EXPECT_EQ(s.shelf.shelfNextPage, c.next);
    EXPECT_EQ(s.shelf.shelfPrevPage, c.prev);
    EXPECT_EQ(sc.drew(u"下一頁"), c.next != 0);
    EXPECT_EQ(sc.drew(u"上一頁"), c.prev >= 0);
    const auto titles = sc.titleCalls();
    ASSERT_EQ(int(titles.size()), c.shown);
    for (int i = 0; i < c.shown; ++i) {
        EXPECT_EQ(titles[std::size_t(i)].text[0], char16_t(0x5000 + c.start + i));
        EXPECT_EQ(titles[std::size_t(i)].a, s.layout.columnInset + (15 - i % 16) * s.layout.columnWidth) << i;
        EXPECT_EQ(titles[std::size_t(i)].b, sc.bandTop(i / 16) + 10) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, ShelfPaging,
                         testing::Values(PagingCase{1, 32, 0, 32, 0, -1}, PagingCase{1, 33, 0, 32, 32, -1},
                                         PagingCase{1, 33, 32, 1, 0, 0}, PagingCase{1, 48, 0, 32, 32, -1},
                                         PagingCase{1, 49, 32, 17, 0, 0}, PagingCase{2, 65, 32, 32, 64, 0},
                                         PagingCase{3, 32, 0, 32, 0, -1}, PagingCase{3, 33, 0, 33, 0, -1},
                                         PagingCase{3, 48, 0, 48, 0, -1}, PagingCase{3, 49, 0, 48, 48, -1},
                                         PagingCase{3, 49, 48, 1, 0, 0}, PagingCase{7, 100, 48, 48, 96, 0},
                                         PagingCase{1, 0, 0, 0, 0, -1}));

TEST(ShelfGeometry, BandLinesFollowTheWindowMode)
{
    for (const int mode : {1, 3}) {
        ShelfView sc(1, mode);
        sc.paint();
        const ReaderState &s = sc.s;
        int fullWidthLines = 0;
        bool band3 = false;
        for (const Call &c : sc.t.surface.callsOf("line")) {
            if (c.a == 0 && c.c == s.window.clientWidth - 1 && c.b == c.d) {
                ++fullWidthLines;
                band3 = band3 || (c.b == s.layout.band3Top && s.layout.band3Top != s.layout.buttonRowTop);
            }
        }
        // listTop, band2Top, buttonRowTop, bottomBarTop, and band3Top in mode 3.
        EXPECT_EQ(fullWidthLines, mode >= 3 ? 5 : 4) << mode;
        EXPECT_EQ(band3, mode >= 3) << mode;
        int separators = 0;
        for (const Call &c : sc.t.surface.callsOf("line"))
            separators += c.a == c.c && c.b == s.layout.listTop && c.d == s.layout.buttonRowTop;
        EXPECT_EQ(separators, 15);
    }
    // An empty shelf's hint stands on a clear list: no rules cross it.
    ShelfView empty(0, 3);
    empty.paint();
    for (const Call &c : empty.t.surface.callsOf("line"))
        EXPECT_TRUE(c.b == c.d && c.b != empty.s.layout.band2Top && c.b != empty.s.layout.band3Top) << c.a;
}

TEST(ShelfGeometry, ButtonLabelsAndTheMiddleButton)
{
    ShelfView sc(1, 1);
    const ReaderState &s = sc.s;
    const int cw = s.layout.columnWidth;
    const int by = s.layout.buttonRowTop + s.layout.barTextInset;
    const int bottom = s.layout.bottomBarTop + s.layout.barTextInset;
    for (const int fromMenu : {0, 2}) {
        sc.t.surface.clear();
        sc.s.shelf.cameFromMenu = EnteredFrom(fromMenu);
        sc.paint();
        const std::vector<std::tuple<std::u16string, int, int>> expected = {
            {u"操作說明", s.layout.leftMargin, by},
            {u"選主架", 5 * cw - 8, by},
            {u"刪除", 9 * cw - 16, by},
            {u"移至", 12 * cw - 16, by},
            {u"關閉", s.window.clientWidth - 32 - s.layout.leftMargin, by},
            {fromMenu == 2 ? u"返回" : u"開始", s.window.clientWidth / 2 - 16, bottom},
        };
        for (const auto &[text, x, y] : expected) {
            bool found = false;
            for (const Call &c : sc.t.surface.callsOf("text"))
                found = found || (c.text == text && c.a == x && c.b == y);
            EXPECT_TRUE(found) << std::string(text.begin(), text.end());
        }
        EXPECT_FALSE(sc.drew(fromMenu == 2 ? u"開始" : u"返回"));
    }
}

struct LabelCase {
    const char *name;
    std::u16string title;
    // (character, x offset in the cell, glyph row)
    std::vector<std::tuple<char16_t, int, int>> glyphs;
};

class VerticalLabel : public testing::TestWithParam<LabelCase> {};

TEST_P(VerticalLabel, TwoDigitRunsShareARow)
{
    ShelfView sc(0, 1);
    sc.t.surface.clear();
    drawVerticalLabel(canvasOf(sc.t.r), sc.t.r.state, GetParam().title, 100, 70);
    const auto calls = sc.t.surface.callsOf("text");
    const auto &glyphs = GetParam().glyphs;
    ASSERT_EQ(calls.size(), glyphs.size());
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        const auto &[u, dx, row] = glyphs[i];
        EXPECT_EQ(calls[i].text, std::u16string(1, u)) << i;
        EXPECT_EQ(calls[i].a, 100 + dx) << i;
        EXPECT_EQ(calls[i].b, 70 + 16 * row) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Titles, VerticalLabel,
    testing::Values(
        LabelCase{"TwoDigits", u"第12章", {{u'第', 0, 0}, {u'1', 0, 1}, {u'2', 8, 1}, {u'章', 0, 2}}},
        LabelCase{"OneDigit", u"第1章", {{u'第', 0, 0}, {u'1', 4, 1}, {u'章', 0, 2}}},
        LabelCase{"ThreeDigits", u"第123章", {{u'第', 0, 0}, {u'1', 4, 1}, {u'2', 4, 2}, {u'3', 4, 3}, {u'章', 0, 4}}},
        LabelCase{
            "DigitsAtTheEdges", u"12第34", {{u'1', 0, 0}, {u'2', 8, 0}, {u'第', 0, 1}, {u'3', 0, 2}, {u'4', 8, 2}}},
        LabelCase{"LatinIsHalfWidth", u"A1 b", {{u'A', 4, 0}, {u'1', 4, 1}, {u' ', 4, 2}, {u'b', 4, 3}}},
        LabelCase{"LatinOneIsHalfWidth", u"é全", {{u'é', 4, 0}, {u'全', 0, 1}}}),
    [](const testing::TestParamInfo<LabelCase> &info) { return std::string(info.param.name); });

TEST(ShelfGeometry, TurnedBarLeavesTheRestOfItsTitleInTheInterfaceFont)
{
    ShelfView sc(0, 1);
    sc.setBooks(2, [](int i) { return std::u16string(i == 0 ? u"甲│乙" : u"丙"); });
    // A reading cell far from the 16 px rows of the list.
    sc.s.look.setSizeStep(9);
    sc.s.look.baseFontSize = 40;
    remakeReadingFont(sc.t.r);
    sc.paint();
    const auto callOf = [&](char16_t u) {
        for (const Call &c : sc.t.surface.callsOf("text"))
            if (c.text == std::u16string(1, u))
                return c;
        return Call{};
    };
    const auto fontOf = [&](char16_t u) { return callOf(u).text.empty() ? int(kNoFont) : callOf(u).font; };
    EXPECT_EQ(callOf(u'…').b, callOf(u'甲').b + 16 + 16) << "the dots hang from the bottom of the bar's own row";
    EXPECT_EQ(fontOf(u'甲'), sc.t.r.fonts.interfaceFont);
    const int turned = fontOf(u'…');
    ASSERT_NE(turned, kNoFont) << "the bar is drawn as a turned ellipsis";
    EXPECT_EQ(sc.t.surface.fonts[std::size_t(turned)].escapement, 900);
    EXPECT_EQ(fontOf(u'乙'), sc.t.r.fonts.interfaceFont);
    EXPECT_EQ(fontOf(u'丙'), sc.t.r.fonts.interfaceFont);
    EXPECT_EQ(sc.t.surface.callsOf("text").back().font, sc.t.r.fonts.interfaceFont) << "the bars after the list";
}

struct CutCase {
    int mode;
    int index; // position on the page: picks the band
};

class TitleCut : public testing::TestWithParam<CutCase> {};

TEST_P(TitleCut, LongTitlesStopAtTheBandLimit)
{
    const CutCase &c = GetParam();
    ShelfView sc(0, c.mode);
    sc.setBooks(c.index + 1, [](int) { return std::u16string(60, u'長'); });
    sc.s.shelf.select(-1);
    sc.paint();
    const ReaderState &s = sc.s;
    const int band = c.index / 16;
    const int top = sc.bandTop(band) + 10;
    const int bottom = band == 0 ? s.layout.band2Top : band == 1 ? s.layout.band3Top : s.layout.buttonRowTop;
    const int x = s.layout.columnInset + (15 - c.index % 16) * s.layout.columnWidth;
    std::vector<int> rows;
    for (const Call &cl : sc.t.surface.callsOf("text"))
        if (cl.text == u"長" && cl.a == x && cl.b >= top && cl.b < bottom)
            rows.push_back(cl.b);
    ASSERT_FALSE(rows.empty());
    // The last row holds the ellipsis; it ends inside the band, the next row would not.
    const int last = rows.back() + 16;
    EXPECT_EQ(int(rows.size()), (bottom - 16 - top) / 16);
    EXPECT_TRUE(std::any_of(sc.t.surface.calls.begin(), sc.t.surface.calls.end(),
                            [&](const Call &cl) { return cl.text == u"︙" && cl.a == x && cl.b == last; }));
    EXPECT_LE(last + 16, bottom);
    EXPECT_GT(last + 32, bottom);
}

TEST(ShelfTitles, TooLongEndsInAnEllipsisAndKeepsTheCopyNumber)
{
    const std::tuple<std::u16string, int, std::u16string> rows[] = {
        {u"道德經", 5, u"道德經"},
        {u"道德經道德經", 5, u"道德經道︙"},
        {u"道德經道德經 (2)", 8, u"道德經︙ (2)"},
        {u"道德經道德經 (12)", 7, u"道德︙ (12)"},
        {u"書 (2)", 5, u"書 (2)"},
        {u"道德經 (12)", 4, u"道德經 (12)"}, // too narrow for the mark: cut where the column ends
        {u"第12回長長長", 4, u"第12回︙"},   // a two-digit run is one row
        {u"長長長長長(2)", 4, u"長長長︙"},  // no blank: a title, not a copy number
        {u"\U00020000\U00020000", 2, u"︙"}, // never half a character
    };
    for (const auto &[title, cells, expected] : rows)
        EXPECT_EQ(fittedTitle(title, cells), expected) << utf16ToUtf8(title) << " in " << cells;
}

INSTANTIATE_TEST_SUITE_P(Bands, TitleCut,
                         testing::Values(CutCase{1, 0}, CutCase{1, 16}, CutCase{3, 0}, CutCase{3, 20}, CutCase{3, 40},
                                         CutCase{8, 33}));

TEST(ShelfCells, HighlightRectanglesPerBandAndScreen)
{
    ShelfView sc(0, 3);
    const ReaderState &s = sc.s;
    const int cw = s.layout.columnWidth;
    const int h = s.layout.band2Top - s.layout.listTop - 1;
    struct Row {
        int k;
        int x, y, w;
    };
    for (const Row &row : {Row{0, 15 * cw + 1, s.layout.listTop + 1, cw - 1}, Row{15, 0, s.layout.listTop + 1, cw},
                           Row{16, 15 * cw + 1, s.layout.band2Top + 1, cw - 1}, Row{31, 0, s.layout.band2Top + 1, cw},
                           Row{40, 7 * cw + 1, s.layout.band3Top + 1, cw - 1}}) {
        sc.t.surface.clear();
        highlightListCell(sc.t.surface, sc.t.r.state, row.k);
        const auto inv = sc.inverts();
        ASSERT_EQ(inv.size(), 1u);
        EXPECT_TRUE(hasInvert(inv, row.x, row.y, row.w, h)) << row.k;
    }
    sc.s.currentScreen = Screen::ContentsScreen;
    sc.t.surface.clear();
    highlightListCell(sc.t.surface, sc.t.r.state, 3);
    EXPECT_TRUE(hasInvert(sc.inverts(), 12 * cw + 1, s.layout.topBarHeight + 1, cw - 1,
                          s.layout.bottomBarTop - s.layout.topBarHeight - 1));
    sc.t.surface.clear();
    paintListGrid(sc.t.surface, sc.t.r.state);
    const auto lines = sc.t.surface.callsOf("line");
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[0].b, s.layout.topBarHeight);
    EXPECT_EQ(lines[0].d, s.layout.bottomBarTop);
    // The contents screen cuts labels at its bottom bar, other screens at the panel's edge.
    sc.t.surface.clear();
    drawVerticalLabel(canvasOf(sc.t.r), sc.t.r.state, std::u16string(100, u'字'), 10, s.layout.topBarHeight + 6);
    EXPECT_EQ(sc.t.surface.callsOf("text").back().b,
              s.layout.bottomBarTop - 16 - (s.layout.bottomBarTop - 16 - s.layout.topBarHeight - 6) % 16);
    sc.s.currentScreen = Screen::MenuScreen;
    sc.t.surface.clear();
    drawVerticalLabel(canvasOf(sc.t.r), sc.t.r.state, std::u16string(100, u'字'), 10, 0);
    EXPECT_EQ(int(sc.t.surface.callsOf("text").size()), s.window.clientHeight / 16 + 1);
}

// --- Pointer

TEST(ShelfPointer, PressSelectsDragMovesReleaseOpens)
{
    ShelfView sc(5, 1);
    ReaderState &s = sc.s;
    sc.paint();
    sc.t.surface.clear();

    sc.press(sc.cellX(2), sc.cellY(2));
    EXPECT_EQ(s.shelf.selectedBook(), 2);
    EXPECT_EQ(s.book.currentSection, s.shelf.catalogue()[2].lastSection);
    EXPECT_EQ(s.book.pages.currentPage(), s.shelf.catalogue()[2].lastPage);
    EXPECT_EQ(s.book.sectionCount, s.shelf.catalogue()[2].sectionCount);
    // The old cell painted again, then the new one, marked.
    std::vector<int> repainted;
    for (const Call &c : sc.t.surface.callsOf("clip"))
        if (c.clipDepth == 0)
            repainted.push_back(c.a);
    EXPECT_EQ(repainted, (std::vector<int>{15 * s.layout.columnWidth + 1, 13 * s.layout.columnWidth + 1}));
    auto inv = sc.inverts();
    ASSERT_EQ(inv.size(), 1u);
    EXPECT_EQ(inv[0].a, 13 * s.layout.columnWidth + 1);

    // The place reached in book 2 is kept when the drag moves on.
    s.book.pages.turnTo(42);
    sc.drag(sc.cellX(4), sc.cellY(4));
    EXPECT_EQ(s.shelf.selectedBook(), 4);
    EXPECT_EQ(s.shelf.catalogue()[2].lastPage, 42);
    EXPECT_EQ(s.book.pages.currentPage(), s.shelf.catalogue()[4].lastPage);

    // Beyond the last book and outside the panel: nothing.
    sc.t.surface.clear();
    sc.drag(sc.cellX(7), sc.cellY(7));
    sc.drag(-4, sc.cellY(0));
    sc.drag(16 * s.layout.columnWidth + 3, sc.cellY(0));
    EXPECT_EQ(s.shelf.selectedBook(), 4);
    EXPECT_TRUE(sc.inverts().empty());

    // The release opens the book under the pointer; with no file behind it,
    // nothing visible happens.
    sc.release(sc.cellX(3), sc.cellY(3));
    EXPECT_EQ(s.shelf.selectedBook(), 3);
    EXPECT_EQ(s.currentScreen, Screen::ShelfScreen);
    EXPECT_EQ(s.shelf.openBook(), -1);
}

TEST(ShelfPointer, OldSelectionOnAnotherPageIsNotUnhighlighted)
{
    ShelfView sc(40, 1);
    sc.s.shelf.select(35);
    sc.s.shelf.shelfPageStart = 0;
    sc.paint();
    sc.t.surface.clear();
    sc.press(sc.cellX(1), sc.cellY(1));
    EXPECT_EQ(sc.s.shelf.selectedBook(), 1);
    ASSERT_EQ(sc.inverts().size(), 1u);
}

TEST(ShelfPointer, ReleaseOnATitleOpensTheRealBook)
{
    TempDir dir;
    BookRecipe spec;
    spec.title = u"西遊記";
    spec.sectionTitles = {u"一", u"二"};
    spec.sectionTexts = {u"花果山", u"水簾洞"};
    std::string bytes;
    ASSERT_TRUE(writeBookBytes(spec, bytes));
    writeFile(dir.file("a.updb"), bytes);
    writeFile(dir.file("b.updb"), bytes);
    ShelfView sc(0, 1);
    sc.s.folders.mainShelfPath = sc.s.shelf.shelfPath = dir.path();
    rebuildCatalogue(*sc.t.r.services.files, sc.t.r.state.shelf, sc.t.r.state.book, sc.t.r.state.bookmarks,
                     sc.t.r.state.menu, sc.t.r.state.search);
    showScreen(sc.t.r, Screen::ShelfScreen);
    sc.press(sc.cellX(1), sc.cellY(1));
    sc.release(sc.cellX(1), sc.cellY(1));
    EXPECT_EQ(sc.s.shelf.selectedBook(), 1);
    EXPECT_EQ(sc.s.currentScreen, Screen::ContentsScreen);
    EXPECT_EQ(sc.t.window.caption, u"西遊記 - Pagora 1.8");
}

struct TitleBarCase {
    const char *name;
    int fromShelf;
    PointerPhase phase; // Press or Drag
    int cell;           // 0 = "主", 1..9 = digit, 10 = right of the ninth digit, -1 = left of "主"
    int expectedShelf;
};

class TitleBarSwitch : public testing::TestWithParam<TitleBarCase> {};

TEST_P(TitleBarSwitch, SwitchesShelvesAsPressedOrDragged)
{
    const TitleBarCase &c = GetParam();
    TempDir root;
    ShelfView sc(0, 1);
    ReaderState &s = sc.s;
    s.folders.mainShelfPath = root.path();
    s.shelf.currentShelf = std::int16_t(c.fromShelf);
    s.shelf.shelfPath = shelfFolder(root.path(), c.fromShelf);
    showScreen(sc.t.r, Screen::ShelfScreen);
    int x = s.window.clientWidth - 2;
    if (c.cell == -1)
        x = s.layout.mainSlotX - 1;
    else if (c.cell == 0)
        x = s.layout.mainSlotX + 3;
    else if (c.cell <= 9)
        x = s.layout.digitRowLeft + s.layout.slotX[std::size_t(c.cell - 1)] + 3;
    sc.t.surface.clear();
    if (c.phase == PointerPhase::Press) {
        sc.press(x, 10);
    } else {
        sc.press(s.layout.mainSlotX - 20, 10); // on the title, which does nothing
        sc.drag(x, 10);
    }
    EXPECT_EQ(s.shelf.currentShelf, c.expectedShelf);
    EXPECT_EQ(s.shelf.shelfPath, shelfFolder(root.path(), c.expectedShelf));
    const bool switched = c.expectedShelf != c.fromShelf;
    EXPECT_EQ(!sc.t.surface.calls.empty(), switched) << "no repaint without a switch";
    if (switched) {
        EXPECT_EQ(s.currentScreen, Screen::ShelfScreen);
        if (c.expectedShelf > 0) {
            EXPECT_TRUE(std::filesystem::is_directory(root.file(std::to_string(c.expectedShelf))));
        }
        // The path bar shows the new folder.
        bool pathBar = false;
        for (const Call &cl : sc.t.surface.callsOf("text"))
            pathBar = pathBar || (cl.text == utf8ToUtf16(s.shelf.shelfPath) && cl.a == s.layout.pathTextLeft &&
                                  cl.b == s.layout.topBarHeight + s.layout.barTextInset);
        EXPECT_TRUE(pathBar);
    }
}

INSTANTIATE_TEST_SUITE_P(Cells, TitleBarSwitch,
                         testing::Values(TitleBarCase{"PressDigit", 0, PointerPhase::Press, 4, 4},
                                         TitleBarCase{"PressMain", 3, PointerPhase::Press, 0, 0},
                                         TitleBarCase{"PressCurrentDigit", 3, PointerPhase::Press, 3, 3},
                                         TitleBarCase{"PressCurrentMain", 0, PointerPhase::Press, 0, 0},
                                         TitleBarCase{"RightOfNinthIsNine", 0, PointerPhase::Press, 10, 9},
                                         TitleBarCase{"FirstDigit", 5, PointerPhase::Press, 1, 1},
                                         TitleBarCase{"LeftOfMainDoesNothing", 3, PointerPhase::Press, -1, 3},
                                         TitleBarCase{"DragOverDigitDoesNothing", 0, PointerPhase::Drag, 6, 0},
                                         TitleBarCase{"DragOverMainSwitches", 6, PointerPhase::Drag, 0, 0}),
                         [](const testing::TestParamInfo<TitleBarCase> &info) { return std::string(info.param.name); });

struct ButtonCase {
    const char *name;
    int leftColumns;  // button left edge in columns
    int widthColumns; // 0: the chooser's width
    int pressOffset;  // x = left edge + this
};

class ButtonRow : public testing::TestWithParam<ButtonCase> {};

TEST_P(ButtonRow, PressInvertsTheButton)
{
    const ButtonCase &c = GetParam();
    for (const int mode : {1, 3}) {
        ShelfView sc(2, mode);
        const ReaderState &s = sc.s;
        const int cw = s.layout.columnWidth;
        const int w = c.widthColumns ? c.widthColumns * cw : 3 * cw + (mode <= 2 ? 8 : 0);
        sc.paint();
        sc.t.surface.clear();
        sc.press(c.leftColumns * cw + c.pressOffset, s.layout.buttonRowTop + 5);
        const auto inv = sc.inverts();
        ASSERT_EQ(inv.size(), 1u) << mode;
        EXPECT_TRUE(hasInvert(inv, c.leftColumns * cw, s.layout.buttonRowTop + 1, w, s.layout.barHeight - 1)) << mode;
    }
}

INSTANTIATE_TEST_SUITE_P(Buttons, ButtonRow,
                         testing::Values(ButtonCase{"Instructions", 0, 4, 2}, ButtonCase{"ChooseMain", 4, 0, 2},
                                         ButtonCase{"Delete", 8, 2, 1}, ButtonCase{"Move", 11, 2, 1},
                                         ButtonCase{"Close", 14, 2, 3}),
                         [](const testing::TestParamInfo<ButtonCase> &info) { return std::string(info.param.name); });

TEST(ShelfPointer, ChooserIsWiderInTheSmallModes)
{
    for (const int mode : {1, 3}) {
        ShelfView sc(2, mode);
        const int cw = sc.s.layout.columnWidth;
        sc.press(7 * cw + 4, sc.s.layout.buttonRowTop + 5);
        EXPECT_EQ(sc.inverts().size(), mode <= 2 ? 1u : 0u) << mode;
    }
}

TEST(ShelfPointer, ButtonRowGapsAndReleases)
{
    ShelfView sc(2, 1);
    ReaderState &s = sc.s;
    const int cw = s.layout.columnWidth;
    const int y = s.layout.buttonRowTop + 5;
    sc.paint();
    sc.t.surface.clear();
    for (const int x : {10 * cw + 2, 13 * cw + 2, 14 * cw}) {
        sc.press(x, y);
        sc.release(x, y);
    }
    EXPECT_TRUE(sc.t.surface.calls.empty());

    // Delete: held down, let up (painted again without the mark), asked.
    sc.press(8 * cw + 2, y);
    sc.release(8 * cw + 2, y);
    EXPECT_EQ(sc.inverts().size(), 1u);
    EXPECT_EQ(sc.t.surface.callsOf("clip").size(), 2u);
    ASSERT_EQ(sc.t.dialogs.questions.size(), 1u);
    EXPECT_EQ(sc.t.dialogs.questions[0], u"刪除《" + s.shelf.catalogue()[0].title + u"》？");

    // Close: the window is asked to close; the highlight is left as it is.
    sc.t.surface.clear();
    sc.press(15 * cw, y);
    sc.release(15 * cw, y);
    EXPECT_EQ(sc.t.window.closeRequests, 1);
    EXPECT_EQ(sc.inverts().size(), 1u);

    sc.press(cw, y);
    sc.release(cw, y);
    EXPECT_EQ(s.currentScreen, Screen::HelpScreen);
}

TEST(ShelfPointer, EmptyShelfStartOpensTheFileDialog)
{
    ShelfView sc(0, 1);
    const ReaderState &s = sc.s;
    sc.paint();
    sc.t.surface.clear();
    sc.t.dialogs.fileAnswers = {{}, {"unused"}};
    sc.press(s.window.clientWidth / 2, s.layout.bottomBarTop + 5);
    sc.release(s.window.clientWidth / 2, s.layout.bottomBarTop + 5);
    EXPECT_EQ(sc.t.dialogs.fileAnswers.size(), 1u) << "開始 asked for files once";
    sc.t.surface.clear();
    sc.press(8 * s.layout.columnWidth + 2, s.layout.buttonRowTop + 5);
    sc.release(8 * s.layout.columnWidth + 2, s.layout.buttonRowTop + 5);
    EXPECT_TRUE(sc.t.dialogs.questions.empty());
    EXPECT_EQ(sc.inverts().size(), 1u) << "only the delete button held down";
    EXPECT_EQ(s.currentScreen, Screen::ShelfScreen);
}

TEST(ShelfPointer, BottomBarPagesTheList)
{
    ShelfView sc(33, 1);
    ReaderState &s = sc.s;
    const int y = s.layout.bottomBarTop + 5;
    sc.paint();
    sc.t.surface.clear();
    // No previous page: the right third does nothing.
    sc.press(s.window.clientWidth - 3, y);
    sc.release(s.window.clientWidth - 3, y);
    EXPECT_TRUE(sc.t.surface.calls.empty());

    sc.press(3, y);
    EXPECT_TRUE(hasInvert(sc.inverts(), 0, s.layout.bottomBarTop + 1, s.layout.leftThird - 2,
                          s.window.clientHeight - s.layout.bottomBarTop));
    sc.release(3, y);
    EXPECT_EQ(s.shelf.shelfPageFirst, 32);
    EXPECT_EQ(s.shelf.shelfPrevPage, 0);

    sc.t.surface.clear();
    sc.press(s.window.clientWidth - 3, y);
    EXPECT_TRUE(hasInvert(sc.inverts(), s.layout.rightThird + 3, s.layout.bottomBarTop + 1, s.layout.leftThird - 2,
                          s.window.clientHeight - s.layout.bottomBarTop));
    sc.release(s.window.clientWidth - 3, y);
    EXPECT_EQ(s.shelf.shelfPageFirst, 0);

    // Keys and the wheel page the same way.
    onKeyReleased(sc.t.r, Key::Left);
    EXPECT_EQ(s.shelf.shelfPageFirst, 32);
    onWheel(sc.t.r, false);
    EXPECT_EQ(s.shelf.shelfPageFirst, 0);
}

TEST(ShelfPointer, BackToTheMenuKeepsTheOpenBooksPlace)
{
    ShelfView sc(4, 1);
    ReaderState &s = sc.s;
    s.shelf.setOpenBook(1);
    s.shelf.select(1);
    s.shelf.cameFromMenu = EnteredFrom::Menu;
    s.book.sectionCount = 11;
    s.book.currentSection = 4;
    s.book.pages.turnTo(9);
    showScreen(sc.t.r, Screen::ShelfScreen);
    sc.press(sc.cellX(3), sc.cellY(3));
    sc.release(sc.cellX(3) + 10000, sc.cellY(3)); // released outside: nothing opens
    ASSERT_EQ(s.shelf.selectedBook(), 3);
    EXPECT_EQ(s.book.currentSection, s.shelf.catalogue()[3].lastSection);

    sc.press(s.window.clientWidth / 2, s.layout.bottomBarTop + 5);
    sc.release(s.window.clientWidth / 2, s.layout.bottomBarTop + 5);
    EXPECT_EQ(s.currentScreen, Screen::MenuScreen);
    EXPECT_EQ(s.shelf.selectedBook(), 1);
    EXPECT_EQ(s.book.sectionCount, 11);
    EXPECT_EQ(s.book.currentSection, 4);
    EXPECT_EQ(s.book.pages.currentPage(), 9);
}

// --- Pixels through the Qt surface

QApplication &application()
{
    static int argc = 1;
    static char name[] = "shelf_screen_test";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QApplication(argc, argv);
    return *qApp;
}

struct PixelScreen {
    QtSurface surface;
    ShelfView sc;
    explicit PixelScreen(int count, int mode = 1) : sc(count, mode)
    {
        application();
        sc.t.r.services.surface = &surface;
        remakeInterfaceFont(sc.t.r);
        remakeReadingFont(sc.t.r);
        applyWindowMode(sc.t.r);
        surface.resize(sc.s.window.clientWidth, sc.s.window.clientHeight);
        surface.fillRect(0, 0, sc.s.window.clientWidth, sc.s.window.clientHeight, sc.s.look.screenColour);
    }
    Colour at(int x, int y) const
    {
        const QRgb p = surface.image().pixel(x, y);
        return rgb(unsigned(qRed(p)), unsigned(qGreen(p)), unsigned(qBlue(p)));
    }
    bool inkIn(int left, int top, int right, int bottom) const
    {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (at(x, y) != sc.s.look.screenColour)
                    return true;
        return false;
    }
};

constexpr Colour kScreen = rgb(128, 128, 64);
constexpr Colour kInverted = rgb(127, 127, 191);

TEST(ShelfPixels, BarInvertedWithTheCurrentShelfInNormalColours)
{
    for (const int shelf : {0, 3}) {
        PixelScreen ps(3, 1);
        const ReaderState &s = ps.sc.s;
        ps.sc.s.shelf.currentShelf = std::int16_t(shelf);
        ps.sc.paint();
        const int mainX = s.layout.mainSlotX + 1;
        const int threeX = s.layout.digitRowLeft + s.layout.slotX[2] + 1;
        EXPECT_EQ(ps.at(1, 1), kInverted);
        EXPECT_EQ(ps.at(s.window.clientWidth - 2, s.layout.listTop - 3), kInverted) << "path bar";
        EXPECT_EQ(ps.at(s.window.clientWidth - 2, s.layout.topBarHeight), rgb(0, 0, 0)) << "line under the title";
        EXPECT_EQ(ps.at(mainX, 2), shelf == 0 ? kScreen : kInverted);
        EXPECT_EQ(ps.at(threeX, 2), shelf == 3 ? kScreen : kInverted);
        EXPECT_EQ(ps.at(s.layout.digitRowLeft + s.layout.slotX[5] + 1, 2), kInverted);
        // The middle bottom button is always inverted; the list is not.
        EXPECT_EQ(ps.at(s.layout.leftThird + 3, s.layout.bottomBarTop + 3), kInverted);
        EXPECT_EQ(ps.at(3, s.layout.bottomBarTop + 3), kScreen);
        EXPECT_EQ(ps.at(5 * s.layout.columnWidth + 5, s.layout.band2Top - 5), kScreen);
        // The selected first book's cell is inverted, the second one's is not.
        EXPECT_EQ(ps.at(15 * s.layout.columnWidth + 2, s.layout.band2Top - 3), kInverted);
        EXPECT_EQ(ps.at(14 * s.layout.columnWidth + 2, s.layout.band2Top - 3), kScreen);
        // Titles leave ink in their column.
        const int x = s.layout.columnInset + 14 * s.layout.columnWidth;
        EXPECT_TRUE(ps.inkIn(x, s.layout.listTop + 10, x + 16, s.layout.listTop + 26));
    }
}

TEST(ShelfPixels, LongTitleLeavesTheNextBandClean)
{
    PixelScreen ps(0, 1);
    ps.sc.setBooks(1, [](int) { return std::u16string(40, u'書'); });
    const ReaderState &s = ps.sc.s;
    ps.sc.paint();
    const int left = 15 * s.layout.columnWidth + 1;
    EXPECT_FALSE(ps.inkIn(left, s.layout.band2Top + 1, 16 * s.layout.columnWidth, s.layout.band2Top + 60));
}

} // namespace
