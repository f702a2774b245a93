// Marks and notes made from the selection's menu and listed on the notes
// screen, against the real notes database in a temporary folder.
#include "paged_book.h"
#include "panel_screens.h"

#include "app/input_dispatch.h"
#include "app/notes_handlers.h"
#include "app/passage_mark_commands.h"
#include "app/selection_handlers.h"
#include "app/show_screen.h"
#include "notes/notes_database.h"
#include "notes/notes_export.h"
#include "screens/notes_screen.h"
#include "screens/selection_popups.h"
#include "text/codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace pagora;

namespace {

// The 360 x 400 panel: columns of 23 cells from x = 323 leftwards by 24.
constexpr int cellX(int column)
{
    return 323 - 24 * column + 8;
}
constexpr int cellY(int row)
{
    return 16 + 16 * row + 8;
}

struct Marks : ::testing::Test {
    TempDir dir;
    TestReader t;
    NotesDatabase db{dir.file("notes.sqlite")};
    ReaderState &s = t.r.state;

    void SetUp() override
    {
        setPagedPanel(s);
        s.layout.columnWidth = 360 / 16;
        t.r.services.notes = &db;
        ASSERT_TRUE(openPagedBook(t.r, dir, {3, 2}));
        s.shelf.setOpenBook(0);
        showPosition(t.r, 1, 2);
    }
    std::vector<StoredMark> stored() { return *db.marks(openBookKey(t.r)); }
    // A right click at a cell, then the menu's entry.
    void choose(int column, int row, MenuEntry entry)
    {
        ASSERT_TRUE(selectionPressed(t.r, cellX(column), cellY(row), PointerButton::Right, false));
        ASSERT_TRUE(selectionReleased(t.r, cellX(column), cellY(row), PointerButton::Right));
        const auto entries = menuEntries(*t.r.services.desktop, t.r.state.book.selection);
        const auto at = std::find(entries.begin(), entries.end(), entry);
        ASSERT_NE(at, entries.end()) << int(entry);
        const Selection &sel = s.book.selection;
        selectionPressed(t.r, sel.popupLeft + 10, sel.popupTop + 24 * int(at - entries.begin()) + 12,
                         PointerButton::Left, false);
    }
    void swatch(int colour)
    {
        const Selection &sel = s.book.selection;
        ASSERT_EQ(sel.popup, SelectionPopup::Swatches);
        ASSERT_TRUE(selectionPressed(t.r, sel.popupLeft + 6 + (colour - 1) * 30 + 12, sel.popupTop + 18,
                                     PointerButton::Left, false));
    }
};

// One passage through its life; what the database holds after each step.
TEST_F(Marks, APassageIsMarkedNotedRecolouredAndRemovedFromTheMenu)
{
    const std::int32_t page = s.book.pages.shownPageStart();
    struct Step {
        const char *name;
        std::function<void()> act;
        int colour; // 0: no mark stored
        std::u16string note;
    };
    const std::vector<Step> steps = {
        {"mark in colour 3", [&] { choose(1, 4, MenuEntry::Mark), swatch(3); }, 3, u""},
        {"editor cancelled", [&] { t.dialogs.noteAnswers.push_back(std::nullopt), choose(1, 4, MenuEntry::EditNote); },
         3, u""},
        {"note written", [&] { t.dialogs.noteAnswers.push_back(u"讀到此處"), choose(1, 4, MenuEntry::EditNote); }, 3,
         u"讀到此處"},
        {"colour changed, note kept", [&] { choose(1, 4, MenuEntry::Recolour), swatch(2); }, 2, u"讀到此處"},
        {"removal refused", [&] { choose(1, 4, MenuEntry::Unmark); }, 2, u"讀到此處"},
        {"removal confirmed", [&] { t.dialogs.yesNoAnswers.push_back(true), choose(1, 4, MenuEntry::Unmark); }, 0, u""},
    };
    for (const Step &step : steps) {
        step.act();
        const auto marks = stored();
        ASSERT_EQ(marks.size(), step.colour ? 1u : 0u) << step.name;
        if (step.colour) {
            EXPECT_EQ(marks[0].colour, step.colour) << step.name;
            EXPECT_EQ(marks[0].note, utf16ToUtf8(step.note)) << step.name;
            EXPECT_TRUE(marks[0].anchor.start <= page + 27 &&
                        marks[0].anchor.start + marks[0].anchor.length > page + 27)
                << step.name << ": the word under the click";
        }
        EXPECT_EQ(s.book.shownMarks.marks.size(), marks.size()) << step.name;
        EXPECT_TRUE(s.book.selection.isEmpty() || s.book.selection.popup == SelectionPopup::None) << step.name;
    }
    EXPECT_EQ(t.dialogs.notePresets, (std::vector<std::u16string>{u"", u""}));
    EXPECT_EQ(t.dialogs.questions.size(), 2u) << "a mark with a note is removed only when the reader says so";
}

TEST_F(Marks, ANoteMarksTheSelectionInTheLastColour)
{
    choose(2, 0, MenuEntry::Mark);
    swatch(4);
    t.dialogs.noteAnswers.push_back(u"第二條\n兩行");
    choose(3, 0, MenuEntry::Note);
    t.dialogs.noteAnswers.push_back(std::nullopt);
    choose(4, 0, MenuEntry::Note);
    const auto marks = stored();
    ASSERT_EQ(marks.size(), 2u) << "a cancelled editor marks nothing";
    EXPECT_EQ(marks[1].colour, 4);
    EXPECT_EQ(marks[1].note, "第二條\n兩行");
    EXPECT_TRUE(s.book.shownMarks.marks[1].hasNote);
}

// The notes screen lists in book order with the passages not found last; a
// tap shows the passage's page with it selected; export writes the Markdown.
TEST_F(Marks, TheNotesScreenListsGoesToAndExportsTheMarks)
{
    const BookKey key = openBookKey(t.r);
    const std::int32_t late = 2 * kCellsPerPage + 7;
    std::vector<std::u16string> texts(2);
    texts[0] = s.book.sectionText();
    Anchor gone{2, 4, 3, u"不存在", u"", u""};
    ASSERT_TRUE(db.addMark(key, gone, 1, "原文已改"));
    ASSERT_TRUE(db.addMark(key, Anchor{1, late, 5, texts[0].substr(std::size_t(late), 5), u"", u""}, 2, ""));
    ASSERT_TRUE(db.addMark(key, Anchor{1, 3, 2, texts[0].substr(3, 2), u"", u""}, 3, "頭"));
    showScreen(t.r, Screen::MenuScreen);
    openNotesScreen(t.r);
    ASSERT_EQ(s.currentScreen, Screen::NotesScreen);
    const auto &entries = s.book.notes.entries;
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].start, 3);
    EXPECT_EQ(entries[1].start, late);
    EXPECT_TRUE(entries[2].detached);
    EXPECT_TRUE(drewText(t.surface, u"第", 15 * s.layout.columnWidth, s.layout.topBarHeight + 6))
        << "the first column is headed by its section's title";

    const auto tap = [&](int index) {
        const int x = (15 - index) * s.layout.columnWidth + 2;
        onPointerPressed(t.r, x, 100, true);
        onPointerReleased(t.r, x, 100, true);
    };
    tap(1);
    EXPECT_EQ(s.currentScreen, Screen::ReadingScreen);
    EXPECT_EQ(s.book.pages.currentPage(), 3);
    EXPECT_EQ(s.book.selection.start, late);
    EXPECT_EQ(s.book.selection.length, 5);
    openNotesScreen(t.r);
    tap(2);
    EXPECT_EQ(s.currentScreen, Screen::NotesScreen);
    ASSERT_EQ(t.dialogs.messages.size(), 1u);
    EXPECT_NE(t.dialogs.messages[0].find(u"原文已改"), std::u16string::npos);

    exportNotes(t.r); // cancelled
    t.dialogs.saveAnswers.push_back(dir.file("notes.md"));
    exportNotes(t.r);
    EXPECT_EQ(readFile(dir.file("notes.md")), notesMarkdown(key.title, s.book.contentsList, stored()));
    EXPECT_EQ(readFile(dir.file("notes.md")).rfind("# 翻頁測試\n", 0), 0u);
    EXPECT_EQ(t.dialogs.savePresets.back(), "翻頁測試.md") << "a bare name: the documents folder";
    EXPECT_EQ(t.dialogs.messages.back(), u"附註已匯出到：\n" + utf8ToUtf16(dir.file("notes.md")));
}

} // namespace
