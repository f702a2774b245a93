#include "test_reader.h"

#include "app/shelf_handlers.h"
#include "app/shelf_operations.h"
#include "book/book_writer.h"
#include "book/catalogue.h"
#include "book/section_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace pagora;

namespace {

// What a shelf folder entry holds.
enum class Kind { Utf16Book, Cp950Book, Junk, Empty, Truncated, Folder, DanglingLink, Fifo };

std::string bookBytes(BookEncoding encoding, const std::u16string &title, int sections = 2)
{
    BookRecipe spec;
    spec.encoding = encoding;
    spec.title = title;
    for (int i = 1; i <= sections; ++i) {
        spec.sectionTitles.push_back(u"第" + std::u16string(1, char16_t(u'0' + i)) + u"節");
        spec.sectionTexts.push_back(u"天地玄黃，宇宙洪荒。");
    }
    std::string out;
    EXPECT_TRUE(writeBookBytes(spec, out));
    return out;
}

void makeEntry(const TempDir &dir, const std::string &name, Kind kind)
{
    const std::string path = dir.file(name);
    const std::u16string title(name.begin(), name.end());
    switch (kind) {
    case Kind::Utf16Book: writeFile(path, bookBytes(BookEncoding::UTF16LE, title)); break;
    case Kind::Cp950Book: writeFile(path, bookBytes(BookEncoding::CP950, title)); break;
    case Kind::Junk: writeFile(path, std::string(300, 'x')); break;
    case Kind::Empty: writeFile(path, ""); break;
    case Kind::Truncated: writeFile(path, bookBytes(BookEncoding::UTF16LE, title).substr(0, 77)); break;
    case Kind::Folder: std::filesystem::create_directory(path); break;
    case Kind::DanglingLink: std::filesystem::create_symlink(dir.file("nowhere"), path); break;
    case Kind::Fifo: ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0); break;
    }
}

std::vector<std::string> listedNames(const ReaderState &s)
{
    std::vector<std::string> names;
    for (const BookEntry &e : s.shelf.catalogue())
        names.push_back(e.fileName);
    return names;
}

struct ScanCase {
    const char *name;
    std::vector<std::pair<std::string, Kind>> entries;
    std::vector<std::string> expected;
};

class ScanOrder : public testing::TestWithParam<ScanCase> {};

TEST_P(ScanOrder, ListsUpdbBeforePdbAndOnlyReadableBooks)
{
    TempDir dir;
    for (const auto &[name, kind] : GetParam().entries)
        makeEntry(dir, name, kind);
    TestReader t;
    t.r.state.shelf.shelfPath = dir.path();
    rebuildCatalogue(*t.r.services.files, t.r.state.shelf, t.r.state.book, t.r.state.bookmarks, t.r.state.menu,
                     t.r.state.search);
    EXPECT_EQ(listedNames(t.r.state), GetParam().expected);
    EXPECT_EQ(t.r.state.shelf.bookCount(), std::int16_t(GetParam().expected.size()));
    EXPECT_EQ(t.r.state.shelf.selectedBook(), GetParam().expected.empty() ? -1 : 0);
    EXPECT_FALSE(t.r.state.book.bookFile.isOpen()) << "the scan leaves no file open";
}

INSTANTIATE_TEST_SUITE_P(
    Shelves, ScanOrder,
    testing::Values(ScanCase{"UpdbGroupFirst",
                             {{"b.pdb", Kind::Cp950Book}, {"a.updb", Kind::Utf16Book}, {"c.updb", Kind::Utf16Book}},
                             {"a.updb", "c.updb", "b.pdb"}},
                    // The encoding comes from inside the file; the name only picks the group.
                    ScanCase{"NameDecidesGroupNotEncoding",
                             {{"z.updb", Kind::Cp950Book}, {"a.pdb", Kind::Utf16Book}},
                             {"z.updb", "a.pdb"}},
                    ScanCase{"UpperCaseExtensions",
                             {{"B.PDB", Kind::Cp950Book},
                              {"a.UPDB", Kind::Utf16Book},
                              {"c.Updb", Kind::Utf16Book},
                              {"d.pDb", Kind::Cp950Book}},
                             {"a.UPDB", "c.Updb", "B.PDB", "d.pDb"}},
                    ScanCase{"FolderNamedLikeABook",
                             {{"x.pdb", Kind::Folder}, {"y.updb", Kind::Folder}, {"w.pdb", Kind::Cp950Book}},
                             {"w.pdb"}},
                    ScanCase{"OtherExtensionsIgnored",
                             {{"notes.txt", Kind::Utf16Book},
                              {"a.pdb.bak", Kind::Cp950Book},
                              {"b.pdbx", Kind::Cp950Book},
                              {"updb", Kind::Utf16Book},
                              {"c.pdb", Kind::Cp950Book}},
                             {"c.pdb"}},
                    ScanCase{"UnreadableAndInvalidLeftOut",
                             {{"empty.pdb", Kind::Empty},
                              {"gone.updb", Kind::DanglingLink},
                              {"junk.pdb", Kind::Junk},
                              {"pipe.pdb", Kind::Fifo},
                              {"short.updb", Kind::Truncated},
                              {"good.pdb", Kind::Cp950Book}},
                             {"good.pdb"}},
                    // Numbers by value, and a copy after the book it copies.
                    ScanCase{"NaturalOrderWithinEachGroup",
                             {{"唐詩 (2).updb", Kind::Utf16Book},
                              {"唐詩 (10).updb", Kind::Utf16Book},
                              {"唐詩.updb", Kind::Utf16Book},
                              {"v10.pdb", Kind::Cp950Book},
                              {"v2.pdb", Kind::Cp950Book},
                              {"v02.pdb", Kind::Cp950Book}},
                             {"唐詩.updb", "唐詩 (2).updb", "唐詩 (10).updb", "v02.pdb", "v2.pdb", "v10.pdb"}},
                    ScanCase{"EmptyShelf", {}, {}}),
    [](const testing::TestParamInfo<ScanCase> &info) { return std::string(info.param.name); });

TEST(Catalogue, MissingShelfFolderIsAnEmptyShelf)
{
    TempDir dir;
    TestReader t;
    t.r.state.shelf.shelfPath = dir.file("absent/");
    rebuildCatalogue(*t.r.services.files, t.r.state.shelf, t.r.state.book, t.r.state.bookmarks, t.r.state.menu,
                     t.r.state.search);
    EXPECT_EQ(t.r.state.shelf.bookCount(), 0);
    EXPECT_EQ(t.r.state.shelf.selectedBook(), -1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("absent")));
}

TEST(Catalogue, ScanReadsTitleAndSectionCount)
{
    TempDir dir;
    writeFile(dir.file("a.updb"), bookBytes(BookEncoding::UTF16LE, u"紅樓夢", 5));
    writeFile(dir.file("b.pdb"), bookBytes(BookEncoding::CP950, u"水滸傳", 3));
    TestReader t;
    t.r.state.shelf.shelfPath = dir.path();
    rebuildCatalogue(*t.r.services.files, t.r.state.shelf, t.r.state.book, t.r.state.bookmarks, t.r.state.menu,
                     t.r.state.search);
    ASSERT_EQ(t.r.state.shelf.bookCount(), 2);
    EXPECT_EQ(t.r.state.shelf.catalogue()[0].title, u"紅樓夢");
    EXPECT_EQ(t.r.state.shelf.catalogue()[0].sectionCount, 5);
    EXPECT_EQ(t.r.state.shelf.catalogue()[1].title, u"水滸傳");
    EXPECT_EQ(t.r.state.shelf.catalogue()[1].sectionCount, 3);
    EXPECT_EQ(t.r.state.shelf.maxSectionCount, 5);
    EXPECT_EQ(t.r.state.shelf.selectedEntry(), &t.r.state.shelf.catalogue()[0]);
}

TEST(Catalogue, RescanForgetsRememberedPositionsAndTheOpenBook)
{
    TempDir dir;
    for (const char *name : {"a.updb", "b.updb", "c.pdb"})
        writeFile(dir.file(name), bookBytes(BookEncoding::UTF16LE, u"書", 4));
    TestReader t;
    ReaderState &s = t.r.state;
    s.folders.mainShelfPath = dir.path();
    s.shelf.shelfPath = dir.path();
    rebuildCatalogue(*t.r.services.files, t.r.state.shelf, t.r.state.book, t.r.state.bookmarks, t.r.state.menu,
                     t.r.state.search);
    for (BookEntry &e : s.shelf.entries())
        e.lastSection = 3, e.lastPage = 7;
    s.shelf.select(2);
    ASSERT_TRUE(openBookFile(*t.r.services.files, t.r.state.shelf, t.r.state.book));
    s.shelf.setOpenBook(2);
    s.shelf.cameFromMenu = EnteredFrom::Menu;
    s.shelf.shelfPageStart = 32;
    s.book.currentSection = 3;
    s.book.pages = PageTable({0, 0, 100, 200}, 2), s.book.pages.show(2);
    s.search.rememberHit(3, 40);

    switchShelf(t.r);

    ASSERT_EQ(s.shelf.bookCount(), 3);
    for (const BookEntry &e : s.shelf.catalogue()) {
        EXPECT_EQ(e.lastSection, 1);
        EXPECT_EQ(e.lastPage, 1);
    }
    EXPECT_EQ(s.shelf.openBook(), -1);
    EXPECT_FALSE(s.book.bookFile.isOpen());
    EXPECT_EQ(s.shelf.selectedBook(), 0);
    EXPECT_EQ(s.shelf.cameFromMenu, EnteredFrom::Shelf);
    EXPECT_EQ(s.shelf.shelfPageStart, 0);
    // The shelf screen loads the first book's place: back at its beginning.
    EXPECT_EQ(s.book.currentSection, 1);
    EXPECT_EQ(s.book.pages.currentPage(), 1);
    EXPECT_EQ(s.book.pages.shownPageStart(), -1);
    EXPECT_EQ(s.currentScreen, Screen::ShelfScreen);
    EXPECT_EQ(s.search.matchFound(), 0) << "find next would start after a hit in another book";
}

TEST(Catalogue, ReleaseClosesTheBookAndEmptiesTheShelf)
{
    TempDir dir;
    writeFile(dir.file("a.updb"), bookBytes(BookEncoding::UTF16LE, u"書"));
    TestReader t;
    ReaderState &s = t.r.state;
    s.shelf.shelfPath = dir.path();
    rebuildCatalogue(*t.r.services.files, t.r.state.shelf, t.r.state.book, t.r.state.bookmarks, t.r.state.menu,
                     t.r.state.search);
    ASSERT_TRUE(openBookFile(*t.r.services.files, t.r.state.shelf, t.r.state.book));
    s.book.contentsList = {u"一", u"二"};
    releaseCatalogue(*t.r.services.files, t.r.state.shelf, t.r.state.book, t.r.state.bookmarks);
    EXPECT_FALSE(s.book.bookFile.isOpen());
    EXPECT_EQ(s.shelf.openBook(), -1);
    EXPECT_TRUE(s.shelf.catalogue().empty());
    EXPECT_EQ(s.shelf.bookCount(), 0);
    EXPECT_EQ(s.shelf.selectedEntry(), nullptr);
    EXPECT_TRUE(s.book.contentsList.empty());
}

TEST(Catalogue, PageTableKeepsItsGrownCapacity)
{
    TempDir dir;
    TestReader t;
    t.r.state.shelf.shelfPath = dir.path();
    t.r.state.book.pages = PageTable(std::vector<std::int32_t>(456, 9), 454);
    releaseCatalogue(*t.r.services.files, t.r.state.shelf, t.r.state.book, t.r.state.bookmarks);
    rebuildCatalogue(*t.r.services.files, t.r.state.shelf, t.r.state.book, t.r.state.bookmarks, t.r.state.menu,
                     t.r.state.search);
    EXPECT_EQ(t.r.state.book.pages.capacity(), 456u);
    EXPECT_EQ(t.r.state.book.pages.start(300), 0);
}

// Switching creates a missing numbered shelf folder (1..9), never the main one.
class ShelfSwitch : public testing::TestWithParam<int> {};

TEST_P(ShelfSwitch, CreatesOnlyNumberedShelfFolders)
{
    const int shelf = GetParam();
    TempDir root;
    // A main shelf folder that does not exist must stay absent.
    const std::string main = shelf == 0 ? root.file("main/") : root.path();
    TestReader t;
    ReaderState &s = t.r.state;
    s.folders.mainShelfPath = main;
    s.shelf.currentShelf = std::int16_t(shelf);
    s.shelf.shelfPath = shelfFolder(main, shelf);
    switchShelf(t.r);
    const std::string folder = s.shelf.shelfPath.substr(0, s.shelf.shelfPath.size() - 1);
    const bool numbered = shelf >= 1 && shelf <= 9;
    EXPECT_EQ(std::filesystem::is_directory(folder), numbered) << folder;
    EXPECT_EQ(std::filesystem::exists(folder), numbered) << folder;
    EXPECT_EQ(s.shelf.bookCount(), 0);
    EXPECT_EQ(s.shelf.selectedBook(), -1);
    EXPECT_EQ(s.currentScreen, Screen::ShelfScreen);
}

INSTANTIATE_TEST_SUITE_P(Shelves, ShelfSwitch, testing::Values(0, 1, 4, 9, 10, 12));

TEST(Catalogue, SwitchScansTheNewShelf)
{
    TempDir root;
    std::filesystem::create_directory(root.file("3"));
    writeFile(root.file("3/x.updb"), bookBytes(BookEncoding::UTF16LE, u"三號書架的書"));
    writeFile(root.file("main.pdb"), bookBytes(BookEncoding::CP950, u"主書架的書"));
    TestReader t;
    ReaderState &s = t.r.state;
    s.folders.mainShelfPath = root.path();
    s.shelf.shelfPath = root.path();
    rebuildCatalogue(*t.r.services.files, t.r.state.shelf, t.r.state.book, t.r.state.bookmarks, t.r.state.menu,
                     t.r.state.search);
    ASSERT_EQ(listedNames(s), std::vector<std::string>{"main.pdb"});
    s.shelf.currentShelf = 3;
    s.shelf.shelfPath = shelfFolder(s.folders.mainShelfPath, 3);
    EXPECT_EQ(s.shelf.shelfPath, root.path() + "3/");
    switchShelf(t.r);
    EXPECT_EQ(listedNames(s), std::vector<std::string>{"x.updb"});
    EXPECT_EQ(s.shelf.catalogue()[0].title, u"三號書架的書");
}

} // namespace
