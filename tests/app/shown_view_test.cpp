#include "paged_book.h"
#include "panel_screens.h"

#include "app/shelf_handlers.h"
#include "app/show_screen.h"
#include "app/shown_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace pagora;

namespace {

// A screen shown (the reading screen and the menu from page `page` of
// section 1), what it is called and offers, and where a tap on one of its
// labels leads.
struct ViewCase {
    const char *name;
    Screen screen;
    int page;
    std::u16string_view screenName;
    std::u16string_view labels; // among the list's and the buttons', '|' between
    std::u16string_view tap;
    Screen after;
    int afterPage; // the page then shown; 0 not looked at
    bool searchMode = false;
};

const ViewCase kViewCases[] = {
    {"Shelf", Screen::ShelfScreen, 1, u"書架", u"翻頁測試|操作說明|選主架|刪除|移至|關閉|開始|主書架|書架9",
     u"操作說明", Screen::HelpScreen, 0},
    {"ShelfBook", Screen::ShelfScreen, 1, u"書架", u"", u"翻頁測試", Screen::ReadingScreen, 1},
    {"PageOne", Screen::ReadingScreen, 1, u"翻頁測試", u"下一頁|上一頁|下一節|上一節|選項|顯示頁數|顯示節數", u"下一頁",
     Screen::ReadingScreen, 2},
    {"PageTwoBack", Screen::ReadingScreen, 2, u"翻頁測試", u"", u"上一頁", Screen::ReadingScreen, 1},
    {"Options", Screen::ReadingScreen, 2, u"翻頁測試", u"", u"選項", Screen::MenuScreen, 0},
    {"Menu", Screen::MenuScreen, 1, u"選項",
     u"尋找|書籤|返回|目錄|書架|附註|標點直|標點橫|字色黑|避頭尾|背景9|字體1|螢幕1", u"目錄", Screen::ContentsScreen,
     0},
    {"MenuBack", Screen::MenuScreen, 2, u"選項", u"", u"返回", Screen::ReadingScreen, 2},
    {"MenuSearch", Screen::MenuScreen, 1, u"選項", u"取消尋找|找下一個|找上一個", u"附註", Screen::NotesScreen, 0,
     true},
    {"Contents", Screen::ContentsScreen, 1, u"目錄", u"第1節|第2節|返回", u"第2節", Screen::ReadingScreen, 1},
    {"Help", Screen::HelpScreen, 1, u"操作說明", u"下一頁|返回", u"返回", Screen::ShelfScreen, 0},
    {"Notes", Screen::NotesScreen, 1, u"附註", u"匯出|返回", u"返回", Screen::MenuScreen, 0},
    {"MoveToShelf", Screen::MoveToShelfPanel, 1, u"移至", u"書架1|書架9|確定|取消", u"取消", Screen::ShelfScreen, 0},
};

class ShownView : public ::testing::TestWithParam<ViewCase> {
protected:
    void SetUp() override
    {
        startModeOne(t);
        setPagedPanel(t.r.state);
        ASSERT_TRUE(openPagedBook(t.r, dir, {3, 2}));
        t.r.state.shelf.setOpenBook(0);
        showPosition(t.r, 1, 1);
    }

    TempDir dir;
    TestReader t;
};

TEST_P(ShownView, NamesTextAndButtonsAsATapFindsThem)
{
    const ViewCase &c = GetParam();
    showPosition(t.r, 1, c.page);
    t.r.state.menu.searchMode = c.searchMode;
    if (c.screen == Screen::MoveToShelfPanel) {
        showScreen(t.r, Screen::ShelfScreen);
        showMoveToShelfPanel(t.r);
    } else if (c.screen != Screen::ReadingScreen) {
        showScreen(t.r, c.screen);
    }
    const ShownScreen v = shownScreen(t.r.state);
    EXPECT_EQ(v.name, c.screenName);
    std::vector<ShownItem> items = v.list;
    items.insert(items.end(), v.buttons.begin(), v.buttons.end());
    for (std::size_t from = 0; from < c.labels.size();) {
        const std::size_t to = std::min(c.labels.find(u'|', from), c.labels.size());
        const std::u16string_view label = c.labels.substr(from, to - from);
        const auto has = [&](const ShownItem &i) { return i.label == label; };
        EXPECT_TRUE(std::any_of(items.begin(), items.end(), has)) << "label at " << from << " missing";
        from = to + 1;
    }

    const ShownText text = shownText(t.r.state);
    if (c.screen == Screen::ReadingScreen) {
        // The page in reading order, a column of 23 characters a line.
        EXPECT_EQ(text.text, std::u16string(std::size_t(kCellsPerPage), pageMark(1, c.page)));
        EXPECT_EQ(text.lineStarts.size(), 13u);
        EXPECT_EQ(text.lineStarts.at(1), 23);
    } else if (v.hasText) {
        EXPECT_FALSE(text.text.empty());
    }

    const auto tapped = std::find_if(items.begin(), items.end(), [&](const ShownItem &i) { return i.label == c.tap; });
    ASSERT_NE(tapped, items.end());
    tapItem(t.r, *tapped);
    EXPECT_EQ(t.r.state.currentScreen, c.after);
    if (c.afterPage > 0) {
        EXPECT_EQ(shownText(t.r.state).text.front(), pageMark(t.r.state.book.currentSection, c.afterPage));
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, ShownView, ::testing::ValuesIn(kViewCases),
                         [](const auto &info) { return std::string(info.param.name); });

// The selection is told in offsets from the page's first character.
TEST_F(ShownView, SelectionIsCountedFromThePage)
{
    showPosition(t.r, 1, 2);
    t.r.state.book.selection.start = t.r.state.book.pages.shownPageStart() + 3;
    t.r.state.book.selection.length = 2;
    const ShownText text = shownText(t.r.state);
    EXPECT_EQ(text.selectionStart, 3);
    EXPECT_EQ(text.selectionEnd, 5);
    EXPECT_EQ(text.start, t.r.state.book.pages.shownPageStart());
}

} // namespace
