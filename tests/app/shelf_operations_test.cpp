#include "test_reader.h"

#include "app/shelf_handlers.h"
#include "app/shelf_operations.h"
#include "app/window_modes.h"
#include "book/book_writer.h"
#include "book/catalogue.h"
#include "book/section_loader.h"
#include "render/layout_walk.h"
#include "render/primitives.h"
#include "screens/paint_dispatch.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <tuple>

using namespace pagora;

namespace {

// A section long enough for many pages in every window mode.
std::u16string longText(int characters)
{
    const std::u16string verse = u"天地玄黃宇宙洪荒日月盈昃辰宿列張寒來暑往秋收冬藏";
    std::u16string text;
    while (int(text.size()) < characters)
        text += verse;
    text.resize(std::size_t(characters));
    return text;
}

std::string bookBytes(const std::u16string &title, int sections = 3, int characters = 3000,
                      BookEncoding encoding = BookEncoding::UTF16LE)
{
    BookRecipe spec;
    spec.encoding = encoding;
    spec.title = title;
    for (int i = 1; i <= sections; ++i) {
        spec.sectionTitles.push_back(u"第" + std::u16string(1, char16_t(u'0' + i % 10)) + u"回");
        spec.sectionTexts.push_back(longText(characters + i));
    }
    std::string out;
    EXPECT_TRUE(writeBookBytes(spec, out));
    return out;
}

std::u16string titleOf(int i)
{
    return u"書" + std::u16string(1, char16_t(u'A' + i / 26)) + std::u16string(1, char16_t(u'a' + i % 26));
}

// Names that list in index order: b000.updb, b001.updb, ...
std::string nameOf(int i)
{
    std::string digits = std::to_string(i);
    return "b" + std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') + digits + ".updb";
}

// A reader in a window mode with a shelf of `count` books.
struct ShelfFolder {
    TempDir dir;
    TestReader t;
    ReaderState &s = t.r.state;

    explicit ShelfFolder(int count, int mode = 1)
    {
        for (int i = 0; i < count; ++i)
            writeFile(dir.file(nameOf(i)), bookBytes(titleOf(i)));
        remakeInterfaceFont(t.r);
        remakeReadingFont(t.r);
        s.window.windowModeCount = 10;
        s.window.windowMode = std::int16_t(mode);
        applyWindowMode(t.r);
        s.folders.mainShelfPath = dir.path();
        s.shelf.shelfPath = dir.path();
        rebuildCatalogue(*t.r.services.files, t.r.state.shelf, t.r.state.book, t.r.state.bookmarks, t.r.state.menu,
                         t.r.state.search);
    }
    bool exists(int i) const { return std::filesystem::exists(dir.file(nameOf(i))); }
};

struct PageCase {
    int mode;
    int selected;
    int expectedStart;
};

class ShelfPage : public testing::TestWithParam<PageCase> {};

TEST_P(ShelfPage, StartsOnThePageOfTheSelection)
{
    ReaderState s;
    s.window.windowMode = std::int16_t(GetParam().mode);
    for (int i = 0; i <= GetParam().selected; ++i)
        s.shelf.addEntry(BookEntry{});
    s.shelf.select(std::int16_t(GetParam().selected));
    s.shelf.shelfPageStart = 999;
    placeShelfPageOnSelection(s.shelf, s.window.windowMode);
    EXPECT_EQ(s.shelf.shelfPageStart, GetParam().expectedStart);
}

INSTANTIATE_TEST_SUITE_P(Modes, ShelfPage,
                         testing::Values(PageCase{1, -1, 0}, PageCase{1, 31, 0}, PageCase{1, 32, 32},
                                         PageCase{2, 50, 32}, PageCase{1, 64, 64}, PageCase{3, 47, 0},
                                         PageCase{3, 48, 48}, PageCase{3, 50, 48}, PageCase{9, 40, 0},
                                         PageCase{3, -1, 0}));

struct DeleteCase {
    const char *name;
    int mode;
    int count;
    int selected;
    int expectedSelected; // -1 when the shelf is then empty
    int expectedFormer;   // index before the deletion of the book then selected
    int expectedStart;
};

class DeleteBook : public testing::TestWithParam<DeleteCase> {};

TEST_P(DeleteBook, AfterYesSelectsTheFollowingOrThePreviousBook)
{
    const DeleteCase &c = GetParam();
    ShelfFolder shelf(c.count, c.mode);
    ReaderState &s = shelf.s;
    s.shelf.select(std::int16_t(c.selected));
    s.shelf.cameFromMenu = EnteredFrom::Menu;
    shelf.t.dialogs.yesNoAnswers = {true};

    deleteSelectedBook(shelf.t.r);

    ASSERT_EQ(shelf.t.dialogs.questions.size(), 1u);
    EXPECT_EQ(shelf.t.dialogs.questions[0], u"刪除《" + titleOf(c.selected) + u"》？");
    EXPECT_FALSE(shelf.exists(c.selected));
    EXPECT_EQ(s.shelf.bookCount(), c.count - 1);
    EXPECT_EQ(s.shelf.catalogue().size(), std::size_t(c.count - 1));
    EXPECT_EQ(s.shelf.selectedBook(), c.expectedSelected);
    if (c.expectedSelected >= 0) {
        ASSERT_NE(s.shelf.selectedEntry(), nullptr);
        EXPECT_EQ(s.shelf.selectedEntry()->fileName, nameOf(c.expectedFormer));
    } else {
        EXPECT_EQ(s.shelf.selectedEntry(), nullptr);
    }
    EXPECT_EQ(s.shelf.shelfPageStart, c.expectedStart);
    EXPECT_EQ(s.shelf.openBook(), -1);
    EXPECT_EQ(s.shelf.cameFromMenu, EnteredFrom::Shelf);
    EXPECT_EQ(s.currentScreen, Screen::ShelfScreen);
}

INSTANTIATE_TEST_SUITE_P(
    Selections, DeleteBook,
    testing::Values(DeleteCase{"MiddleOfEight", 1, 8, 5, 5, 6, 0}, DeleteCase{"LastOfEight", 1, 8, 7, 6, 6, 0},
                    DeleteCase{"OnlyBook", 1, 1, 0, -1, -1, 0}, DeleteCase{"FirstOfTwo", 1, 2, 0, 0, 1, 0},
                    DeleteCase{"Mode3At50", 3, 52, 50, 50, 51, 48}, DeleteCase{"Mode1At50", 1, 52, 50, 50, 51, 32},
                    DeleteCase{"LastOfThirtyThree", 1, 33, 32, 31, 31, 0}),
    [](const testing::TestParamInfo<DeleteCase> &info) { return std::string(info.param.name); });

TEST(DeleteBook, NoKeepsEverything)
{
    ShelfFolder shelf(3);
    shelf.s.shelf.select(1);
    shelf.t.dialogs.yesNoAnswers = {false};
    deleteSelectedBook(shelf.t.r);
    EXPECT_EQ(shelf.t.dialogs.questions.size(), 1u);
    EXPECT_TRUE(shelf.exists(1));
    EXPECT_EQ(shelf.s.shelf.bookCount(), 3);
    EXPECT_EQ(shelf.s.shelf.selectedBook(), 1);
}

TEST(DeleteBook, NothingSelectedAsksNothing)
{
    ShelfFolder shelf(2);
    shelf.s.shelf.select(-1);
    shelf.t.dialogs.yesNoAnswers = {true};
    deleteSelectedBook(shelf.t.r);
    EXPECT_TRUE(shelf.t.dialogs.questions.empty());
    EXPECT_EQ(shelf.s.shelf.bookCount(), 2);
}

TEST(DeleteBook, FailedDeletionChangesNothing)
{
    ShelfFolder shelf(3);
    shelf.s.shelf.select(1);
    std::filesystem::remove(shelf.dir.file(nameOf(1)));
    shelf.t.dialogs.yesNoAnswers = {true};
    shelf.s.currentScreen = Screen::MenuScreen;
    deleteSelectedBook(shelf.t.r);
    EXPECT_EQ(shelf.s.shelf.bookCount(), 3);
    EXPECT_EQ(shelf.s.shelf.selectedBook(), 1);
    EXPECT_EQ(shelf.s.currentScreen, Screen::MenuScreen);
    EXPECT_TRUE(shelf.t.dialogs.messages.empty());
}

TEST(DeleteBook, CaptionStaysAfterDeletingTheOpenBook)
{
    ShelfFolder shelf(2);
    ReaderState &s = shelf.s;
    s.shelf.select(1);
    s.shelf.entries()[1].lastSection = 2;
    s.shelf.entries()[1].lastPage = 2;
    openSelectedBook(shelf.t.r);
    ASSERT_EQ(s.shelf.openBook(), 1);
    const std::u16string caption = shelf.t.window.caption;
    shelf.t.dialogs.yesNoAnswers = {true};
    deleteSelectedBook(shelf.t.r);
    EXPECT_FALSE(s.book.bookFile.isOpen());
    EXPECT_EQ(s.shelf.openBook(), -1);
    EXPECT_EQ(shelf.t.window.caption, caption);
}

struct OpenCase {
    const char *name;
    int lastSection;
    int lastPage; // 0: the last page of the section
    Screen screen;
    bool pastLastPage; // lastPage lies beyond the section's pages
};

class OpenBook : public testing::TestWithParam<OpenCase> {};

TEST_P(OpenBook, ShowsTheRememberedPlace)
{
    const OpenCase &c = GetParam();
    ShelfFolder shelf(2);
    ReaderState &s = shelf.s;
    s.shelf.select(1);
    BookEntry &entry = s.shelf.entries()[1];
    entry.lastSection = std::int16_t(c.lastSection);
    entry.lastPage = std::int16_t(c.pastLastPage ? 30000 : c.lastPage);

    openSelectedBook(shelf.t.r);

    EXPECT_EQ(s.currentScreen, c.screen);
    EXPECT_EQ(shelf.t.window.caption, titleOf(1) + u" - Pagora 1.8");
    EXPECT_EQ(s.book.sectionCount, 3);
    EXPECT_EQ(s.book.contentsList.size(), 3u);
    EXPECT_TRUE(s.book.bookFile.isOpen());
    EXPECT_EQ(s.book.currentSection, c.lastSection);
    if (c.screen == Screen::ContentsScreen) {
        EXPECT_EQ(s.shelf.openBook(), -1) << "the contents screen leaves the book to be opened again";
        EXPECT_EQ(s.shelf.cameFromMenu, EnteredFrom::Shelf);
        EXPECT_EQ(s.book.contentsStart, 0);
        return;
    }
    EXPECT_EQ(s.shelf.openBook(), 1);
    // Laid out as far as the page shown, the rest when needed.
    EXPECT_EQ(s.book.pages.isComplete(), c.pastLastPage);
    finishLayout(s.book);
    ASSERT_GT(s.book.pages.pageCount(), 3);
    EXPECT_EQ(s.book.pages.currentPage(), c.pastLastPage ? s.book.pages.pageCount() : c.lastPage);
    EXPECT_EQ(s.book.pages.shownPageStart(), s.book.pages.start(std::size_t(s.book.pages.currentPage())));
    EXPECT_GT(s.book.textLength(), 0);
}

INSTANTIATE_TEST_SUITE_P(Places, OpenBook,
                         testing::Values(OpenCase{"VeryBeginning", 1, 1, Screen::ContentsScreen, false},
                                         OpenCase{"FirstSectionLaterPage", 1, 2, Screen::ReadingScreen, false},
                                         OpenCase{"LaterSectionFirstPage", 2, 1, Screen::ReadingScreen, false},
                                         OpenCase{"SectionThreePageThree", 3, 3, Screen::ReadingScreen, false},
                                         OpenCase{"PageNoLongerThere", 3, 0, Screen::ReadingScreen, true}),
                         [](const testing::TestParamInfo<OpenCase> &info) { return std::string(info.param.name); });

TEST(OpenBook, AlreadyOpenBookIsShownWithoutReadingTheFile)
{
    ShelfFolder shelf(2);
    ReaderState &s = shelf.s;
    s.shelf.entries()[0].lastSection = 2;
    s.shelf.entries()[0].lastPage = 3;
    openSelectedBook(shelf.t.r);
    ASSERT_EQ(s.shelf.openBook(), 0);
    s.book.pages.turnTo(2);
    // Removing the file proves nothing is read again.
    std::filesystem::remove(shelf.dir.file(nameOf(0)));
    s.currentScreen = Screen::ShelfScreen;
    openSelectedBook(shelf.t.r);
    EXPECT_EQ(s.currentScreen, Screen::ReadingScreen);
    EXPECT_EQ(s.book.pages.currentPage(), 2);
    EXPECT_EQ(s.book.pages.shownPageStart(), s.book.pages.start(2));
}

// The file behind an entry may vanish or be replaced between the scan and the open.
struct ChangeCase {
    const char *name;
    std::function<void(const std::string &path)> change;
    bool opens;
};

class ChangedBook : public testing::TestWithParam<ChangeCase> {};

TEST_P(ChangedBook, OnlyTheBookOfTheScanOpens)
{
    ShelfFolder shelf(2);
    ReaderState &s = shelf.s;
    // Book 0 is open (its menu may still be shown) when book 1 is chosen.
    s.shelf.entries()[0].lastSection = 2;
    s.shelf.entries()[0].lastPage = 2;
    openSelectedBook(shelf.t.r);
    ASSERT_EQ(s.shelf.openBook(), 0);
    s.currentScreen = Screen::ShelfScreen;
    s.shelf.select(1);
    s.shelf.entries()[1].lastSection = 2;
    s.shelf.entries()[1].lastPage = 2;
    s.search.rememberHit(1, 0);
    // What a refused open must leave as it was, the book open until then included.
    const auto kept = [](const ReaderState &x) {
        return std::tuple(x.currentScreen, x.shelf.openBook(), x.book.bookFile.isOpen(), x.shelf.bookCount(),
                          x.shelf.catalogue().size(), x.shelf.selectedBook(), x.book.currentSection,
                          x.book.pages.currentPage(), x.book.sectionCount, x.book.bookFile.recordCount(),
                          x.book.bookFile.recordOffset(3), x.book.bookFile.bookEncoding(), x.book.bookFile.fileSize(),
                          x.book.textLength(), x.search.matchFound());
    };
    const auto before = kept(s);
    const std::u16string caption = shelf.t.window.caption;
    GetParam().change(shelf.dir.file(nameOf(1)));

    openSelectedBook(shelf.t.r);

    if (GetParam().opens) {
        EXPECT_EQ(s.currentScreen, Screen::ReadingScreen);
        EXPECT_EQ(s.shelf.openBook(), 1);
        EXPECT_EQ(s.search.matchFound(), 0) << "a hit found in another book";
        return;
    }
    EXPECT_EQ(kept(s), before);
    EXPECT_EQ(shelf.t.window.caption, caption);
    // The open book still reads, and the rest of the shelf still opens.
    s.book.currentSection = 3;
    EXPECT_TRUE(loadSectionText(s.book, 3));
    s.shelf.select(0);
    s.shelf.setOpenBook(-1);
    openSelectedBook(shelf.t.r);
    EXPECT_EQ(s.currentScreen, Screen::ReadingScreen);
    EXPECT_EQ(s.shelf.openBook(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ChangedBook,
    testing::Values(
        ChangeCase{"Removed", [](const std::string &p) { std::filesystem::remove(p); }, false},
        ChangeCase{"ReplacedByJunk", [](const std::string &p) { writeFile(p, std::string(500, 'j')); }, false},
        ChangeCase{"FewerSections", [](const std::string &p) { writeFile(p, bookBytes(titleOf(1), 1)); }, false},
        ChangeCase{"OtherTitle", [](const std::string &p) { writeFile(p, bookBytes(u"別的書")); }, false},
        ChangeCase{"OtherEncoding",
                   [](const std::string &p) { writeFile(p, bookBytes(titleOf(1), 3, 3000, BookEncoding::CP950)); },
                   false},
        ChangeCase{"ReplacedByAFolder",
                   [](const std::string &p) {
                       std::filesystem::remove(p);
                       std::filesystem::create_directory(p);
                   },
                   false},
        ChangeCase{"RewrittenUnchanged", [](const std::string &p) { writeFile(p, bookBytes(titleOf(1))); }, true}),
    [](const testing::TestParamInfo<ChangeCase> &info) { return std::string(info.param.name); });

struct ReopenCase {
    const char *name;
    std::string savedFile;
    int savedSection;
    int savedPage; // -1: beyond the section
    bool opens;
    int expectedSection;
    int expectedPage; // -1: the section's last page
};

class ReopenLastBook : public testing::TestWithParam<ReopenCase> {};

TEST_P(ReopenLastBook, OpensTheSavedPlaceOrFallsBackToTheShelf)
{
    const ReopenCase &c = GetParam();
    ShelfFolder shelf(40, 1);
    ReaderState &s = shelf.s;
    s.saved.reopenSavedBook = true;
    s.saved.savedBookFile = c.savedFile;
    s.saved.savedSection = std::int16_t(c.savedSection);
    s.saved.savedPage = std::int16_t(c.savedPage < 0 ? 30000 : c.savedPage);
    s.look.setColours(2, 5);

    reopenLastBook(shelf.t.r);
    EXPECT_FALSE(s.saved.reopenSavedBook);

    if (!c.opens) {
        EXPECT_EQ(s.currentScreen, Screen::ShelfScreen);
        EXPECT_EQ(s.shelf.openBook(), -1);
        EXPECT_EQ(shelf.t.window.caption, u"Pagora 1.8");
        EXPECT_EQ(s.shelf.selectedBook(), -1);
        return;
    }
    EXPECT_EQ(s.currentScreen, Screen::ReadingScreen);
    EXPECT_EQ(s.shelf.selectedBook(), 33);
    EXPECT_EQ(s.shelf.openBook(), 33);
    EXPECT_EQ(s.shelf.shelfPageStart, 32);
    EXPECT_EQ(s.book.currentSection, c.expectedSection);
    const int page = c.expectedPage < 0 ? s.book.pages.pageCount() : c.expectedPage;
    EXPECT_EQ(s.book.pages.currentPage(), page);
    EXPECT_EQ(s.shelf.catalogue()[33].lastSection, c.expectedSection);
    EXPECT_EQ(s.shelf.catalogue()[33].lastPage, page);
    EXPECT_EQ(s.book.pages.shownPageStart(), s.book.pages.start(std::size_t(page)));
    EXPECT_EQ(panelBackground(s), computeReadingColour(2, 5));
    EXPECT_EQ(shelf.t.window.caption, titleOf(33) + u" - Pagora 1.8");
}

INSTANTIATE_TEST_SUITE_P(Saved, ReopenLastBook,
                         testing::Values(ReopenCase{"SectionAndPage", "b033.updb", 2, 3, true, 2, 3},
                                         ReopenCase{"PageZeroIsPageOne", "b033.updb", 3, 0, true, 3, 1},
                                         ReopenCase{"PageBeyondTheSection", "b033.updb", 1, -1, true, 1, -1},
                                         ReopenCase{"SectionZeroIsSectionOne", "b033.updb", 0, 2, true, 1, 2},
                                         ReopenCase{"SectionBeyondTheBook", "b033.updb", 9, 2, true, 1, 2},
                                         ReopenCase{"MissingBook", "gone.updb", 2, 3, false, 0, 0},
                                         ReopenCase{"CaseDifferentName", "B033.updb", 2, 3, false, 0, 0},
                                         ReopenCase{"PartOfAName", "b033", 2, 3, false, 0, 0}),
                         [](const testing::TestParamInfo<ReopenCase> &info) { return std::string(info.param.name); });

// A book that vanished after the scan, or no book asked for: the shelf stays.
TEST(ReopenLastBookFile, StaysOnTheShelf)
{
    for (const bool asked : {true, false}) {
        ShelfFolder shelf(3);
        ReaderState &s = shelf.s;
        s.saved.reopenSavedBook = asked;
        s.saved.savedBookFile = nameOf(2);
        s.saved.savedSection = 1;
        s.saved.savedPage = 2;
        if (asked)
            std::filesystem::remove(shelf.dir.file(nameOf(2)));
        reopenLastBook(shelf.t.r);
        EXPECT_EQ(s.currentScreen, Screen::ShelfScreen) << asked;
        EXPECT_EQ(s.shelf.openBook(), -1) << asked;
        EXPECT_FALSE(s.book.bookFile.isOpen()) << asked;
        EXPECT_EQ(shelf.t.window.caption, u"Pagora 1.8") << asked;
        EXPECT_EQ(s.shelf.selectedBook(), asked ? 2 : 0) << asked;
    }
}

TEST(MoveBook, CopiesToANewNumberedShelfAndAsksToDeleteTheSource)
{
    for (const bool yes : {false, true}) {
        ShelfFolder shelf(3);
        ReaderState &s = shelf.s;
        s.shelf.select(1);
        s.shelf.moveTarget = 9;
        shelf.t.dialogs.yesNoAnswers = {yes};
        moveSelectedBook(shelf.t.r);
        const std::string target = shelf.dir.file("9/" + nameOf(1));
        ASSERT_TRUE(std::filesystem::exists(target));
        EXPECT_EQ(readFile(target), bookBytes(titleOf(1)));
        EXPECT_EQ(shelf.t.dialogs.questions.size(), 1u);
        EXPECT_EQ(shelf.exists(1), !yes);
        EXPECT_EQ(s.shelf.bookCount(), yes ? 2 : 3);
    }
}

// A file of the same name on the target shelf: an identical copy is replaced
// silently, another book only after a Yes.
struct SameNameCase {
    const char *name;
    bool identical;
    std::deque<bool> answers;
    bool replaced;
};

class MoveOntoSameName : public testing::TestWithParam<SameNameCase> {};

TEST_P(MoveOntoSameName, ReplacesOnlyWhatTheUserAgreesTo)
{
    const SameNameCase &c = GetParam();
    ShelfFolder shelf(0);
    ReaderState &s = shelf.s;
    std::filesystem::create_directory(shelf.dir.file("2"));
    writeFile(shelf.dir.file("2/a.updb"), bookBytes(u"新版"));
    const std::string old = bookBytes(c.identical ? u"新版" : u"舊版");
    writeFile(shelf.dir.file("a.updb"), old);
    s.shelf.currentShelf = 2;
    s.shelf.shelfPath = shelfFolder(s.folders.mainShelfPath, 2);
    switchShelf(shelf.t.r);
    s.shelf.moveTarget = 0;
    shelf.t.dialogs.yesNoAnswers = c.answers;
    moveSelectedBook(shelf.t.r);
    const auto &questions = shelf.t.dialogs.questions;
    ASSERT_EQ(questions.size(), c.answers.size());
    if (!c.identical) {
        EXPECT_EQ(questions[0], u"書架上已有同名的另一本書，以《新版》取代？");
    }
    EXPECT_EQ(questions.back() == u"刪除《新版》？", c.replaced);
    EXPECT_EQ(readFile(shelf.dir.file("a.updb")), c.replaced ? bookBytes(u"新版") : old);
    EXPECT_NE(std::filesystem::exists(shelf.dir.file("2/a.updb")), c.replaced);
    EXPECT_EQ(s.shelf.bookCount(), c.replaced ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Answers, MoveOntoSameName,
                         testing::Values(SameNameCase{"IdenticalCopy", true, {true}, true},
                                         SameNameCase{"OtherBookYes", false, {true, true}, true},
                                         SameNameCase{"OtherBookNo", false, {false}, false}),
                         [](const testing::TestParamInfo<SameNameCase> &info) { return std::string(info.param.name); });

TEST(MoveBook, FailedCopyChangesNothing)
{
    ShelfFolder shelf(2);
    ReaderState &s = shelf.s;
    s.shelf.select(0);
    s.shelf.moveTarget = 4;
    // A file where the shelf folder should be: the folder cannot be made.
    writeFile(shelf.dir.file("4"), "not a folder");
    moveSelectedBook(shelf.t.r);
    EXPECT_TRUE(shelf.t.dialogs.questions.empty());
    EXPECT_EQ(s.shelf.bookCount(), 2);
    EXPECT_TRUE(shelf.exists(0));
}

TEST(MoveBook, OntoItsOwnShelfNeverLosesTheBook)
{
    ShelfFolder shelf(2);
    ReaderState &s = shelf.s;
    s.shelf.select(0);
    s.shelf.moveTarget = 0;
    shelf.t.dialogs.yesNoAnswers = {true};
    moveSelectedBook(shelf.t.r);
    EXPECT_TRUE(shelf.exists(0));
    EXPECT_EQ(s.shelf.bookCount(), 2);
}

} // namespace
