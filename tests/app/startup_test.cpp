#include "app/settings_file.h"
#include "app/startup.h"
#include "book/book_writer.h"
#include "test_reader.h"
#include "text/codec.h"

#include <gtest/gtest.h>

using namespace pagora;

namespace {

void writeIni(const std::string &path, const std::u16string &text)
{
    writeFile(path, "\xFF\xFE" + encodeUtf16le(text));
}

void writeBook(const std::string &path, const std::u16string &title)
{
    BookRecipe spec;
    spec.title = title;
    spec.sectionTitles = {u"一"};
    spec.sectionTexts = {u"天地玄黃宇宙洪荒"};
    std::string bytes;
    ASSERT_TRUE(writeBookBytes(spec, bytes));
    writeFile(path, bytes);
}

struct StartUp : ::testing::Test {
    TempDir dir;
    TestReader t;
    ReaderState &s = t.r.state;
    void start()
    {
        constructPanel(t.r, dir.path());
        startUp(t.r);
    }
};

TEST_F(StartUp, EmptyFolderShowsTheShelfAndSavesNothing)
{
    t.window.screenH = 800;
    start();
    EXPECT_EQ(t.window.caption, u"Pagora 1.8");
    EXPECT_EQ(s.currentScreen, Screen::ShelfScreen);
    EXPECT_EQ(s.window.windowMode, 4);
    EXPECT_EQ(s.folders.mainShelfPath, dir.path());
    EXPECT_EQ(s.shelf.bookCount(), 0);
    // Interface font first, then the reading font.
    ASSERT_GE(t.surface.fonts.size(), 2u);
    EXPECT_EQ(t.surface.fonts[0].height, 16);
    EXPECT_EQ(t.surface.fonts[1].height, 16);
    EXPECT_TRUE(shutDown(t.r));
    EXPECT_FALSE(systemFiles().exists(dir.file("Pagora.ini")));
}

TEST_F(StartUp, SavedBookNoLongerOnTheShelfShowsTheShelf)
{
    writeBook(dir.file("a.updb"), u"甲");
    writeIni(dir.file("Pagora.ini"),
             u"1 2 1 " + utf8ToUtf16(dir.path()) + u"\r\n1 1 1 gone.updb\r\n2 0 新細明體 [14]\r\n");
    start();
    EXPECT_EQ(s.currentScreen, Screen::ShelfScreen);
    EXPECT_EQ(t.window.caption, u"Pagora 1.8");
    EXPECT_EQ(s.shelf.bookCount(), 1);
}

TEST_F(StartUp, SavedBookPresentOpensAtItsPlace)
{
    writeBook(dir.file("a.updb"), u"甲");
    writeIni(dir.file("Pagora.ini"),
             u"1 2 1 " + utf8ToUtf16(dir.path()) + u"\r\n1 1 1 a.updb\r\n2 0 新細明體 [14]\r\n");
    start();
    EXPECT_EQ(s.currentScreen, Screen::ReadingScreen);
    EXPECT_EQ(s.book.currentSection, 1);
    EXPECT_EQ(s.book.pages.currentPage(), 1);
    EXPECT_EQ(t.window.caption, u"甲 - Pagora 1.8");
}

TEST_F(StartUp, DamagedShelfNumberFallsBackToTheMainShelf)
{
    writeBook(dir.file("a.updb"), u"甲");
    writeIni(dir.file("Pagora.ini"),
             u"1 2 1 " + utf8ToUtf16(dir.path()) + u"\r\n1 1 1 a.updb\r\n2 12 新細明體 [14]\r\n");
    start();
    EXPECT_EQ(s.shelf.currentShelf, 0);
    EXPECT_EQ(s.shelf.shelfPath, dir.path());
    EXPECT_FALSE(systemFiles().exists(dir.path() + "12"));
}

TEST_F(StartUp, ClosingWithBooksWritesTheSettingsBesideTheExecutable)
{
    writeBook(dir.file("a.updb"), u"甲");
    start();
    shutDown(t.r);
    const std::u16string text = loadTextFile(systemFiles(), dir.file("Pagora.ini"));
    EXPECT_EQ(text.substr(0, 6), u"1 2 1 ");
}

} // namespace
