#include "book/bookmark_store.h"

#include "book/book_writer.h"
#include "book/section_loader.h"
#include "test_platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <sys/stat.h>

using namespace pagora;

namespace {

using Marks = std::vector<std::pair<int, std::vector<int>>>;

// Tables for a book of sectionCount sections holding the given marks.
void setTables(ReaderState &s, int sectionCount, const Marks &marks)
{
    s.shelf.maxSectionCount = std::int16_t(sectionCount);
    s.book.sectionCount = std::int16_t(sectionCount);
    resetBookmarkTables(s.bookmarks, s.shelf.maxSectionCount);
    for (const auto &[section, pages] : marks)
        for (int p : pages) {
            s.book.currentSection = std::int16_t(section);
            s.book.pages.turnTo(p);
            addBookmark(s.bookmarks, s.book);
        }
}

std::vector<std::int16_t> pages(const ReaderState &s, int section)
{
    return s.bookmarks.bookmarkPages()[std::size_t(section)];
}

std::string makeBook(int sections, std::optional<std::string> bookmarkRecord = std::nullopt,
                     std::vector<std::string> extra = {})
{
    BookRecipe spec;
    spec.title = u"書";
    for (int i = 1; i <= sections; ++i) {
        spec.sectionTitles.push_back(u"第" + std::u16string(1, char16_t(u'0' + i % 10)) + u"節");
        spec.sectionTexts.push_back(u"第" + std::u16string(std::size_t(i), u'字') + u"。");
    }
    spec.bookmarkRecord = std::move(bookmarkRecord);
    spec.extraRecords = std::move(extra);
    std::string out;
    EXPECT_TRUE(writeBookBytes(spec, out));
    return out;
}

int recordCount(const std::string &b)
{
    return std::uint8_t(b[76]) << 8 | std::uint8_t(b[77]);
}

std::uint32_t offsetOf(const std::string &b, int i)
{
    const std::size_t at = 78 + 8 * std::size_t(i);
    return std::uint32_t(std::uint8_t(b[at])) << 24 | std::uint32_t(std::uint8_t(b[at + 1])) << 16 |
           std::uint32_t(std::uint8_t(b[at + 2])) << 8 | std::uint8_t(b[at + 3]);
}

std::string recordBytes(const std::string &b, int i)
{
    const std::uint32_t start = offsetOf(b, i);
    const std::uint32_t end = i + 1 < recordCount(b) ? offsetOf(b, i + 1) : std::uint32_t(b.size());
    return b.substr(start, end - start);
}

} // namespace

TEST(BookmarkTables, AddKeepsPagesAscendingAndGrowsByTen)
{
    ReaderState s;
    setTables(s, 4, {{2, {3, 9, 12}}});
    s.book.currentSection = 2;
    s.book.pages.turnTo(7);
    addBookmark(s.bookmarks, s.book);
    EXPECT_EQ(pages(s, 2), (std::vector<std::int16_t>{3, 7, 9, 12}));
    EXPECT_EQ(int(s.bookmarks.bookmarkPages()[2].size()), 4);
    EXPECT_EQ(s.bookmarks.bookmarkCapacity()[2], 10);
    EXPECT_TRUE(s.bookmarks.bookmarksDirty());

    setTables(s, 4, {{1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}});
    EXPECT_EQ(s.bookmarks.bookmarkCapacity()[1], 10);
    s.book.currentSection = 1;
    s.book.pages.turnTo(11);
    addBookmark(s.bookmarks, s.book);
    EXPECT_EQ(s.bookmarks.bookmarkCapacity()[1], 20);
    EXPECT_EQ(int(s.bookmarks.bookmarkPages()[1].size()), 11);
    EXPECT_EQ(pages(s, 1).back(), 11);
}

TEST(BookmarkTables, DeleteRemovesOnlyThatPage)
{
    ReaderState s;
    setTables(s, 3, {{3, {2, 5, 8}}});
    s.bookmarks.markStored();
    s.book.currentSection = 3;
    s.book.pages.turnTo(4); // no bookmark there
    deleteBookmark(s.bookmarks, s.book);
    EXPECT_EQ(pages(s, 3), (std::vector<std::int16_t>{2, 5, 8}));
    EXPECT_FALSE(s.bookmarks.bookmarksDirty());
    s.book.pages.turnTo(5);
    deleteBookmark(s.bookmarks, s.book);
    EXPECT_EQ(pages(s, 3), (std::vector<std::int16_t>{2, 8}));
    EXPECT_EQ(int(s.bookmarks.bookmarkPages()[3].size()), 2);
    EXPECT_TRUE(s.bookmarks.bookmarksDirty());
    EXPECT_FALSE(currentPageHasBookmark(s.bookmarks, s.book));
    s.book.pages.turnTo(8);
    EXPECT_TRUE(currentPageHasBookmark(s.bookmarks, s.book));
}

TEST(BookmarkTables, SectionsOutsideTheTablesAreIgnored)
{
    ReaderState s;
    setTables(s, 2, {});
    s.book.currentSection = 7;
    s.book.pages.turnTo(1);
    addBookmark(s.bookmarks, s.book);
    deleteBookmark(s.bookmarks, s.book);
    findBookmarkNeighbours(s.bookmarks, s.book);
    EXPECT_FALSE(s.bookmarks.bookmarksDirty());
    EXPECT_FALSE(currentPageHasBookmark(s.bookmarks, s.book));
    EXPECT_EQ(s.bookmarks.nextMarkPage, 0);
    EXPECT_EQ(s.bookmarks.prevMarkPage, 0);
}

struct NeighbourCase {
    const char *name;
    int section, page;
    int nextSection, nextPage; // nextPage 0: none
    int prevSection, prevPage;
};

class Neighbours : public testing::TestWithParam<NeighbourCase> {};

TEST_P(Neighbours, AcrossSections)
{
    const NeighbourCase &c = GetParam();
    ReaderState s;
    // Section 0 carries a mark that no lookup may offer; section 6 lies past
    // the book's five sections.
    setTables(s, 6, {{0, {4}}, {2, {3, 9}}, {4, {5}}, {6, {1}}});
    s.book.sectionCount = 5;
    s.book.currentSection = std::int16_t(c.section);
    s.book.pages.turnTo(c.page);
    findBookmarkNeighbours(s.bookmarks, s.book);
    EXPECT_EQ(s.bookmarks.nextMarkPage, c.nextPage);
    if (c.nextPage) {
        EXPECT_EQ(s.bookmarks.nextMarkSection, c.nextSection);
    }
    EXPECT_EQ(s.bookmarks.prevMarkPage, c.prevPage);
    if (c.prevPage) {
        EXPECT_EQ(s.bookmarks.prevMarkSection, c.prevSection);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Neighbours,
                         testing::Values(NeighbourCase{"OnSecondOfSection", 2, 9, 4, 5, 2, 3},
                                         NeighbourCase{"BetweenTwoInSection", 2, 5, 2, 9, 2, 3},
                                         NeighbourCase{"OnFirstOfSection", 2, 3, 2, 9, 0, 0},
                                         NeighbourCase{"SectionWithout", 3, 1, 4, 5, 2, 9},
                                         NeighbourCase{"LastMarkNeverReachesPastTheBook", 4, 5, 0, 0, 2, 9},
                                         NeighbourCase{"AfterLastMarkInSection", 4, 8, 0, 0, 4, 5},
                                         NeighbourCase{"FirstSectionNeverLooksAtSectionZero", 1, 2, 2, 3, 0, 0}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(BookmarkRecord, TablesMakeTheStoredLayout)
{
    ReaderState s;
    setTables(s, 5, {{4, {5}}, {2, {9, 3}}});
    EXPECT_EQ(bookmarkRecordFromTables(s.bookmarks, 5), bookmarkRecordBytes({{2, {3, 9}}, {4, {5}}}));
    setTables(s, 5, {});
    EXPECT_EQ(bookmarkRecordFromTables(s.bookmarks, 5), std::string("\xFF\xFF", 2));
}

std::string little(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values) {
        out.push_back(char(v & 0xFF));
        out.push_back(char((v >> 8) & 0xFF));
    }
    return out;
}

struct RecordCase {
    const char *name;
    std::string record;
    Marks expected; // what the tables hold afterwards
};

class RecordLoad : public testing::TestWithParam<RecordCase> {};

TEST_P(RecordLoad, TakesTheRecordsListsAndNothingOutOfRange)
{
    const RecordCase &c = GetParam();
    ReaderState s;
    setTables(s, 3, {{1, {7}}}); // left over from another book: must not survive
    tablesFromBookmarkRecord(s.bookmarks, c.record, 3);
    ASSERT_EQ(s.bookmarks.bookmarkPages().size(), 4u);
    for (int t = 0; t <= 3; ++t) {
        std::vector<std::int16_t> want;
        for (const auto &[section, pages] : c.expected)
            if (section == t)
                want.assign(pages.begin(), pages.end());
        EXPECT_EQ(pages(s, t), want) << "section " << t;
        EXPECT_EQ(int(s.bookmarks.bookmarkPages()[std::size_t(t)].size()), std::int16_t(want.size()));
        EXPECT_GE(std::size_t(s.bookmarks.bookmarkCapacity()[std::size_t(t)]),
                  s.bookmarks.bookmarkPages()[std::size_t(t)].size());
        EXPECT_EQ(s.bookmarks.bookmarkCapacity()[std::size_t(t)] % 10, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, RecordLoad,
    testing::Values(RecordCase{"Empty", little({-1}), {}},
                    RecordCase{"TwoSections", little({1, 2, 4, 6, 3, 1, 2, -1}), {{1, {4, 6}}, {3, {2}}}},
                    RecordCase{"BytesAfterTerminatorIgnored", little({2, 1, 5, -1, 9, 9}), {{2, {5}}}},
                    RecordCase{"NothingAtAll", "", {}}, RecordCase{"NoTerminator", little({1, 1, 4}), {{1, {4}}}},
                    RecordCase{"SectionPastTheBook", little({4, 1, 1, 2, 1, 8, -1}), {{2, {8}}}},
                    RecordCase{"NegativeSection", little({-5, 1, 1, 3, 1, 2, -1}), {{3, {2}}}},
                    RecordCase{"PagesBelowOne", little({1, 3, 0, -3, 5, -1}), {{1, {5}}}},
                    RecordCase{"PagesDescending", little({1, 2, 5, 4, -1}), {{1, {4, 5}}}},
                    RecordCase{"SectionTwice", little({2, 1, 9, 2, 1, 3, -1}), {{2, {3, 9}}}},
                    RecordCase{"CountPastTheRecord", little({1, 30000, 1, 2}), {{1, {1, 2}}}},
                    RecordCase{"NegativeCountEndsTheRecord", little({1, 1, 6, 2, -2, 3, 1, 1, -1}), {{1, {6}}}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(BookmarkedBook, AppendsRecordElevenAndShiftsEveryOffset)
{
    const std::string old = makeBook(10);
    ASSERT_EQ(recordCount(old), 11);
    const std::string record = bookmarkRecordBytes({{2, {3, 9}}, {10, {1}}});
    std::string book;
    ASSERT_TRUE(bookWithBookmarkRecord(old, 10, record, book));

    EXPECT_EQ(book.size(), old.size() + 8 + record.size());
    EXPECT_EQ(book.substr(0, 76), old.substr(0, 76));
    EXPECT_EQ(book[76], 0);
    EXPECT_EQ(book[77], 12);
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(offsetOf(book, i), offsetOf(old, i) + 8) << i;
        EXPECT_EQ(book.substr(78 + 8 * std::size_t(i) + 4, 4), old.substr(78 + 8 * std::size_t(i) + 4, 4)) << i;
        EXPECT_EQ(recordBytes(book, i), recordBytes(old, i)) << i;
    }
    EXPECT_EQ(offsetOf(book, 11), old.size() + 8);
    EXPECT_EQ(book.substr(78 + 88 + 4, 4), std::string(4, '\0'));
    EXPECT_EQ(recordBytes(book, 11), record);

    // A second store rewrites record 11 in place and cuts the file after it.
    const std::string shorter = bookmarkRecordBytes({{4, {6}}});
    std::string again;
    ASSERT_TRUE(bookWithBookmarkRecord(book, 10, shorter, again));
    EXPECT_EQ(again.size(), book.size() - record.size() + shorter.size());
    EXPECT_EQ(recordCount(again), 12);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(offsetOf(again, i), offsetOf(book, i)) << i;
    EXPECT_EQ(recordBytes(again, 11), shorter);
    EXPECT_EQ(again.substr(0, offsetOf(book, 11)), book.substr(0, offsetOf(book, 11)));
}

TEST(BookmarkedBook, RecordsAfterTheBookmarkRecordAreKept)
{
    const std::vector<std::string> extra = {"first extra record", "second"};
    const std::string old = makeBook(3, bookmarkRecordBytes({{1, {2}}}), extra);
    ASSERT_EQ(recordCount(old), 7);
    for (const std::string &record : {bookmarkRecordBytes({{1, {2, 4, 6}}, {3, {1, 2}}}), little({-1})}) {
        std::string book;
        ASSERT_TRUE(bookWithBookmarkRecord(old, 3, record, book));
        EXPECT_EQ(recordCount(book), 7);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(recordBytes(book, i), recordBytes(old, i)) << i;
        EXPECT_EQ(recordBytes(book, 4), record);
        EXPECT_EQ(recordBytes(book, 5), extra[0]);
        EXPECT_EQ(recordBytes(book, 6), extra[1]);
    }
}

TEST(BookmarkedBook, GapBeforeFirstRecordMovesWithIt)
{
    // Some writers pad two bytes between the record list and record 0.
    std::string old = makeBook(2);
    const std::size_t listEnd = 78 + 8 * 3;
    old.insert(listEnd, "\0\0", 2);
    for (int i = 0; i < 3; ++i) {
        std::uint32_t o = offsetOf(old, i) + 2;
        for (int k = 0; k < 4; ++k)
            old[78 + 8 * std::size_t(i) + std::size_t(k)] = char(o >> (24 - 8 * k));
    }
    std::string book;
    ASSERT_TRUE(bookWithBookmarkRecord(old, 2, little({-1}), book));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(recordBytes(book, i), recordBytes(old, i)) << i;
    EXPECT_EQ(recordBytes(book, 3), little({-1}));
}

struct RefusedCase {
    const char *name;
    std::function<void(std::string &)> damage;
    int sectionCount;
};

class RefusedBook : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedBook, IsNotRewritten)
{
    std::string old = makeBook(3);
    GetParam().damage(old);
    std::string book = "untouched";
    EXPECT_FALSE(bookWithBookmarkRecord(old, GetParam().sectionCount, little({1, 1, 1, -1}), book));
}

void setOffset(std::string &b, int i, std::uint32_t v)
{
    for (int k = 0; k < 4; ++k)
        b[78 + 8 * std::size_t(i) + std::size_t(k)] = char(v >> (24 - 8 * k));
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedBook,
    testing::Values(RefusedCase{"Truncated", [](std::string &b) { b.resize(70); }, 3},
                    RefusedCase{"OtherCreator", [](std::string &b) { b[67] = 'X'; }, 3},
                    RefusedCase{"ListPastTheEnd", [](std::string &b) { b.resize(90); }, 3},
                    RefusedCase{"FewerRecordsThanSections", [](std::string &) {}, 4},
                    RefusedCase{"CountTopBitSet", [](std::string &b) { b[76] = char(0x80); }, 3},
                    RefusedCase{"RecordInsideTheList", [](std::string &b) { setOffset(b, 2, 80); }, 3},
                    RefusedCase{"RecordPastTheEnd", [](std::string &b) { setOffset(b, 1, 0x7FFFFFF0); }, 3}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(BookmarkedBook, FullRecordListCannotGrow)
{
    // 499 sections fill the 500 entries: one more record would make the book unreadable.
    BookRecipe spec;
    spec.title = u"滿";
    spec.sectionTexts.assign(499, u"字");
    std::string old;
    ASSERT_TRUE(writeBookBytes(spec, old));
    ASSERT_EQ(recordCount(old), 500);
    std::string book;
    EXPECT_FALSE(bookWithBookmarkRecord(old, 499, little({-1}), book));
}

// --- The store on real files

namespace {

struct StoreFixture : testing::Test {
    TestParts t;
    TempDir dir;
    std::string path = dir.file("book.updb");

    void openTables(int sections, const Marks &marks)
    {
        setTables(t.s, sections, {});
        t.s.bookmarks.bindTo(path, sections);
        for (const auto &[section, pages] : marks)
            for (int p : pages)
                t.s.bookmarks.add(section, std::int16_t(p));
    }
};

// Wraps the real file system and fails the write step numbered failAt (1 =
// the first). With crash set, every call after the failure fails too, as if
// the machine went down there. A failed write leaves half its bytes written.
class FailingFiles final : public Files {
public:
    Files &real = systemFiles();
    int failAt = 0;
    bool crash = false;
    int steps = 0;
    bool failed = false;

    bool step()
    {
        if (failed && crash)
            return false;
        if (++steps == failAt) {
            failed = true;
            return false;
        }
        return true;
    }
    bool down() const { return failed && crash; }

    int openRead(const std::string &p) override { return down() ? -1 : real.openRead(p); }
    int createNew(std::string &p) override { return step() ? real.createNew(p) : -1; }
    void close(int h) override { real.close(h); }
    std::int64_t size(int h) override { return real.size(h); }
    std::int64_t seek(int h, std::int64_t p) override { return real.seek(h, p); }
    std::int64_t read(int h, void *b, std::int64_t n) override { return real.read(h, b, n); }
    bool write(int h, const void *b, std::int64_t n) override
    {
        if (!step()) {
            if (!down() || steps == failAt)
                real.write(h, b, n / 2);
            return false;
        }
        return real.write(h, b, n);
    }
    bool flush(int h) override { return step() && real.flush(h); }
    bool isWritableFile(const std::string &p) override { return real.isWritableFile(p); }
    bool exists(const std::string &p) override { return real.exists(p); }
    bool isDirectory(const std::string &p) override { return real.isDirectory(p); }
    bool isWritableDirectory(const std::string &p) override { return real.isWritableDirectory(p); }
    bool makeDirectory(const std::string &p) override { return step() && real.makeDirectory(p); }
    bool remove(const std::string &p) override { return step() && real.remove(p); }
    bool copy(const std::string &f, const std::string &to) override { return step() && real.copy(f, to); }
    bool rename(const std::string &f, const std::string &to) override { return step() && real.rename(f, to); }
    std::vector<std::string> list(const std::string &f) override { return real.list(f); }
};

} // namespace

TEST_F(StoreFixture, WritesTheTablesAndClearsDirty)
{
    const std::string old = makeBook(10);
    writeFile(path, old);
    openTables(10, {{2, {3, 9}}, {10, {1}}});
    storeBookmarks(*t.files, t.s.bookmarks);
    EXPECT_FALSE(t.s.bookmarks.bookmarksDirty());
    std::string expected;
    ASSERT_TRUE(bookWithBookmarkRecord(old, 10, bookmarkRecordBytes({{2, {3, 9}}, {10, {1}}}), expected));
    EXPECT_EQ(readFile(path), expected);
    EXPECT_FALSE(t.files->exists(path + ".pagora-new"));

    // Not dirty: nothing is written even when the file changed meanwhile.
    writeFile(path, old);
    storeBookmarks(*t.files, t.s.bookmarks);
    EXPECT_EQ(readFile(path), old);
}

TEST_F(StoreFixture, SecondStoreReadsTheFileAsItIsNow)
{
    // The open stream and the in-memory record table still describe the book
    // as opened; the second store must not append a second record.
    const std::string old = makeBook(10);
    writeFile(path, old);
    Files &files = systemFiles();
    const int stream = files.openRead(path);
    openTables(10, {{3, {4}}});
    storeBookmarks(*t.files, t.s.bookmarks);
    t.s.book.currentSection = 5;
    t.s.book.pages.turnTo(2);
    addBookmark(t.s.bookmarks, t.s.book);
    storeBookmarks(*t.files, t.s.bookmarks);

    const std::string book = readFile(path);
    EXPECT_EQ(recordCount(book), 12);
    EXPECT_EQ(recordBytes(book, 11), bookmarkRecordBytes({{3, {4}}, {5, {2}}}));
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(recordBytes(book, i), recordBytes(old, i));

    // The stream opened before the stores still reads the old bytes whole.
    std::string seen(old.size(), '\0');
    ASSERT_EQ(files.seek(stream, 0), 0);
    EXPECT_EQ(files.read(stream, seen.data(), std::int64_t(seen.size())), std::int64_t(old.size()));
    EXPECT_EQ(seen, old);
    files.close(stream);
}

TEST_F(StoreFixture, ReadOnlyBookKeepsItsMarksForTheSession)
{
    const std::string old = makeBook(3);
    writeFile(path, old);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    openTables(3, {{1, {2}}});
    storeBookmarks(*t.files, t.s.bookmarks);
    EXPECT_EQ(readFile(path), old);
    EXPECT_EQ(pages(t.s, 1), (std::vector<std::int16_t>{2}));
    EXPECT_TRUE(t.dialogs.messages.empty());
    EXPECT_FALSE(t.files->exists(path + ".pagora-new"));
}

TEST_F(StoreFixture, KeepsTheBooksPermissions)
{
    writeFile(path, makeBook(3));
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    openTables(3, {{1, {2}}});
    storeBookmarks(*t.files, t.s.bookmarks);
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(recordCount(readFile(path)), 5);
}

TEST_F(StoreFixture, FreedTablesNeverWipeTheBooksMarks)
{
    const std::string old = makeBook(3, bookmarkRecordBytes({{2, {4}}}));
    writeFile(path, old);
    openTables(3, {{1, {2}}});
    t.s.bookmarks.release(); // released with the catalogue, still marked dirty
    storeBookmarks(*t.files, t.s.bookmarks);
    EXPECT_EQ(readFile(path), old);
}

TEST_F(StoreFixture, MissingOrDamagedBookIsLeftAlone)
{
    openTables(3, {{1, {2}}});
    storeBookmarks(*t.files, t.s.bookmarks); // no file at all: none is created
    EXPECT_FALSE(t.files->exists(path));

    const std::string damaged = makeBook(3).substr(0, 100);
    writeFile(path, damaged);
    openTables(3, {{1, {2}}});
    storeBookmarks(*t.files, t.s.bookmarks);
    EXPECT_EQ(readFile(path), damaged);
}

TEST_F(StoreFixture, WritesTheBookItWasLoadedFromWhateverShelfIsShown)
{
    writeFile(path, makeBook(3));
    openTables(3, {{2, {1}}});
    t.s.shelf.shelfPath = dir.path() + "elsewhere/";
    t.s.book.sectionCount = 9; // another book's count on screen
    storeBookmarks(*t.files, t.s.bookmarks);
    EXPECT_EQ(recordBytes(readFile(path), 4), bookmarkRecordBytes({{2, {1}}}));
    EXPECT_FALSE(t.files->exists(dir.path() + "elsewhere/book.updb"));
}

class InterruptedStore : public StoreFixture, public testing::WithParamInterface<bool> {};

TEST_P(InterruptedStore, LeavesTheOldOrTheNewBookWhole)
{
    // Both the first store (append) and a later one (rewrite) are broken at
    // every write step in turn.
    for (const auto &[before, marks] : {std::pair{makeBook(10), Marks{{2, {3, 9}}}},
                                        std::pair{makeBook(10, bookmarkRecordBytes({{1, {1}}})), Marks{{4, {6}}}}}) {
        std::string after;
        ASSERT_TRUE(bookWithBookmarkRecord(before, 10, bookmarkRecordBytes(marks), after));
        bool completed = false;
        for (int n = 1; !completed && n < 20; ++n) {
            writeFile(path, before);
            FailingFiles files;
            files.failAt = n;
            files.crash = GetParam();
            t.files = &files;
            openTables(10, marks);
            storeBookmarks(*t.files, t.s.bookmarks);
            const std::string now = readFile(path);
            EXPECT_TRUE(now == before || now == after) << "failing step " << n;
            completed = !files.failed;
            if (completed) {
                EXPECT_EQ(now, after);
            } else if (!GetParam()) {
                EXPECT_FALSE(systemFiles().exists(path + ".pagora-new")) << "failing step " << n;
            }
            t.files = &systemFiles();
            systemFiles().remove(path + ".pagora-new");
        }
        EXPECT_TRUE(completed);
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, InterruptedStore, testing::Values(false, true),
                         [](const auto &info) { return info.param ? "Crash" : "Failure"; });

// --- Read back by the tool and by the reader

namespace {

// `pagora-book info` on a file: its one line of JSON.
std::string bookInfo(const std::string &path)
{
    const char *build = std::getenv("PAGORA_BUILD_DIR");
    if (!build)
        return {};
    const std::string command = std::string(build) + "/pagora-book info '" + path + "'";
    std::string out;
    if (FILE *pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

std::string between(const std::string &text, const std::string &from, const std::string &to)
{
    const std::size_t a = text.find(from);
    if (a == std::string::npos)
        return "(no " + from + ")";
    const std::size_t b = text.find(to, a + from.size());
    return text.substr(a + from.size(), b == std::string::npos ? std::string::npos : b - a - from.size());
}

// Opens the book the way the shelf operations do and loads its bookmarks.
bool reopen(TestParts &t, const std::string &folder, const std::string &name)
{
    ReaderState &s = t.s;
    s.shelf.shelfPath = folder;
    s.shelf.clearCatalogue();
    if (!addBook(*t.files, t.s.shelf, name))
        return false;
    s.shelf.select(0);
    if (!openBookFile(*t.files, t.s.shelf, t.s.book))
        return false;
    s.book.sectionCount = s.shelf.catalogue()[0].sectionCount;
    if (!loadContents(t.s.book, t.s.shelf.selectedEntry()))
        return false;
    loadBookmarks(*t.files, t.s.bookmarks, t.s.shelf, t.s.book);
    return true;
}

} // namespace

TEST_F(StoreFixture, EachStoreReadsBackThroughTheToolAndTheReader)
{
    writeFile(path, makeBook(10));
    TestParts reader;
    ASSERT_TRUE(reopen(reader, dir.path(), "book.updb"));
    ReaderState &s = reader.s;
    EXPECT_EQ(s.book.bookFile.recordCount(), 11);
    for (const auto &[section, page] : {std::pair{2, 9}, {2, 3}, {10, 1}}) {
        s.book.currentSection = std::int16_t(section);
        s.book.pages.turnTo(page);
        addBookmark(s.bookmarks, s.book);
    }
    storeBookmarks(*reader.files, reader.s.bookmarks); // the book stays open meanwhile

    std::string info = bookInfo(path);
    EXPECT_EQ(between(info, "\"records\":", ","), "12");
    EXPECT_EQ(between(info, "\"bookmarks\":{", "}"), "\"2\":[3,9],\"10\":[1]");
    EXPECT_EQ(between(info, "\"sectionLengths\":[", "]"), "3,4,5,6,7,8,9,10,11,12");

    reader.s.book.bookFile.close();
    TestParts second;
    ASSERT_TRUE(reopen(second, dir.path(), "book.updb"));
    ReaderState &s2 = second.s;
    EXPECT_EQ(s2.book.bookFile.recordCount(), 12);
    EXPECT_EQ(pages(s2, 2), (std::vector<std::int16_t>{3, 9}));
    EXPECT_EQ(pages(s2, 10), std::vector<std::int16_t>{1});
    s2.book.currentSection = 2;
    s2.book.pages.turnTo(9);
    deleteBookmark(s2.bookmarks, s2.book);
    s2.book.currentSection = 7;
    s2.book.pages.turnTo(4);
    addBookmark(s2.bookmarks, s2.book);
    storeBookmarks(*second.files, second.s.bookmarks);

    info = bookInfo(path);
    EXPECT_EQ(between(info, "\"records\":", ","), "12");
    EXPECT_EQ(between(info, "\"bookmarks\":{", "}"), "\"2\":[3],\"7\":[4],\"10\":[1]");
    second.s.book.bookFile.close();
    TestParts third;
    ASSERT_TRUE(reopen(third, dir.path(), "book.updb"));
    EXPECT_EQ(pages(third.s, 2), std::vector<std::int16_t>{3});
    EXPECT_EQ(pages(third.s, 7), std::vector<std::int16_t>{4});
    EXPECT_EQ(pages(third.s, 10), std::vector<std::int16_t>{1});
    third.s.book.bookFile.close();
}

TEST_F(StoreFixture, OpeningAnotherBookStoresTheMarksOfTheFirst)
{
    writeFile(path, makeBook(3));
    writeFile(dir.file("other.updb"), makeBook(2));
    TestParts reader;
    ASSERT_TRUE(reopen(reader, dir.path(), "book.updb"));
    reader.s.book.currentSection = 2;
    reader.s.book.pages.turnTo(5);
    addBookmark(reader.s.bookmarks, reader.s.book);
    reader.s.book.bookFile.close();
    ASSERT_TRUE(reopen(reader, dir.path(), "other.updb"));
    EXPECT_TRUE(pages(reader.s, 2).empty());
    reader.s.book.bookFile.close();
    EXPECT_EQ(recordBytes(readFile(path), 4), bookmarkRecordBytes({{2, {5}}}));
}

TEST_F(StoreFixture, OpeningTakesOnlyTheSoundListsOfTheRecord)
{
    // Section 40 of a 3-section book, a page of 0 and a count running past the
    // record: none of it may reach the tables as an index.
    writeFile(path, makeBook(3, little({1, 2, 0, 7, 40, 1, 5, 3, 9000, 2})));
    TestParts reader;
    ASSERT_TRUE(reopen(reader, dir.path(), "book.updb"));
    EXPECT_EQ(pages(reader.s, 1), std::vector<std::int16_t>{7});
    EXPECT_EQ(pages(reader.s, 3), std::vector<std::int16_t>{2});
    EXPECT_EQ(reader.s.bookmarks.bookmarkPages().size(), 4u);
    reader.s.book.bookFile.close();

    // Without a bookmark record the tables are empty, whatever they held.
    writeFile(dir.file("plain.updb"), makeBook(3));
    reader.s.book.currentSection = 2;
    reader.s.book.pages.turnTo(1);
    addBookmark(reader.s.bookmarks, reader.s.book);
    reader.s.bookmarks.markStored();
    ASSERT_TRUE(reopen(reader, dir.path(), "plain.updb"));
    for (int t = 0; t <= 3; ++t)
        EXPECT_TRUE(pages(reader.s, t).empty()) << t;
    reader.s.book.bookFile.close();
}
