// Selecting on the reading screen, and what the menu does with a selection.
#include "paged_book.h"

#include "app/input_dispatch.h"
#include "app/selection_handlers.h"
#include "app/show_screen.h"
#include "screens/selection_popups.h"

#include <gtest/gtest.h>

using namespace pagora;

namespace {

struct FakeDesktop final : Desktop {
    std::u16string clipboard, primary, dictionaryWord;
    bool dictionary = false;
    void copyToClipboard(std::u16string_view text) override { clipboard = text; }
    void setPrimarySelection(std::u16string_view text) override { primary = text; }
    bool hasDictionary() override { return dictionary; }
    bool openDictionary(std::u16string_view word) override { return dictionaryWord = word, true; }
};

// The 360 x 400 panel: columns of 23 cells from x = 323 leftwards by 24,
// rows from y = 16 down by 16.
constexpr int cellX(int column)
{
    return 323 - 24 * column + 8;
}
constexpr int cellY(int row)
{
    return 16 + 16 * row + 8;
}

class SelectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setPagedPanel(t.r.state);
        ASSERT_TRUE(openPagedBook(t.r, dir, {3, 2}));
        showPosition(t.r, 1, 1);
        t.r.services.desktop = &desktop;
        t.surface.clear();
    }

    void drag(PointerButton button, bool shift, int x1, int y1, int x2, int y2)
    {
        ASSERT_TRUE(selectionPressed(t.r, x1, y1, button, shift));
        ASSERT_TRUE(selectionMoved(t.r, x2, y2));
        ASSERT_TRUE(selectionReleased(t.r, x2, y2, button));
    }

    const Selection &sel() const { return t.r.state.book.selection; }

    TempDir dir;
    TestReader t;
    FakeDesktop desktop;
};

TEST_F(SelectionTest, DragsSelectAndEveryWayOfLeavingClearsTheSelection)
{
    const std::int32_t start = t.r.state.book.pages.shownPageStart();
    struct Way {
        const char *name;
        void (*leave)(Reader &);
    };
    const Way ways[] = {
        {"left click",
         [](Reader &r) { EXPECT_FALSE(selectionPressed(r, cellX(5), cellY(5), PointerButton::Left, false)); }},
        {"Esc", [](Reader &r) { EXPECT_TRUE(selectionKey(r, SelectionKey::Escape)); }},
        {"page key", [](Reader &r) { onKeyReleased(r, Key::Left); }},
        {"menu screen", [](Reader &r) { showScreen(r, Screen::MenuScreen); }},
    };
    for (const Way &way : ways) {
        showPosition(t.r, 1, 1);
        t.surface.clear();
        // Right button or Shift with the left, from the first cell to the
        // third of the second column: 23 + 3 cells, each inverted once, as
        // one run per column.
        drag(way.leave == ways[0].leave ? PointerButton::Right : PointerButton::Left, true, cellX(0), cellY(0),
             cellX(1), cellY(2));
        EXPECT_EQ(sel().start, start) << way.name;
        EXPECT_EQ(sel().length, 26) << way.name;
        const auto runs = t.surface.callsOf("invert");
        ASSERT_EQ(runs.size(), 2u) << way.name;
        EXPECT_EQ(runs[0].c * runs[0].d + runs[1].c * runs[1].d, 26 * runs[0].c * runs[0].c) << way.name;
        EXPECT_EQ(desktop.primary, std::u16string(26, pageMark(1, 1))) << way.name;
        way.leave(t.r);
        EXPECT_TRUE(sel().isEmpty()) << way.name;
        EXPECT_EQ(desktop.primary, u"") << way.name << ": the primary selection is given up";
    }
}

TEST_F(SelectionTest, CopiesExactlyTheStoredText)
{
    // A page whose text has line ends and punctuation with vertical forms.
    t.r.state.book.setSectionText(u"「天地」\r\n玄黃");
    t.r.state.book.pages = PageTable({0, 0, 8}, 1), t.r.state.book.pages.show(1);
    drag(PointerButton::Right, false, cellX(0), cellY(0), cellX(1), cellY(0));
    EXPECT_TRUE(selectionKey(t.r, SelectionKey::Copy));
    EXPECT_EQ(desktop.clipboard, u"「天地」\r\n玄");
}

TEST_F(SelectionTest, RightClickOpensTheMenuAndItsEntriesAct)
{
    desktop.dictionary = true;
    const int x = cellX(2), y = cellY(4);
    ASSERT_TRUE(selectionPressed(t.r, x, y, PointerButton::Right, false));
    ASSERT_TRUE(selectionReleased(t.r, x, y, PointerButton::Right));
    ASSERT_FALSE(sel().isEmpty()) << "the word under the click";
    ASSERT_EQ(sel().popup, SelectionPopup::Menu);
    ASSERT_EQ(menuEntries(*t.r.services.desktop, t.r.state.book.selection).size(), 7u)
        << "copy, find, look up, dictionary, read aloud from here, mark, note";
    const int entryY = sel().popupTop + 12;
    const auto besideSelection = [&] {
        for (const PlacedCell &cell : pageCells(t.r.state, t.r.state.book.pages.shownPageStart()).cells) {
            if (sel().contains(cell.offset)) {
                EXPECT_TRUE(cell.x + 16 <= sel().popupLeft || cell.x >= sel().popupRight ||
                            cell.y + 17 <= sel().popupTop || cell.y >= sel().popupBottom);
            }
        }
    };
    besideSelection();

    // 查字: the card, beside the selection and not over it; a click outside closes it.
    ASSERT_TRUE(selectionPressed(t.r, sel().popupLeft + 10, entryY + 2 * 24, PointerButton::Left, false));
    ASSERT_EQ(sel().popup, SelectionPopup::Card);
    besideSelection();
    EXPECT_TRUE(selectionPressed(t.r, 1, 1, PointerButton::Left, false));
    EXPECT_EQ(sel().popup, SelectionPopup::None);
    EXPECT_FALSE(sel().isEmpty()) << "closing the card keeps the selection";

    // The Menu key, then 以字典查詢.
    ASSERT_TRUE(selectionKey(t.r, SelectionKey::Menu));
    ASSERT_TRUE(selectionPressed(t.r, sel().popupLeft + 10, sel().popupTop + 3 * 24 + 12, PointerButton::Left, false));
    EXPECT_EQ(desktop.dictionaryWord, std::u16string(std::size_t(sel().length), pageMark(1, 1)));

    // 尋找: the next place the text occurs, stepping past the selection itself.
    const Selection before = sel();
    ASSERT_TRUE(selectionKey(t.r, SelectionKey::Menu));
    ASSERT_TRUE(selectionPressed(t.r, sel().popupLeft + 10, sel().popupTop + 24 + 12, PointerButton::Left, false));
    EXPECT_EQ(t.searchBox.content, std::u16string(std::size_t(before.length), pageMark(1, 1)));
    EXPECT_TRUE(t.r.state.search.matchFound());
    EXPECT_EQ(t.r.state.search.matchOffset(), before.start + before.length);
    EXPECT_TRUE(sel().isEmpty()) << "the hit is shown instead";

    // 從這裡朗讀: from the selection's start; a tap stops it.
    ASSERT_TRUE(selectionPressed(t.r, x, y, PointerButton::Right, false));
    ASSERT_TRUE(selectionReleased(t.r, x, y, PointerButton::Right));
    const std::int32_t from = sel().start;
    ASSERT_TRUE(selectionPressed(t.r, sel().popupLeft + 10, sel().popupTop + 4 * 24 + 12, PointerButton::Left, false));
    ASSERT_EQ(t.speech.spoken.size(), 1u);
    EXPECT_EQ(t.speech.spoken[0].size(), std::size_t(kLongestUtterance)) << "a sentence with no end, cut";
    EXPECT_EQ(sel().start, from);
    EXPECT_TRUE(selectionPressed(t.r, 1, 1, PointerButton::Left, false));
    ASSERT_EQ(t.speech.stops, 1);
}

} // namespace
