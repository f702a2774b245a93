#include "screens/move_to_shelf.h"

#include "app/shelf_handlers.h"
#include "book/catalogue.h"
#include "book_on_shelf.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

using namespace pagora;

namespace {

// Window mode 1: 336 x 424, slotX 38, 54, ... 166 and leftMargin 4, so the
// slot row starts at ox = -18 and slot s at x = 20 + 16 (s - 1); the OK button
// starts at 9 x 21 = 189; the bottom bar at 394.
constexpr int kSlotLeft = 20;
constexpr int kOkLeft = 189;
constexpr int kBarTop = 394;

int slotX(int slot)
{
    return kSlotLeft + 16 * (slot - 1);
}

struct MovePanel : testing::Test {
    TestReader t;
    TempDir dir;
    ReaderState &s = t.r.state;

    std::string folder(int shelf) const { return shelfFolder(dir.path(), shelf); }

    // Shelf `shelf` holding the named books, on screen.
    void onShelf(int shelf, const std::vector<std::string> &books)
    {
        setPanel(s, 336, 424);
        s.folders.mainShelfPath = dir.path();
        s.shelf.currentShelf = std::int16_t(shelf);
        if (shelf != 0)
            t.r.services.files->makeDirectory(folder(shelf));
        for (const std::string &name : books)
            writeFile(folder(shelf) + name, bookBytes({u"甲乙", u"丙"}));
        scanFolder(t.r, folder(shelf));
        s.currentScreen = Screen::ShelfScreen;
    }
    void pointer(PointerPhase phase, int x, int y)
    {
        enterPhase(s.pointer, phase);
        moveToShelfPointer(t.r, x, y);
    }
    void click(int x, int y = kBarTop + 6)
    {
        pointer(PointerPhase::Press, x, y);
        pointer(PointerPhase::Release, x, y);
    }
    std::vector<std::pair<std::u16string, int>> labels() const
    {
        std::vector<std::pair<std::u16string, int>> out;
        for (const auto &call : t.surface.callsOf("text"))
            if (call.b == kBarTop)
                out.emplace_back(call.text, call.a);
        return out;
    }
    // Top-left corners of the inverted slot cells.
    std::vector<int> slotInverts() const
    {
        std::vector<int> out;
        for (const auto &call : t.surface.callsOf("invert"))
            if (call.b == kBarTop - 3 && call.c == 16 && call.d == 25)
                out.push_back(call.a);
        return out;
    }
};

} // namespace

TEST_F(MovePanel, OnTheMainShelfListsOneToNineAndPreselectsOne)
{
    onShelf(0, {"a.updb"});
    s.shelf.moveTarget = 0;
    showMoveToShelfPanel(t.r);
    EXPECT_EQ(s.currentScreen, Screen::MoveToShelfPanel);
    EXPECT_EQ(s.shelf.moveTarget, 1);
    EXPECT_EQ(s.shelf.moveSlot, 1);
    std::vector<std::pair<std::u16string, int>> expected;
    for (int d = 1; d <= 9; ++d)
        expected.emplace_back(std::u16string(1, char16_t(u'0' + d)), slotX(d) + 4);
    EXPECT_EQ(labels(), expected);
    EXPECT_EQ(slotInverts(), std::vector<int>{slotX(1)});

    // What the panel draws, after the shelf beneath it.
    const auto &calls = t.surface.calls;
    const auto panel = std::find_if(calls.begin(), calls.end(), [](const auto &c) { return c.op == "roundRect"; });
    std::vector<RecordingSurface::Call> texts;
    std::copy_if(panel, calls.end(), std::back_inserter(texts), [](const auto &c) { return c.op == "text"; });
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, u"將《測試書》移至書架：");
    EXPECT_EQ(std::pair(texts[0].a, texts[0].b), std::pair(10, 364 + 7));
    EXPECT_EQ(std::pair(texts[1].text, texts[1].a), std::pair(std::u16string(u"確定"), kOkLeft + 14));
    EXPECT_EQ(std::pair(texts[2].text, texts[2].a), std::pair(std::u16string(u"取消"), kOkLeft + 76));
    EXPECT_EQ(texts[1].b, kBarTop + 5);

    const auto boxes = t.surface.callsOf("roundRect");
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(std::vector<int>({boxes[0].a, boxes[0].b, boxes[0].c, boxes[0].d}), std::vector<int>({0, 364, 336, 424}));
    EXPECT_EQ(std::vector<int>({boxes[1].a, boxes[1].b, boxes[1].c, boxes[1].d}),
              std::vector<int>({kOkLeft, kBarTop, kOkLeft + 60, kBarTop + 26}));
    EXPECT_EQ(std::vector<int>({boxes[2].a, boxes[2].c}), std::vector<int>({kOkLeft + 62, kOkLeft + 122}));
    for (const auto &box : boxes)
        EXPECT_EQ(box.colour, rgb(127, 127, 191));
}

TEST_F(MovePanel, OnShelfThreeTheMainShelfComesFirstAndThreeIsLeftOut)
{
    onShelf(3, {"a.updb"});
    s.shelf.moveTarget = 0;
    showMoveToShelfPanel(t.r);
    const std::vector<std::pair<std::u16string, int>> expected = {
        {u"主", slotX(1) - 1}, {u"1", slotX(2) + 4}, {u"2", slotX(3) + 4}, {u"4", slotX(4) + 4}, {u"5", slotX(5) + 4},
        {u"6", slotX(6) + 4},  {u"7", slotX(7) + 4}, {u"8", slotX(8) + 4}, {u"9", slotX(9) + 4}};
    EXPECT_EQ(labels(), expected);
    EXPECT_EQ(s.shelf.moveSlot, 1);
}

struct TargetCase {
    const char *name;
    int shelf, moveTarget, slot;
};

class MoveTarget : public MovePanel, public testing::WithParamInterface<TargetCase> {};

TEST_P(MoveTarget, MapsToItsSlot)
{
    onShelf(GetParam().shelf, {"a.updb"});
    s.shelf.moveTarget = std::int16_t(GetParam().moveTarget);
    showMoveToShelfPanel(t.r);
    EXPECT_EQ(s.shelf.moveSlot, GetParam().slot);
    EXPECT_EQ(slotInverts(), std::vector<int>{slotX(GetParam().slot)});
}

INSTANTIATE_TEST_SUITE_P(Table, MoveTarget,
                         testing::Values(TargetCase{"MainToNine", 0, 9, 9}, TargetCase{"ThreeToMain", 3, 0, 1},
                                         TargetCase{"ThreeToTwo", 3, 2, 3}, TargetCase{"ThreeToFour", 3, 4, 4},
                                         TargetCase{"ThreeToNine", 3, 9, 9}, TargetCase{"NineToEight", 9, 8, 9},
                                         TargetCase{"OutOfRangeOnMain", 0, 12, 1},
                                         TargetCase{"NegativeOnShelfThree", 3, -1, 1}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(MovePanel, PressingASlotMovesTheHighlightOnly)
{
    onShelf(0, {"a.updb"});
    showMoveToShelfPanel(t.r);
    t.surface.clear();
    pointer(PointerPhase::Press, slotX(4) + 3, kBarTop + 6);
    EXPECT_EQ(s.shelf.moveSlot, 4);
    // Slot 1 and slot 4 painted again, slot 4 marked.
    EXPECT_EQ(slotInverts(), (std::vector<int>{slotX(4)}));
    // The last pixels of the row belong to slot 9; a release there does nothing.
    t.surface.clear();
    pointer(PointerPhase::Release, slotX(9) + 15, kBarTop + 6);
    EXPECT_EQ(s.shelf.moveSlot, 4);
    pointer(PointerPhase::Press, slotX(9) + 15, kBarTop + 6);
    EXPECT_EQ(s.shelf.moveSlot, 9);
    EXPECT_EQ(s.shelf.moveTarget, 1); // confirmed only by OK
    EXPECT_EQ(s.currentScreen, Screen::MoveToShelfPanel);
}

TEST_F(MovePanel, ClicksOutsideTheRowAndButtonsAreIgnored)
{
    onShelf(0, {"a.updb"});
    showMoveToShelfPanel(t.r);
    t.surface.clear();
    for (const auto &[x, y] : {std::pair{slotX(3), kBarTop - 4},
                               {slotX(3), kBarTop + 23},
                               {kOkLeft - 10, kBarTop + 6},
                               {kOkLeft + 1, kBarTop + 6},
                               {kOkLeft + 63, kBarTop + 6},
                               {kOkLeft + 125, kBarTop + 6}})
        click(x, y);
    EXPECT_TRUE(t.surface.calls.empty());
    EXPECT_EQ(s.shelf.moveSlot, 1);
    EXPECT_EQ(s.currentScreen, Screen::MoveToShelfPanel);
}

TEST_F(MovePanel, CancelReturnsToTheShelf)
{
    onShelf(0, {"a.updb"});
    showMoveToShelfPanel(t.r);
    t.surface.clear();
    pointer(PointerPhase::Press, kOkLeft + 90, kBarTop + 6);
    const auto inverted = t.surface.callsOf("invert");
    ASSERT_EQ(inverted.size(), 1u);
    EXPECT_EQ(std::vector<int>({inverted[0].a, inverted[0].b, inverted[0].c, inverted[0].d}),
              std::vector<int>({kOkLeft + 64, kBarTop + 2, 56, 30 - 8}));
    pointer(PointerPhase::Release, kOkLeft + 90, kBarTop + 6);
    EXPECT_EQ(s.currentScreen, Screen::ShelfScreen);
    EXPECT_TRUE(t.dialogs.questions.empty());
    EXPECT_EQ(t.r.services.files->list(dir.path()).size(), 1u);
}

struct MoveCase {
    const char *name;
    int shelf, slot, target;
};

class MoveBySlot : public MovePanel, public testing::WithParamInterface<MoveCase> {};

TEST_P(MoveBySlot, MovesTheBookToTheShelfOfTheSlot)
{
    const MoveCase &c = GetParam();
    onShelf(c.shelf, {"a.updb", "b.updb"});
    showMoveToShelfPanel(t.r);
    pointer(PointerPhase::Press, slotX(c.slot) + 8, kBarTop + 6);
    t.dialogs.yesNoAnswers = {true};
    click(kOkLeft + 30);
    EXPECT_EQ(s.shelf.moveTarget, c.target);
    EXPECT_TRUE(t.r.services.files->exists(folder(c.target) + "a.updb"));
    EXPECT_FALSE(t.r.services.files->exists(folder(c.shelf) + "a.updb"));
    EXPECT_EQ(s.currentScreen, Screen::ShelfScreen);
    EXPECT_EQ(s.shelf.bookCount(), 1);

    // Opening the panel again on this shelf preselects the same target.
    t.surface.clear();
    showMoveToShelfPanel(t.r);
    EXPECT_EQ(s.shelf.moveSlot, c.slot);
}

INSTANTIATE_TEST_SUITE_P(Table, MoveBySlot,
                         testing::Values(MoveCase{"FromMainToOne", 0, 1, 1}, MoveCase{"FromThreeFourthSlot", 3, 4, 4},
                                         MoveCase{"FromThreeFirstSlot", 3, 1, 0}, MoveCase{"FromThreeToFive", 3, 5, 5},
                                         MoveCase{"FromThreeToTwo", 3, 3, 2}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(MovePanel, AnsweringNoLeavesTwoCopiesAndThePanelUp)
{
    onShelf(0, {"a.updb"});
    showMoveToShelfPanel(t.r);
    t.dialogs.yesNoAnswers = {false};
    click(kOkLeft + 30);
    EXPECT_EQ(t.dialogs.questions.size(), 1u);
    EXPECT_EQ(readFile(folder(0) + "a.updb"), readFile(folder(1) + "a.updb"));
    EXPECT_EQ(s.shelf.bookCount(), 1);
    EXPECT_EQ(s.currentScreen, Screen::MoveToShelfPanel);
}

TEST_F(MovePanel, TheCopyCarriesTheMarksMadeBeforeTheMove)
{
    onShelf(0, {"a.updb"});
    ASSERT_TRUE(openEntry(t.r, 0));
    showPosition(t.r, 2, 1);
    addBookmark(s.bookmarks, s.book);
    s.currentScreen = Screen::ShelfScreen;
    showMoveToShelfPanel(t.r);
    t.dialogs.yesNoAnswers = {true};
    click(kOkLeft + 30);

    TestReader reader;
    setPanel(reader.r.state);
    scanFolder(reader.r, folder(1));
    ASSERT_TRUE(openEntry(reader.r, 0));
    EXPECT_EQ(reader.r.state.bookmarks.bookmarkPages()[2], std::vector<std::int16_t>{1});
    reader.r.state.book.bookFile.close();
}

TEST_F(MovePanel, EmptyShelfHasNoPanel)
{
    onShelf(0, {});
    showMoveToShelfPanel(t.r);
    EXPECT_EQ(s.currentScreen, Screen::ShelfScreen);
    EXPECT_TRUE(t.surface.calls.empty());
}

// --- The main shelf chooser

TEST_F(MovePanel, ChoosingTheSameFolderChangesNothing)
{
    onShelf(0, {"a.updb"});
    std::string same = dir.path();
    same.pop_back(); // the dialog gives folders without the separator
    for (const std::optional<std::string> &answer :
         {std::optional<std::string>(same), std::optional<std::string>(dir.path()), std::optional<std::string>()}) {
        t.dialogs.folderAnswers = {answer};
        s.shelf.entries()[0].lastSection = 2; // a rescan would put it back to 1
        chooseMainShelf(t.r);
        EXPECT_EQ(s.shelf.catalogue().size(), 1u);
        EXPECT_EQ(s.shelf.catalogue()[0].lastSection, 2);
        EXPECT_EQ(s.shelf.shelfPath, dir.path());
    }
    EXPECT_EQ(t.dialogs.folderCaptions, std::vector<std::u16string>(3, u"請選擇主書架："));
    EXPECT_EQ(t.dialogs.folderPresets, std::vector<std::string>(3, dir.path())) << "opens on the main shelf";
}

TEST_F(MovePanel, ChoosingAnotherFolderMakesItTheMainShelf)
{
    onShelf(2, {"a.updb"});
    ASSERT_TRUE(openEntry(t.r, 0));
    showPosition(t.r, 1, 1);
    addBookmark(s.bookmarks, s.book);
    const std::string other = dir.path() + "other";
    t.r.services.files->makeDirectory(other);
    writeFile(other + "/b.updb", bookBytes({u"甲"}, BookEncoding::UTF16LE, u"另一本"));
    t.dialogs.folderAnswers = {other};
    chooseMainShelf(t.r);
    EXPECT_EQ(s.folders.mainShelfPath, other + "/");
    EXPECT_EQ(s.shelf.shelfPath, other + "/");
    EXPECT_EQ(s.shelf.currentShelf, 0);
    EXPECT_EQ(s.currentScreen, Screen::ShelfScreen);
    ASSERT_EQ(s.shelf.bookCount(), 1);
    EXPECT_EQ(s.shelf.catalogue()[0].title, u"另一本");
    // The open book's marks went to its own file on the old shelf.
    TestReader reader;
    setPanel(reader.r.state);
    scanFolder(reader.r, folder(2));
    ASSERT_TRUE(openEntry(reader.r, 0));
    EXPECT_EQ(reader.r.state.bookmarks.bookmarkPages()[1], std::vector<std::int16_t>{1});
    reader.r.state.book.bookFile.close();
}
