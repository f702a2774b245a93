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

struct ViewCase {
    const char *name;
    void (*show)(Reader &);
    std::u16string_view screenName;
    std::vector<std::u16string_view> labels; // among the list's and the buttons'
    int textPage;                            // page of section 1 whose text is shown; 0 none
    std::u16string_view tap;                 // a label tapped, then where that leads
    Screen after;
    int afterPage;
};

const ViewCase kViewCases[] = {
    {"Shelf", [](Reader &r) { showScreen(r, Screen::ShelfScreen); }, u"書架",
     {u"翻頁測試", u"操作說明", u"選主架", u"刪除", u"移至", u"關閉", u"開始", u"主書架", u"書架9"}, 0, u"操作說明",
     Screen::HelpScreen, 0},
    {"ShelfBook", [](Reader &r) { showScreen(r, Screen::ShelfScreen); }, u"書架", {}, 0, u"翻頁測試",
     Screen::ReadingScreen, 1},
    {"PageOne", [](Reader &r) { showPosition(r, 1, 1); }, u"翻頁測試",
     {u"下一頁", u"上一頁", u"下一節", u"上一節", u"選項", u"顯示頁數", u"顯示節數"}, 1, u"下一頁",
     Screen::ReadingScreen, 2},
    {"PageTwoBack", [](Reader &r) { showPosition(r, 1, 2); }, u"翻頁測試", {}, 2, u"上一頁", Screen::ReadingScreen, 1},
    {"Options", [](Reader &r) { showPosition(r, 1, 2); }, u"翻頁測試", {}, 2, u"選項", Screen::MenuScreen, 0},
    {"Menu", [](Reader &r) { showScreen(r, Screen::MenuScreen); }, u"選項",
     {u"尋找", u"書籤", u"返回", u"目錄", u"書架", u"附註", u"標點直", u"標點橫", u"字色黑", u"避頭尾", u"背景9",
      u"字體1", u"螢幕1"},
     0, u"目錄", Screen::ContentsScreen, 0},
    {"MenuBack", [](Reader &r) { showScreen(r, Screen::MenuScreen); }, u"選項", {}, 0, u"返回",
     Screen::ReadingScreen, 1},
    {"MenuSearch",
     [](Reader &r) {
         r.s.menu.searchMode = true;
         showScreen(r, Screen::MenuScreen);
     },
     u"選項", {u"取消尋找", u"找下一個", u"找上一個"}, 0, u"附註", Screen::NotesScreen, 0},
    {"Contents", [](Reader &r) { showScreen(r, Screen::ContentsScreen); }, u"目錄", {u"第1節", u"第2節", u"返回"}, 0,
     u"第2節", Screen::ReadingScreen, 1},
    {"Help", [](Reader &r) { showScreen(r, Screen::HelpScreen); }, u"操作說明", {u"下一頁", u"返回"}, 0, u"返回",
     Screen::ShelfScreen, 0},
    {"Notes", [](Reader &r) { showScreen(r, Screen::NotesScreen); }, u"附註", {u"匯出", u"返回"}, 0, u"返回",
     Screen::MenuScreen, 0},
    {"MoveToShelf",
     [](Reader &r) {
         showScreen(r, Screen::ShelfScreen);
         showMoveToShelfPanel(r);
     },
     u"移至", {u"書架1", u"書架9", u"確定", u"取消"}, 0, u"取消", Screen::ShelfScreen, 0},
};

class ShownView : public ::testing::TestWithParam<ViewCase> {
protected:
    void SetUp() override
    {
        startModeOne(t);
        setPagedPanel(t.r.s);
        ASSERT_TRUE(openPagedBook(t.r, dir, {3, 2}));
        t.r.s.shelf.setOpenBook(0);
        showPosition(t.r, 1, 1);
    }

    TempDir dir;
    TestReader t;
};

TEST_P(ShownView, NamesTextAndButtonsAsATapFindsThem)
{
    const ViewCase &c = GetParam();
    c.show(t.r);
    const ShownScreen v = shownScreen(t.r.s);
    EXPECT_EQ(v.name, c.screenName);
    std::vector<ShownItem> items = v.list;
    items.insert(items.end(), v.buttons.begin(), v.buttons.end());
    for (std::size_t k = 0; k < c.labels.size(); ++k) {
        const auto has = [&](const ShownItem &i) { return i.label == c.labels[k]; };
        EXPECT_TRUE(std::any_of(items.begin(), items.end(), has)) << "label " << k << " missing";
    }

    const ShownText text = shownText(t.r.s);
    if (c.textPage > 0) {
        // The page in reading order, a column of 23 characters a line.
        EXPECT_EQ(text.text, std::u16string(std::size_t(kCellsPerPage), pageMark(1, c.textPage)));
        EXPECT_EQ(text.lineStarts.size(), 13u);
        EXPECT_EQ(text.lineStarts.at(1), 23);
    } else if (v.hasText) {
        EXPECT_FALSE(text.text.empty());
    }

    const auto tapped =
        std::find_if(items.begin(), items.end(), [&](const ShownItem &i) { return i.label == c.tap; });
    ASSERT_NE(tapped, items.end());
    tapItem(t.r, *tapped);
    EXPECT_EQ(t.r.s.currentScreen, c.after);
    if (c.afterPage > 0) {
        EXPECT_EQ(shownText(t.r.s).text.front(), pageMark(t.r.s.book.currentSection, c.afterPage));
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, ShownView, ::testing::ValuesIn(kViewCases),
                         [](const auto &info) { return std::string(info.param.name); });

// The selection is told in offsets from the page's first character.
TEST_F(ShownView, SelectionIsCountedFromThePage)
{
    showPosition(t.r, 1, 2);
    t.r.s.book.selection.start = t.r.s.book.pages.shownPageStart() + 3;
    t.r.s.book.selection.length = 2;
    const ShownText text = shownText(t.r.s);
    EXPECT_EQ(text.selectionStart, 3);
    EXPECT_EQ(text.selectionEnd, 5);
    EXPECT_EQ(text.start, t.r.s.book.pages.shownPageStart());
}

} // namespace
