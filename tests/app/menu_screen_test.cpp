#include "gui_app.h"
#include "paged_book.h"
#include "panel_screens.h"

#include "app/show_screen.h"
#include "app/window_modes.h"
#include "book/bookmark_store.h"
#include "qt/qt_surface.h"
#include "render/primitives.h"
#include "screens/menu_screen.h"
#include "screens/paint_dispatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

using namespace pagora;

namespace {

// Window mode 1 of a large screen: 336 x 424 (see the metrics in the handler
// tests), with a book open at the given place.
class MenuPaint : public ::testing::Test {
protected:
    void open(const std::vector<int> &pageCounts, int section, int page, int screenHeight = 1024)
    {
        ReaderState &s = t.r.state;
        s.look.fontName = "新細明體";
        startModeOne(t, screenHeight);
        ASSERT_TRUE(openPagedBook(t.r, dir, pageCounts));
        s.shelf.setOpenBook(0);
        showPosition(t.r, section, page);
        t.surface.clear();
    }

    void paint()
    {
        t.surface.clear();
        showScreen(t.r, Screen::MenuScreen);
    }

    TempDir dir;
    TestReader t;
};

TEST_F(MenuPaint, NormalModeInvertsMarkersDefaultAndChosenCellsInOrder)
{
    open({2, 3, 2}, 2, 1);
    ReaderState &s = t.r.state;
    s.look.setColours(s.look.textScheme(), 2);
    s.look.setColours(1, s.look.backgroundChoice());
    s.look.setSizeStep(1);
    paint();
    const int pages = s.book.pages.pageCount();
    const int pageX = pages == 1 ? 0 : (pages - 1) * 336 / pages + 1;
    const std::vector<Rect> tail = {
        {pageX, 254, std::min(336 / pages, 336 - pageX), 80}, // page 1 marker, cut by the panel's edge
        {113, 27, 112, 114},                                  // section 2 of 3, below the title bar
        {114, 142, 109, 111},                                 // "返回", the default, as a press inverts it
        {184, 365, 16, 30},                                   // background 2
        {38, 365, 16, 30},                                    // "黑"
        {168, 395, 16, 29},                                   // size step 1, cut by the panel's edge
        {168, 335, 16, 29},                                   // window mode 1
        {38, 395, 68, 29},                                    // the face-name button
    };
    const auto all = invertsOf(t.surface);
    ASSERT_GE(all.size(), tail.size());
    EXPECT_EQ(std::vector<Rect>(all.end() - std::ptrdiff_t(tail.size()), all.end()), tail);
    EXPECT_EQ(std::count(all.begin(), all.end(), Rect(0, 142, 113, 111)), 0) << "no mode box without a mode";
}

struct TextCase {
    const char *name;
    std::u16string text;
    int x, y;
    bool vertical;
};

class MenuTexts : public MenuPaint, public ::testing::WithParamInterface<TextCase> {};

TEST_P(MenuTexts, StandWhereTheRegionsAre)
{
    const TextCase &c = GetParam();
    open({2, 3, 2}, 2, 1);
    paint();
    if (c.vertical)
        EXPECT_TRUE(drewVertical(t.surface, c.text, c.x, c.y));
    else
        EXPECT_TRUE(drewText(t.surface, c.text, c.x, c.y));
}

INSTANTIATE_TEST_SUITE_P(
    ModeOne, MenuTexts,
    ::testing::Values(TextCase{"Search", u"尋找", 21, 181, true}, TextCase{"Bookmark", u"書籤", 77, 181, true},
                      TextCase{"Back", u"返回", 160, 181, true}, TextCase{"Contents", u"目錄", 244, 181, true},
                      TextCase{"Shelf", u"書架", 300, 181, true}, TextCase{"ScreenLabel", u"螢幕", 130, 341, false},
                      TextCase{"FirstWindowDigit", u"1", 172, 341, false},
                      TextCase{"LastWindowDigit", u"9", 300, 341, false},
                      TextCase{"TextColourLabel", u"字色", 4, 371, false},
                      TextCase{"BackgroundLabel", u"背景", 130, 371, false}, TextCase{"Black", u"黑", 38, 371, false},
                      TextCase{"White", u"白", 54, 371, false}, TextCase{"NinthBackground", u"9", 300, 371, false},
                      TextCase{"FontLabel", u"字型", 4, 401, false}, TextCase{"FaceName", u"新細明體", 38, 401, false},
                      TextCase{"SizeLabel", u"字體", 130, 401, false}, TextCase{"FirstSize", u"1", 172, 401, false}),
    [](const ::testing::TestParamInfo<TextCase> &info) { return std::string(info.param.name); });

TEST_F(MenuPaint, LinesSeparateBandsAndCells)
{
    open({2, 3, 2}, 2, 1);
    paint();
    const std::vector<Rect> lines = {
        {56, 141, 56, 253}, {279, 141, 279, 253}, {0, 26, 336, 26},     {0, 364, 336, 364},   {0, 394, 335, 394},
        {0, 141, 336, 141}, {0, 253, 336, 253},   {113, 141, 113, 253}, {223, 141, 223, 253}, {0, 334, 335, 334}};
    for (const auto &[x1, y1, x2, y2] : lines)
        EXPECT_TRUE(drewLine(t.surface, x1, y1, x2, y2)) << x1 << "," << y1 << " - " << x2 << "," << y2;
}

struct ModeCase {
    const char *name;
    int search, bookmark;
    std::u16string modeName;
};

class MenuModes : public MenuPaint, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(MenuModes, MergeCellsOneAndTwoIntoACancelBox)
{
    const ModeCase &c = GetParam();
    open({2, 3, 2}, 2, 1);
    ReaderState &s = t.r.state;
    s.menu.searchMode = std::int16_t(c.search);
    s.menu.bookmarkMode = std::int16_t(c.bookmark);
    paint();
    const auto all = invertsOf(t.surface);
    EXPECT_EQ(std::count(all.begin(), all.end(), Rect(0, 142, 113, 111)), 1);
    EXPECT_FALSE(drewLine(t.surface, 56, 141, 56, 253));
    EXPECT_TRUE(drewVertical(t.surface, c.modeName, 25, 181));
    EXPECT_TRUE(drewVertical(t.surface, u"取消", 73, 181));
    // The sliders give way to the mode's controls.
    EXPECT_EQ(std::count(all.begin(), all.end(), Rect(113, 27, 112, 114)), 0);
    EXPECT_TRUE(drewVertical(t.surface, u"返回", 160, 181));
}

INSTANTIATE_TEST_SUITE_P(Modes, MenuModes,
                         ::testing::Values(ModeCase{"Search", 1, 0, u"尋找"}, ModeCase{"Bookmark", 0, 1, u"書籤"}),
                         [](const ::testing::TestParamInfo<ModeCase> &info) { return std::string(info.param.name); });

TEST_F(MenuPaint, PaintingTheMenuClearsTheReadingMarks)
{
    open({2}, 1, 1);
    ReaderState &s = t.r.state;
    s.menu.showPageNumber = s.menu.showSectionNumber = 1;
    s.menu.showMatch = 1;
    paint();
    EXPECT_EQ(s.menu.showPageNumber, 0);
    EXPECT_EQ(s.menu.showSectionNumber, 0);
    EXPECT_EQ(s.menu.showMatch, 0);
}

struct WindowRowCase {
    const char *name;
    int screenHeight;
    int windowMode; // 0: keep the mode applied at start
    int digits;
    bool marked;
};

class MenuWindowRow : public MenuPaint, public ::testing::WithParamInterface<WindowRowCase> {};

TEST_P(MenuWindowRow, OffersOneDigitFewerThanTheModes)
{
    const WindowRowCase &c = GetParam();
    open({2}, 1, 1, c.screenHeight);
    ReaderState &s = t.r.state;
    if (c.windowMode)
        s.window.windowMode = std::int16_t(c.windowMode);
    paint();
    const int y = s.layout.thirdRowTop + s.layout.barTextInset;
    for (int d = 1; d <= 9; ++d)
        EXPECT_EQ(drewText(t.surface, std::u16string(1, char16_t(u'0' + d)),
                           s.layout.digitRowLeft + s.layout.slotX[d - 1] + 4, y),
                  d <= c.digits)
            << "digit " << d;
    int cells = 0;
    for (const auto &[x, top, w, h] : invertsOf(t.surface))
        if (top == s.layout.thirdRowTop + 1 && w == 16 && x >= s.layout.digitRowLeft) {
            ++cells;
            EXPECT_LE(x, s.layout.digitRowLeft + s.layout.slotX[std::size_t(c.digits - 1)]);
        }
    EXPECT_EQ(cells, c.marked ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Screens, MenuWindowRow,
                         ::testing::Values(WindowRowCase{"TenModes", 1024, 0, 9, true},
                                           WindowRowCase{"MaximizedWithCaption", 1024, 10, 9, false},
                                           WindowRowCase{"FourModes", 480, 0, 3, true},
                                           WindowRowCase{"FourModesMaximized", 480, 4, 3, false}),
                         [](const ::testing::TestParamInfo<WindowRowCase> &info) {
                             return std::string(info.param.name);
                         });

TEST_F(MenuPaint, PunctuationChoiceStandsLeftOfTheWindowRowMarked)
{
    open({2}, 1, 1);
    for (const int forms : {1, 0}) {
        t.r.state.look.verticalForms = std::int16_t(forms);
        paint();
        EXPECT_TRUE(drewText(t.surface, u"標點", 4, 341) && drewText(t.surface, u"直", 38, 341) &&
                    drewText(t.surface, u"橫", 54, 341));
        const auto all = invertsOf(t.surface);
        EXPECT_EQ(std::count(all.begin(), all.end(), Rect(forms ? 38 : 54, 335, 16, 29)), 1) << forms;
        EXPECT_EQ(std::count(all.begin(), all.end(), Rect(forms ? 54 : 38, 335, 16, 29)), 0) << forms;
    }
}

TEST_F(MenuPaint, BookmarkButtonFollowsTheBookmarksOfTheShownPage)
{
    open({3, 3}, 2, 2);
    loadBookmarks(*t.r.services.files, t.r.state.bookmarks, t.r.state.shelf, t.r.state.book);
    ReaderState &s = t.r.state;
    s.menu.bookmarkMode = 1;
    s.bookmarks.pageHasBookmark = 1; // stale: the page has no bookmark
    paint();
    EXPECT_EQ(s.bookmarks.pageHasBookmark, 0);
    addBookmark(s.bookmarks, s.book);
    s.bookmarks.pageHasBookmark = 0;
    paint();
    EXPECT_EQ(s.bookmarks.pageHasBookmark, 1);
    s.book.pages.turnTo(1);
    paint();
    EXPECT_EQ(s.bookmarks.pageHasBookmark, 0);
}

TEST(FontNameButton, WidthCountsDoubleByteCharactersTwice)
{
    const std::pair<const char *, int> rows[] = {
        {"新細明體", 68}, {"Arial", 36},           {"", 4},         {"A", 4},
        {"標楷體", 52},   {"AR PL UMing TW", 116}, {"MS 明朝", 52}, {"Noto Serif CJK TC", 132},
    };
    for (const auto &[name, width] : rows)
        EXPECT_EQ(fontNameButtonWidth(name), width) << name;
}

// ----------------------------------------------------------------- pixels

struct PixelCase {
    const char *name;
    int bookmarkMode;
    int x, y;
    bool inverted;
};

class MenuPixels : public ::testing::TestWithParam<PixelCase> {};

TEST_P(MenuPixels, EmphasisIsInversionOfTheScreenColour)
{
    const PixelCase &c = GetParam();
    ensureGuiApp();
    TempDir dir;
    QtSurface surface;
    FakeWindowHost window;
    Reader r;
    r.services.surface = &surface;
    r.services.window = &window;
    r.services.files = &systemFiles();
    ReaderState &s = r.state;
    window.screenW = 1280;
    window.screenH = 1024;
    s.window.windowMode = 1;
    offerWindowModes(r);
    remakeInterfaceFont(r);
    remakeReadingFont(r);
    applyWindowMode(r);
    surface.resize(s.window.clientWidth, s.window.clientHeight, 1.0);
    ASSERT_TRUE(openPagedBook(r, dir, {2, 2}));
    showPosition(r, 1, 1);
    s.menu.bookmarkMode = std::int16_t(c.bookmarkMode);
    showScreen(r, Screen::MenuScreen);
    surface.finishPainting();
    const QColor expected = c.inverted ? QColor(127, 127, 191) : QColor(128, 128, 64);
    EXPECT_EQ(surface.image().pixelColor(c.x, c.y), expected);
}

INSTANTIATE_TEST_SUITE_P(ModeOne, MenuPixels,
                         ::testing::Values(PixelCase{"BackIsTheDefault", 0, 118, 146, true},
                                           PixelCase{"ContentsIsNot", 0, 228, 146, false},
                                           PixelCase{"SearchCellWithoutMode", 0, 5, 146, false},
                                           PixelCase{"CancelBoxInBookmarkMode", 1, 5, 146, true},
                                           PixelCase{"BookmarkCellInBookmarkMode", 1, 60, 146, true},
                                           PixelCase{"ChosenBackground", 0, 185, 366, true},
                                           PixelCase{"OtherBackground", 0, 201, 366, false},
                                           PixelCase{"ChosenWindowMode", 0, 169, 336, true}),
                         [](const ::testing::TestParamInfo<PixelCase> &info) { return std::string(info.param.name); });

} // namespace
