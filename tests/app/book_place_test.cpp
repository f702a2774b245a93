#include "app/book_place.h"
#include "app/shelf_operations.h"
#include "app/startup.h"
#include "book/catalogue.h"
#include "notes/notes_database.h"
#include "paged_book.h"
#include "text/codec.h"

#include <gtest/gtest.h>

using namespace pagora;

namespace {

struct BookPlaces : ::testing::Test {
    TempDir dir;
    std::string notesPath = dir.file("notes.sqlite");

    // A reader just started on the shelf of dir, no book open.
    void onShelf(TestReader &t, NotesDatabase &db, int panelHeight = kPagedPanelHeight)
    {
        setPagedPanel(t.r.s);
        t.r.s.window.clientHeight = std::int16_t(panelHeight);
        t.r.s.folders.settingsFolder = t.r.s.shelf.shelfPath = dir.path();
        t.r.p.notes = &db;
        rebuildCatalogue(*t.r.p.files, t.r.s);
    }
    // A first session: the book read up to section 2, page 4, then closed.
    void readAndClose()
    {
        TestReader t;
        NotesDatabase db(notesPath);
        setPagedPanel(t.r.s);
        t.r.p.notes = &db;
        t.r.s.folders.settingsFolder = dir.path();
        ASSERT_TRUE(openPagedBook(t.r, dir, {3, 7, 5}));
        showPosition(t.r, 2, 4);
        t.r.s.currentScreen = Screen::ReadingScreen;
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
        const PageTable &pages = t.r.s.book.pages;
        EXPECT_EQ(t.r.s.currentScreen, Screen::ReadingScreen) << height;
        EXPECT_EQ(t.r.s.book.currentSection, 2) << height;
        EXPECT_LE(pages.shownPageStart(), left) << height;
        EXPECT_GT(pages.currentPage() < pages.pageCount() ? pages.start(pages.currentPage() + 1)
                                                          : t.r.s.book.textLength(),
                  left)
            << height;
        if (height == kPagedPanelHeight) {
            EXPECT_EQ(shownMark(t.r.s), pageMark(2, 4));
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
    EXPECT_EQ(t.r.s.currentScreen, Screen::ContentsScreen);
    ASSERT_EQ(t.dialogs.messages.size(), 1u);
    EXPECT_NE(t.dialogs.messages[0].find(utf8ToUtf16(notesPath + ".damaged-")), std::u16string::npos);
}

// Start-up reopens the last book from the settings file alone; the database
// is first opened when the book is left.
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
    t.r.p.notes = &db;
    constructPanel(t.r, dir.path());
    startUp(t.r);
    ASSERT_EQ(t.r.s.currentScreen, Screen::ReadingScreen);
    EXPECT_FALSE(systemFiles().exists(notesPath));
    const std::int32_t shown = t.r.s.book.pages.shownPageStart();
    const std::string fingerprint = openBookFingerprint(t.r);
    EXPECT_FALSE(systemFiles().exists(notesPath));
    shutDown(t.r);
    const auto place = NotesDatabase(notesPath).place(fingerprint);
    ASSERT_TRUE(place);
    EXPECT_EQ(place->section, 2);
    EXPECT_EQ(place->offset, shown);
    EXPECT_GT(shown, 0);
}

} // namespace
