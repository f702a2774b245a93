#include "app/book_place.h"
#include "app/passage_mark_commands.h"
#include "app/shelf_operations.h"
#include "app/startup.h"
#include "book/catalogue.h"
#include "notes/fingerprint.h"
#include "notes/notes_database.h"
#include "paged_book.h"
#include "text/codec.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

using namespace pagora;

namespace {

struct BookPlaces : ::testing::Test {
    TempDir dir;
    std::string notesPath = dir.file("notes.sqlite");

    // A reader just started on the shelf of dir, no book open.
    void onShelf(TestReader &t, NotesDatabase &db, int panelHeight = kPagedPanelHeight)
    {
        setPagedPanel(t.r.state);
        t.r.state.window.clientHeight = std::int16_t(panelHeight);
        t.r.state.folders.settingsFolder = t.r.state.shelf.shelfPath = dir.path();
        t.r.services.notes = &db;
        rebuildCatalogue(*t.r.services.files, t.r.state.shelf, t.r.state.book, t.r.state.bookmarks, t.r.state.menu,
                         t.r.state.search);
    }
    // A first session: the book read up to section 2, page 4, then closed.
    void readAndClose()
    {
        TestReader t;
        NotesDatabase db(notesPath);
        setPagedPanel(t.r.state);
        t.r.services.notes = &db;
        t.r.state.folders.settingsFolder = dir.path();
        ASSERT_TRUE(openPagedBook(t.r, dir, {3, 7, 5}));
        showPosition(t.r, 2, 4);
        t.r.state.currentScreen = Screen::ReadingScreen;
        shutDown(t.r);
    }
};

// Another window size lays the section out anew: the page shown is the one
// holding the first character that was shown, whatever its number.
TEST_F(BookPlaces, ABookOpenedAfterARestartShowsThePageHoldingItsPlace)
{
    readAndClose();
    const std::int32_t left = 3 * kCellsPerPage;
    for (const int height : {kPagedPanelHeight, 200, 700}) {
        TestReader t;
        NotesDatabase db(notesPath);
        onShelf(t, db, height);
        openSelectedBook(t.r);
        const PageTable &pages = t.r.state.book.pages;
        EXPECT_EQ(t.r.state.currentScreen, Screen::ReadingScreen) << height;
        EXPECT_EQ(t.r.state.book.currentSection, 2) << height;
        EXPECT_LE(pages.shownPageStart(), left) << height;
        EXPECT_GT(pages.currentPage() < pages.pageCount() ? pages.start(pages.currentPage() + 1)
                                                          : t.r.state.book.textLength(),
                  left)
            << height;
        if (height == kPagedPanelHeight) {
            EXPECT_EQ(shownMark(t.r.state), pageMark(2, 4));
        }
    }
}

TEST_F(BookPlaces, WithoutAStoredPlaceABookStartsOnItsContents)
{
    {
        TestReader t;
        ASSERT_TRUE(openPagedBook(t.r, dir, {3, 7}));
    }
    // A damaged database knows no place either: the reader is told once where it went.
    writeFile(notesPath, "not a database");
    TestReader t;
    NotesDatabase db(notesPath);
    onShelf(t, db);
    openSelectedBook(t.r);
    EXPECT_EQ(t.r.state.currentScreen, Screen::ContentsScreen);
    ASSERT_EQ(t.dialogs.messages.size(), 1u);
    EXPECT_NE(t.dialogs.messages[0].find(utf8ToUtf16(notesPath + ".damaged-")), std::u16string::npos);
}

// Start-up reopens the last book from the settings file alone, and finds
// the page's marks without making a database; it is first opened when the
// book is left.
TEST_F(BookPlaces, StartUpDoesNotOpenTheDatabase)
{
    {
        TestReader t;
        ASSERT_TRUE(openPagedBook(t.r, dir, {3, 7}));
    }
    writeFile(dir.file("Pagora.ini"), "\xFF\xFE" + encodeUtf16le(u"1 2 1 " + utf8ToUtf16(dir.path()) +
                                                                 u"\r\n2 2 3 paged.updb\r\n2 0 新細明體 [14]\r\n"));
    TestReader t;
    NotesDatabase db(notesPath);
    t.r.services.notes = &db;
    constructPanel(t.r, dir.path());
    startUp(t.r);
    ASSERT_EQ(t.r.state.currentScreen, Screen::ReadingScreen);
    EXPECT_FALSE(loadMarksAfterStart(t.r));
    EXPECT_FALSE(systemFiles().exists(notesPath));
    const std::int32_t shown = t.r.state.book.pages.shownPageStart();
    const std::string fingerprint = openBookFingerprint(t.r);
    EXPECT_FALSE(systemFiles().exists(notesPath));
    shutDown(t.r);
    const auto place = NotesDatabase(notesPath).place(fingerprint);
    ASSERT_TRUE(place);
    EXPECT_EQ(place->section, 2);
    EXPECT_EQ(place->offset, shown);
    EXPECT_GT(shown, 0);
}

// A book file's fingerprint is hashed a section at a time, to the value its
// whole text gives, and kept: a reader started anew takes it without reading
// the book while the file's size, time and inode stay.
TEST_F(BookPlaces, AFingerprintIsKeptForItsFileUntilTheFileChanges)
{
    const struct {
        const char *name;
        int laterSeconds;
        bool replaced;
        bool kept;
    } rows[] = {
        {"sameStamp", 0, false, true}, // the text changed unseen: nothing was read
        {"written", 1, false, false},
        {"replaced", 0, true, false},
    };
    const std::string path = dir.file("paged.updb");
    for (const auto &row : rows) {
        std::string first;
        {
            TestReader t;
            NotesDatabase db(notesPath);
            t.r.services.notes = &db;
            ASSERT_TRUE(db.open());
            // A first section longer than a piece of the hash.
            ASSERT_TRUE(openPagedBook(t.r, dir, {20, 1, 2}));
            first = openBookFingerprint(t.r);
            EXPECT_EQ(first, textFingerprint(openBookTexts(t.r))) << row.name;
        }
        struct stat before {};
        ASSERT_EQ(::stat(path.c_str(), &before), 0);
        // Another character of the same size in section 1.
        std::string bytes = readFile(path);
        bytes.replace(bytes.find(encodeUtf16le(std::u16string(1, pageMark(1, 1)))), 2,
                      encodeUtf16le(std::u16string(1, pageMark(1, 2))));
        writeFile(row.replaced ? path + ".new" : path, bytes);
        if (row.replaced) {
            ASSERT_EQ(std::rename((path + ".new").c_str(), path.c_str()), 0);
        }
        timespec times[2] = {before.st_atim, before.st_mtim};
        times[1].tv_sec += row.laterSeconds;
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);

        TestReader t;
        NotesDatabase db(notesPath);
        t.r.services.notes = &db;
        ASSERT_TRUE(openPagedFile(t.r, dir));
        const std::string again = openBookFingerprint(t.r);
        if (row.kept) {
            EXPECT_EQ(again, first) << row.name;
        } else {
            EXPECT_NE(again, first) << row.name;
            EXPECT_EQ(again, textFingerprint(openBookTexts(t.r))) << row.name;
        }
    }
}

} // namespace
