#include "paged_book.h"
#include "panel_screens.h"

#include "app/show_screen.h"
#include "app/window_modes.h"
#include "render/primitives.h"
#include "screens/help_contents.h"
#include "state/interface_texts.h"
#include "text/codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

using namespace pagora;

namespace {

// ------------------------------------------------------------------- help

class HelpPaint : public ::testing::Test {
protected:
    void SetUp() override
    {
        startModeOne(t);
        showScreen(t.r, Screen::HelpScreen);
    }
    TestReader t;
};

TEST_F(HelpPaint, DiagramOfTheTouchRegions)
{
    // Frame (40, 60)-(296, 318); columns of 85 at x 125 and 210; outer
    // columns halved at y 189, the middle one in thirds at 146 and 232.
    const Rect lines[] = {{40, 60, 296, 60},    {296, 60, 296, 318},  {296, 318, 40, 318}, {40, 318, 40, 60},
                          {125, 60, 125, 318},  {210, 60, 210, 318},  {40, 189, 125, 189}, {210, 189, 296, 189},
                          {125, 146, 210, 146}, {125, 232, 210, 232}, {0, 394, 335, 394}};
    for (const Rect &line : lines)
        EXPECT_TRUE(drewLine(t.surface, line)) << std::get<0>(line) << "," << std::get<1>(line);
}

struct LabelCase {
    const char *name;
    std::u16string text;
    int x, y;
};

class HelpLabels : public HelpPaint, public ::testing::WithParamInterface<LabelCase> {};

TEST_P(HelpLabels, StandInTheirRegions)
{
    const LabelCase &c = GetParam();
    EXPECT_TRUE(drewVertical(t.surface, c.text, c.x, c.y));
}

INSTANTIATE_TEST_SUITE_P(
    ModeOne, HelpLabels,
    ::testing::Values(LabelCase{"ShowSection", u"顯示", 174, 87}, LabelCase{"SectionNumber", u"節數", 145, 87},
                      LabelCase{"Options", u"選項", 159, 173}, LabelCase{"ShowPage", u"顯示", 174, 259},
                      LabelCase{"PageNumber", u"頁數", 145, 259}, LabelCase{"NextSection", u"下一節", 74, 100},
                      LabelCase{"PreviousSection", u"上一節", 244, 100}, LabelCase{"NextPage", u"下一頁", 74, 229},
                      LabelCase{"PreviousPage", u"上一頁", 244, 229}),
    [](const ::testing::TestParamInfo<LabelCase> &info) { return std::string(info.param.name); });

TEST_F(HelpPaint, KeyLinesAndBackButton)
{
    EXPECT_EQ(textY(t.surface, u"全螢幕觸控："), 35);
    EXPECT_EQ(textY(t.surface, u"下一節：PgDn　上一節：PgUp"), 364 - 38);
    EXPECT_EQ(textY(t.surface, u"下一頁：←↓空白鍵　上一頁：→↑倒退鍵"), 364 - 16);
    EXPECT_EQ(textY(t.surface, u"亦可使用滑鼠滾輪，上下頁"), 364 + 6);
    EXPECT_TRUE(drewText(t.surface, u"返回", 152, 401));
    const auto inverts = invertsOf(t.surface);
    ASSERT_FALSE(inverts.empty());
    EXPECT_EQ(inverts.back(), Rect(113, 395, 111, 29)); // cut by the panel's edge
}

TEST_F(HelpPaint, TheKeysPageFitsTheSmallestWindow)
{
    EXPECT_TRUE(drewText(t.surface, u"下一頁", 4, 401));
    t.r.state.shelf.helpPage = 1;
    t.surface.clear();
    showScreen(t.r, Screen::HelpScreen);
    const ReaderState &s = t.r.state;
    int previousY = s.layout.topBarHeight;
    for (std::u16string_view line : texts::keysHelp) {
        const auto calls = t.surface.callsOf("text");
        const auto at = std::find_if(calls.begin(), calls.end(), [&](const auto &c) { return c.text == line; });
        ASSERT_NE(at, calls.end()) << utf16ToUtf8(line);
        EXPECT_LE(at->a + t.surface.textWidth(at->font, line), s.window.clientWidth - 4) << utf16ToUtf8(line);
        EXPECT_GT(at->b, previousY);
        previousY = at->b + 16;
    }
    EXPECT_LE(previousY, s.layout.bottomBarTop);
    EXPECT_TRUE(drewText(t.surface, u"上一頁", 336 - 48 - 4, 401));
    EXPECT_FALSE(drewText(t.surface, u"下一頁", 4, 401));
}

// --------------------------------------------------------------- contents

constexpr int kColumn = 21;

// x of the k-th title of the page (k = 0 is the rightmost column).
int titleX(int k)
{
    return 2 + (15 - k) * kColumn;
}

class ContentsPaint : public ::testing::Test {
protected:
    void open(int sections, int current, std::int32_t start = 0)
    {
        startModeOne(t);
        ASSERT_TRUE(openPagedBook(t.r, dir, std::vector<int>(std::size_t(sections), 1)));
        t.r.state.book.currentSection = std::int16_t(current);
        t.r.state.book.contentsStart = start;
        t.surface.clear();
        showScreen(t.r, Screen::ContentsScreen);
    }

    // The titles drawn, by the section number their last digit names.
    std::vector<int> titleDigits() const
    {
        std::vector<int> out;
        for (int k = 0; k < 16; ++k) {
            if (!drewText(t.surface, u"第", titleX(k), 32))
                break;
            for (int d = 0; d <= 9; ++d)
                if (drewText(t.surface, std::u16string(1, char16_t(u'0' + d)), titleX(k) + 4, 48))
                    out.push_back(d);
        }
        return out;
    }

    bool drewPaging(std::u16string_view label, int x) const { return drewText(t.surface, label, x, 401); }

    TempDir dir;
    TestReader t;
};

TEST_F(ContentsPaint, SixteenSectionsFitOnePage)
{
    open(16, 1);
    const ReaderState &s = t.r.state;
    EXPECT_EQ(s.book.contentsFirst, 1);
    EXPECT_EQ(s.book.contentsNextPage, 0);
    EXPECT_EQ(s.book.contentsPrevPage, 0);
    EXPECT_EQ(titleDigits(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2, 3, 4, 5, 6}));
    EXPECT_FALSE(drewPaging(u"下一頁", 4));
    EXPECT_FALSE(drewPaging(u"上一頁", 284));
    EXPECT_TRUE(drewText(t.surface, u"返回", 152, 401));
}

TEST_F(ContentsPaint, SeventeenSectionsTakeTwoPages)
{
    open(17, 1);
    ReaderState &s = t.r.state;
    EXPECT_EQ(titleDigits().size(), 16u);
    EXPECT_EQ(s.book.contentsNextPage, 17);
    EXPECT_TRUE(drewPaging(u"下一頁", 4));
    EXPECT_FALSE(drewPaging(u"上一頁", 284));

    t.surface.clear();
    s.book.contentsStart = 17;
    showScreen(t.r, Screen::ContentsScreen);
    EXPECT_EQ(s.book.contentsFirst, 17);
    EXPECT_EQ(titleDigits(), std::vector<int>{7});
    EXPECT_EQ(s.book.contentsNextPage, 0);
    EXPECT_EQ(s.book.contentsPrevPage, 1);
    EXPECT_FALSE(drewPaging(u"下一頁", 4));
    EXPECT_TRUE(drewPaging(u"上一頁", 284));
    // Section 1 is current but not on this page: nothing highlighted in the list.
    for (const auto &[x, y, w, h] : invertsOf(t.surface))
        EXPECT_NE(y, 27) << "highlight at x " << x;
}

TEST_F(ContentsPaint, OpensOnThePageOfTheCurrentSection)
{
    open(40, 20);
    const ReaderState &s = t.r.state;
    EXPECT_EQ(s.book.contentsFirst, 17);
    EXPECT_EQ(s.book.contentsNextPage, 33);
    EXPECT_EQ(s.book.contentsPrevPage, 1);
    EXPECT_EQ(titleDigits(), (std::vector<int>{7, 8, 9, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2}));
    const auto inverts = invertsOf(t.surface);
    EXPECT_EQ(std::count(inverts.begin(), inverts.end(), Rect((15 - 3) * kColumn + 1, 27, 20, 367)), 1);
}

TEST_F(ContentsPaint, RequestedPageOutsideTheBookFallsBackToTheCurrentOne)
{
    open(20, 18, 33); // left over from a longer book
    EXPECT_EQ(t.r.state.book.contentsFirst, 17);
    EXPECT_EQ(titleDigits(), (std::vector<int>{7, 8, 9, 0}));
}

TEST_F(ContentsPaint, DamagedHeaderWithFewerTitlesThanSections)
{
    startModeOne(t);
    ASSERT_TRUE(openPagedBook(t.r, dir, std::vector<int>(3, 1)));
    ReaderState &s = t.r.state;
    s.shelf.entries()[0].sectionCount = 30; // more sections than titles
    s.book.currentSection = 2;
    s.book.contentsStart = 0;
    t.surface.clear();
    showScreen(t.r, Screen::ContentsScreen);
    EXPECT_EQ(titleDigits(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(s.book.contentsNextPage, 17);
}

TEST_F(ContentsPaint, WithoutABookOnlyTheFrameIsDrawn)
{
    startModeOne(t);
    ReaderState &s = t.r.state;
    s.shelf.select(-1);
    s.book.contentsNextPage = 5;
    s.book.contentsPrevPage = 1;
    showScreen(t.r, Screen::ContentsScreen);
    EXPECT_EQ(s.book.sectionCount, 0);
    EXPECT_EQ(s.book.contentsNextPage, 0);
    EXPECT_EQ(s.book.contentsPrevPage, 0);
    EXPECT_TRUE(titleDigits().empty());
}

} // namespace
