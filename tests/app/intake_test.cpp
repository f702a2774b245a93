#include "fake_importer.h"
#include "gui_app.h"
#include "test_reader.h"

#include "app/intake.h"
#include "app/window_modes.h"
#include "book/book_intake.h"
#include "book/book_writer.h"
#include "book/catalogue.h"
#include "qt/qt_importer.h"
#include "render/primitives.h"
#include "state/interface_texts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

using namespace pagora;

namespace {

namespace fs = std::filesystem;

std::string bookBytes(const std::u16string &title, const std::u16string &text = u"第一回\r\n天地玄黃")
{
    BookRecipe spec;
    spec.title = title;
    spec.sectionTitles = {u"第一回"};
    spec.sectionTexts = {text};
    std::string out;
    EXPECT_TRUE(writeBookBytes(spec, out));
    return out;
}

// A main shelf holding a.updb and b.updb, and a folder of files to bring in.
// outside/a.updb has the text of a.updb; an imported text that of b.updb.
struct Library {
    TempDir dir;
    TestReader t;
    FakeImporter importer;
    ReaderState &s = t.r.state;
    std::string shelf = dir.file("shelf/");
    std::string outside = dir.file("outside/");

    Library()
    {
        fs::create_directories(shelf);
        fs::create_directories(outside);
        writeFile(shelf + "a.updb", bookBytes(u"甲"));
        writeFile(shelf + "b.updb", bookBytes(u"乙", u"第一章\r\n天地玄黃"));
        writeFile(outside + "a.updb", bookBytes(u"另一本甲"));
        writeFile(outside + "bad.pdb", std::string(100, 'x'));
        for (const char *name : {"novel.txt", "simple.txt", "broken.txt", "stop.txt", "folder/one.txt", "folder/two",
                                 "folder/.hidden.txt", "folder/sub/three.txt"}) {
            fs::create_directories(fs::path(outside + name).parent_path());
            writeFile(outside + name, "天地玄黃\n");
        }
        writeFile(outside + "photo.jpg", std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 20));
        writeFile(outside + "folder/pic.jpg", readFile(outside + "photo.jpg"));
        t.r.services.importer = &importer;
        importer.simplified = {outside + "simple.txt"};
        importer.failures = {{outside + "broken.txt", "not a text file"}};
        importer.cancels = {outside + "stop.txt"};
        remakeInterfaceFont(t.r);
        remakeReadingFont(t.r);
        s.window.windowModeCount = 10;
        s.window.windowMode = 1;
        applyWindowMode(t.r);
        s.folders.mainShelfPath = s.shelf.shelfPath = shelf;
        rebuildCatalogue(*t.r.services.files, t.r.state.shelf, t.r.state.book, t.r.state.bookmarks, t.r.state.menu,
                         t.r.state.search);
    }
    // "shelf:NAME" is a file on the shelf, anything else one outside.
    std::vector<std::string> paths(const std::vector<std::string> &names) const
    {
        std::vector<std::string> out;
        for (const std::string &n : names)
            out.push_back(n.starts_with("shelf:") ? shelf + n.substr(6) : outside + n);
        return out;
    }
    std::string selected() { return s.shelf.selectedEntry() ? s.shelf.selectedEntry()->fileName : std::string(); }
    std::vector<std::string> shelfFiles() const
    {
        std::vector<std::string> names;
        for (const auto &e : fs::directory_iterator(shelf))
            if (e.is_regular_file())
                names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

struct DropCase {
    const char *name;
    std::vector<std::string> dropped;
    std::vector<bool> answers;
    std::vector<std::string> expectedFiles; // the whole shelf afterwards
    std::string expectedSelected;
    int expectedMessages;
    std::vector<bool> expectedConversions;      // one per import started
    bool expectedOpen = false;                  // the book chosen is opened
    std::deque<int> choices = {};               // answers to the conversion question
    std::vector<Dialogs::Answer> eitherOr = {}; // the same-text question's answers
};

class Drop : public testing::TestWithParam<DropCase> {};

TEST_P(Drop, BringsFilesOntoTheCurrentShelf)
{
    const DropCase &c = GetParam();
    Library lib;
    const std::string before = readFile(lib.shelf + "a.updb");
    lib.t.dialogs.yesNoAnswers.assign(c.answers.begin(), c.answers.end());
    lib.t.dialogs.choiceAnswers = c.choices;
    lib.t.dialogs.eitherOrAnswers.assign(c.eitherOr.begin(), c.eitherOr.end());
    dropFiles(lib.t.r, lib.paths(c.dropped));

    EXPECT_EQ(lib.shelfFiles(), c.expectedFiles);
    EXPECT_EQ(readFile(lib.shelf + "a.updb"), before) << "a book on the shelf was overwritten";
    EXPECT_EQ(lib.selected(), c.expectedSelected);
    EXPECT_EQ(int(lib.t.dialogs.messages.size()), c.expectedMessages);
    EXPECT_EQ(lib.s.shelf.bookCount(), std::int16_t(lib.s.shelf.catalogue().size()));
    EXPECT_EQ(lib.s.currentScreen != Screen::ShelfScreen, c.expectedOpen);
    std::vector<bool> conversions;
    for (const auto &call : lib.importer.calls)
        conversions.push_back(call.toTraditional);
    EXPECT_EQ(conversions, c.expectedConversions);
}

const std::vector<std::string> kShelf = {"a.updb", "b.updb"};

std::vector<std::string> shelfWith(std::vector<std::string> extra)
{
    extra.insert(extra.end(), kShelf.begin(), kShelf.end());
    std::sort(extra.begin(), extra.end());
    return extra;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Drop,
    testing::Values(
        DropCase{"BookTakesAFreeName", {"a.updb"}, {}, shelfWith({"a (2).updb"}), "a (2).updb", 0, {}},
        DropCase{"TextIsImported", {"novel.txt"}, {}, shelfWith({"novel.updb"}), "novel.updb", 0, {false}},
        DropCase{
            "SimplifiedConvertedOnYes", {"simple.txt"}, {true}, shelfWith({"simple.updb"}), "simple.updb", 0, {true}},
        DropCase{"SimplifiedKeptOnNo", {"simple.txt"}, {false}, shelfWith({"simple.updb"}), "simple.updb", 0, {false}},
        DropCase{
            "SimplifiedCancelledImportsNothing", {"simple.txt", "novel.txt"}, {}, kShelf, "a.updb", 0, {}, false, {2}},
        DropCase{"TextWithoutExtension", {"folder/two"}, {}, shelfWith({"two.updb"}), "two.updb", 0, {false}},
        DropCase{"FolderOnYes", {"folder"}, {true}, shelfWith({"one.updb", "two.updb"}), "two.updb", 0, {false, false}},
        DropCase{"FolderOnNo", {"folder"}, {false}, kShelf, "a.updb", 0, {}},
        DropCase{"BookFromThisShelfIsOnlySelected", {"shelf:b.updb"}, {}, kShelf, "b.updb", 0, {}},
        DropCase{"FailedImportLeavesNothing", {"broken.txt"}, {}, kShelf, "a.updb", 1, {false}},
        DropCase{"NotABookIsRefused", {"bad.pdb", "photo.jpg"}, {}, kShelf, "a.updb", 2, {}},
        DropCase{"LastNewBookSelected",
                 {"novel.txt", "a.updb", "broken.txt"},
                 {},
                 shelfWith({"novel.updb", "a (2).updb"}),
                 "a (2).updb",
                 1,
                 {false, false}},
        DropCase{"CancelStopsTheBatch", {"stop.txt", "novel.txt"}, {}, kShelf, "a.updb", 0, {false}},
        // The same text already on the shelf: its book opens, or a second copy is made.
        DropCase{"SameBookOpensTheOneThere", {"a.updb"}, {true}, kShelf, "a.updb", 0, {}, true},
        DropCase{"SameImportOpensTheOneThere", {"novel.txt"}, {true}, kShelf, "b.updb", 0, {false}, true},
        DropCase{"SameImportAddedOnSecondAnswer",
                 {"novel.txt"},
                 {false},
                 shelfWith({"novel.updb"}),
                 "novel.updb",
                 0,
                 {false}},
        // Closed without an answer (Esc, the window's close): nothing is added.
        DropCase{
            "SameBookQuestionClosed", {"a.updb"}, {}, kShelf, "a.updb", 0, {}, false, {}, {Dialogs::Answer::Neither}},
        DropCase{"SameImportQuestionClosed",
                 {"novel.txt"},
                 {},
                 kShelf,
                 "a.updb",
                 0,
                 {false},
                 false,
                 {},
                 {Dialogs::Answer::Neither}}),
    [](const testing::TestParamInfo<DropCase> &info) { return std::string(info.param.name); });

TEST(Drop, FolderIsOfferedWithItsCount)
{
    Library lib;
    dropFiles(lib.t.r, lib.paths({"folder", "folder/sub/"}));
    ASSERT_EQ(lib.t.dialogs.questions.size(), 2u);
    EXPECT_EQ(lib.t.dialogs.questions[0], u"加入這個資料夾中的 2 本書與文字檔？");
    EXPECT_EQ(lib.t.dialogs.questions[1], u"加入這個資料夾中的 1 本書與文字檔？");
    EXPECT_TRUE(canTakeIn(lib.t.r, lib.outside + "folder"));
}

TEST(Drop, FailedImportNamesFileAndReason)
{
    Library lib;
    dropFiles(lib.t.r, lib.paths({"broken.txt"}));
    ASSERT_EQ(lib.t.dialogs.messages.size(), 1u);
    EXPECT_EQ(lib.t.dialogs.messages[0], u"無法匯入《broken.txt》：not a text file");
}

// --- The real importer runs a child; whatever the child does, the reader
// gives a reason and the shelf keeps exactly its books.

struct ChildCase {
    const char *name;
    const char *action; // shell; thesis.odt beside it must outlive whatever it says
    std::u16string_view reason;
};

class ChildImport : public testing::TestWithParam<ChildCase> {};

TEST_P(ChildImport, FailsWithAReasonAndLeavesTheShelf)
{
    ensureGuiApp();
    Library lib;
    const std::string program = lib.dir.file("fake-importer");
    writeFile(program, std::string("#!/bin/sh\n"
                                   "[ \"$1\" = probe ] && { echo '{\"mostlySimplified\": false}'; exit 0; }\n") +
                           GetParam().action + "\n");
    ::chmod(program.c_str(), 0755);
    writeFile(lib.dir.file("thesis.odt"), "years of work");
    const std::string named = *GetParam().action ? program : lib.dir.file("no-such-importer");
    ::setenv("PAGORA_TEST_IMPORTER", named.c_str(), 1);
    ::setenv("PAGORA_TEST_IMPORT_SECONDS", "1", 1);
    QtImporter importer(nullptr);
    lib.t.r.services.importer = &importer;
    dropFiles(lib.t.r, lib.paths({"novel.txt"}));
    ::unsetenv("PAGORA_TEST_IMPORTER");
    ::unsetenv("PAGORA_TEST_IMPORT_SECONDS");
    ASSERT_EQ(lib.t.dialogs.messages.size(), 1u);
    EXPECT_EQ(lib.t.dialogs.messages[0], u"無法匯入《novel.txt》：" + std::u16string(GetParam().reason));
    EXPECT_EQ(lib.shelfFiles(), (std::vector<std::string>{"a.updb", "b.updb"}));
    EXPECT_EQ(readFile(lib.dir.file("thesis.odt")), "years of work");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChildImport,
    testing::Values(ChildCase{"Crash", "kill -SEGV $$", texts::importCrashed},
                    ChildCase{"Killed", "kill -KILL $$", texts::importCrashed},
                    ChildCase{"Hang", "exec sleep 20", texts::importTimedOut},
                    ChildCase{"OutOfMemory", "echo 'fault no-memory' >&2; exit 1", texts::importNoMemory},
                    ChildCase{"NotText", "echo 'fault not-text' >&2; exit 1", texts::importNotText},
                    ChildCase{"SilentFailure", "exit 1", texts::importFailed},
                    // Nothing the child says is a path; past a cap it is not read.
                    ChildCase{"NamesAFileToRemove", "echo \"temp $(dirname \"$0\")/thesis.odt\" >&2; exit 1",
                              texts::importFailed},
                    ChildCase{"FloodsItsChannel",
                              "{ head -c 1048576 /dev/zero | tr '\\0' x; echo; echo 'fault not-text'; } >&2; exit 1",
                              texts::importFailed},
                    ChildCase{"Missing", "", texts::importerMissing}),
    [](const testing::TestParamInfo<ChildCase> &info) { return std::string(info.param.name); });

TEST(ShelfScan, RemovesTemporaryFilesAKilledWriteLeft)
{
    Library lib;
    for (const char *name : {".pagora-import-x1Yz2Q", ".pagora-new-4711"})
        writeFile(lib.shelf + name, "half a book");
    writeFile(lib.shelf + ".hidden-note", "kept");
    rebuildCatalogue(*lib.t.r.services.files, lib.t.r.state.shelf, lib.t.r.state.book, lib.t.r.state.bookmarks,
                     lib.t.r.state.menu, lib.t.r.state.search);
    EXPECT_EQ(lib.shelfFiles(), (std::vector<std::string>{".hidden-note", "a.updb", "b.updb"}));
}

struct OpenCase {
    const char *name;
    std::string path; // under the library folder
    int expectedShelf;
    std::string expectedFile;
};

class OpenFile : public testing::TestWithParam<OpenCase> {};

TEST_P(OpenFile, OpensAsIfChosenOnTheShelf)
{
    const OpenCase &c = GetParam();
    Library lib;
    fs::create_directories(lib.shelf + "3");
    writeFile(lib.shelf + "3/c.updb", bookBytes(u"丙"));
    // Reading from shelf 2 when the file arrives.
    lib.s.shelf.currentShelf = 2;
    lib.s.shelf.shelfPath = shelfFolder(lib.shelf, 2);
    openFiles(lib.t.r, {lib.dir.file(c.path)});

    EXPECT_EQ(lib.s.shelf.currentShelf, c.expectedShelf);
    EXPECT_EQ(lib.s.shelf.shelfPath, shelfFolder(lib.shelf, c.expectedShelf));
    EXPECT_EQ(lib.selected(), c.expectedFile);
    // A book never opened before opens on its contents.
    EXPECT_EQ(lib.s.currentScreen, Screen::ContentsScreen);
    EXPECT_TRUE(lib.t.window.caption.ends_with(u" - Pagora 1.8"));
    EXPECT_TRUE(lib.t.dialogs.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, OpenFile,
                         testing::Values(OpenCase{"BookOnANumberedShelf", "shelf/3/c.updb", 3, "c.updb"},
                                         OpenCase{"BookOnTheMainShelfViaDots", "outside/../shelf/b.updb", 0, "b.updb"},
                                         OpenCase{"BookFromElsewhereIsCopied", "outside/a.updb", 0, "a (2).updb"},
                                         OpenCase{"TextIsImportedIntoTheMainShelf", "outside/novel.txt", 0,
                                                  "novel.updb"}),
                         [](const testing::TestParamInfo<OpenCase> &info) { return std::string(info.param.name); });

TEST(OpenFile, BookAlreadyOnTheCurrentShelfKeepsThePlacesThere)
{
    Library lib;
    // a.updb, selected, was left in section 2 on page 5; a new listing
    // would forget that.
    lib.s.book.currentSection = 2;
    lib.s.book.pages.turnTo(5);
    openFiles(lib.t.r, lib.paths({"shelf:b.updb"}));
    EXPECT_EQ(lib.selected(), "b.updb");
    EXPECT_EQ(lib.s.shelf.catalogue()[0].lastSection, 2);
    EXPECT_EQ(lib.s.shelf.catalogue()[0].lastPage, 5);
}

TEST(OpenDialog, AsksOnlyOnTheShelfScreen)
{
    Library lib;
    lib.t.dialogs.fileAnswers = {{"x.txt"}, {"y.txt"}};
    lib.s.currentScreen = Screen::ReadingScreen;
    EXPECT_TRUE(chooseFilesToTakeIn(lib.t.r).empty());
    lib.s.currentScreen = Screen::ShelfScreen;
    EXPECT_EQ(chooseFilesToTakeIn(lib.t.r), std::vector<std::string>{"x.txt"});
}

TEST(FreeFileName, NeverReusesANameInTheFolder)
{
    TempDir dir;
    for (const char *name : {"a.updb", "a (2).updb", "README", ".hidden"})
        writeFile(dir.file(name), "x");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"b.updb", "b.updb"}, {"a.updb", "a (3).updb"}, {"README", "README (2)"}, {".hidden", ".hidden (2)"}};
    for (const auto &[wanted, expected] : cases)
        EXPECT_EQ(freeFileName(systemFiles(), dir.path(), wanted), expected) << wanted;
}

} // namespace
