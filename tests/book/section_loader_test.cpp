#include "book_bytes.h"

#include "book/book_records.h"

#include <gtest/gtest.h>

#include <functional>

using namespace pagora;

namespace {

using namespace std::string_literals;
using E = BookEncoding;

class BothEncodings : public ::testing::TestWithParam<E> {};
INSTANTIATE_TEST_SUITE_P(Books, BothEncodings, ::testing::Values(E::CP950, E::UTF16LE),
                         [](const auto &info) { return info.param == E::CP950 ? "Cp950" : "Utf16"; });

TEST_P(BothEncodings, AddBookBuildsTheEntryAndClosesTheFile)
{
    ShelfFolder shelf;
    BookRecipe spec;
    spec.encoding = GetParam();
    spec.title = u"道德經";
    spec.sectionTitles = {u"第一章", u"第二章", u"第三章"};
    spec.sectionTexts = {u"道可道", u"天下皆知", u"不尚賢"};
    std::string bytes;
    ASSERT_TRUE(writeBookBytes(spec, bytes));
    shelf.s.shelf.maxSectionCount = 2;
    ASSERT_TRUE(shelf.add("dao.book", bytes));
    ASSERT_EQ(shelf.s.shelf.catalogue().size(), 1u);
    const BookEntry &e = shelf.s.shelf.catalogue()[0];
    EXPECT_EQ(e.title, u"道德經");
    EXPECT_EQ(e.sectionCount, 3);
    EXPECT_EQ(e.lastSection, 1);
    EXPECT_EQ(e.lastPage, 1);
    EXPECT_EQ(e.fileName, "dao.book");
    // 8 bytes, title, separators and the count "3", then the table.
    const int unit = GetParam() == E::UTF16LE ? 2 : 1;
    EXPECT_EQ(e.tocOffset, 8 + 6 + 4 * unit + 1 * unit);
    EXPECT_EQ(shelf.s.shelf.bookCount(), 1);
    EXPECT_EQ(shelf.s.shelf.maxSectionCount, 3);
    EXPECT_FALSE(shelf.s.book.bookFile.isOpen());

    // A smaller book never lowers maxSectionCount.
    spec.sectionTexts.resize(1);
    ASSERT_TRUE(writeBookBytes(spec, bytes));
    ASSERT_TRUE(shelf.add("small.book", bytes));
    EXPECT_EQ(shelf.s.shelf.maxSectionCount, 3);
    EXPECT_EQ(shelf.s.shelf.bookCount(), 2);
}

TEST_P(BothEncodings, OpenLoadsContentsAndEverySection)
{
    ShelfFolder shelf;
    const E e = GetParam();
    ASSERT_TRUE(shelf.add("b", simpleBook(e, {u"天地玄黃\r\n宇宙洪荒", u"日月盈昃"})));
    ASSERT_TRUE(shelf.open(0));
    EXPECT_EQ(shelf.s.shelf.openBook(), 0);
    EXPECT_TRUE(shelf.s.book.bookFile.isOpen());
    shelf.s.book.currentSection = 2;
    shelf.s.book.setSectionText(u"七個字的舊正文");
    ASSERT_TRUE(loadContents(shelf.t.s.book, shelf.t.s.shelf.selectedEntry()));
    EXPECT_EQ(shelf.s.book.contentsList, (std::vector<std::u16string>{u"T1", u"T2"}));
    // The contents are read beside the section shown, never in its place.
    EXPECT_EQ(shelf.s.book.currentSection, 2);
    EXPECT_EQ(shelf.s.book.textLength(), 7);
    ASSERT_TRUE(shelf.load(1));
    EXPECT_EQ(shelf.s.book.sectionText(), u"天地玄黃\r\n宇宙洪荒");
    EXPECT_EQ(shelf.s.book.textLength(), 10);
    ASSERT_TRUE(shelf.load(2));
    EXPECT_EQ(shelf.s.book.sectionText(), u"日月盈昃");
}

TEST_P(BothEncodings, OpeningAnotherBookClosesTheFirst)
{
    ShelfFolder shelf;
    ASSERT_TRUE(shelf.add("a", simpleBook(GetParam(), {u"一"})));
    ASSERT_TRUE(shelf.add("b", simpleBook(GetParam(), {u"二"})));
    ASSERT_TRUE(shelf.open(0));
    ASSERT_TRUE(shelf.open(1));
    EXPECT_EQ(shelf.s.shelf.openBook(), 1);
    EXPECT_EQ(shelf.files.openHandles, 1) << "the first handle was closed";
    ASSERT_TRUE(shelf.load(1));
    EXPECT_EQ(shelf.s.book.sectionText(), u"二");
    // A scan while a book is open reads the new file beside it.
    ASSERT_TRUE(shelf.add("c", simpleBook(GetParam(), {u"三"})));
    EXPECT_EQ(shelf.files.openHandles, 1);
    ASSERT_TRUE(shelf.load(1));
    EXPECT_EQ(shelf.s.book.sectionText(), u"二");
    ASSERT_TRUE(shelf.open(2));
    EXPECT_EQ(shelf.files.openHandles, 1);
}

TEST(OpenBookFile, FailsWithoutLeavingAFileOpenAndKeepsSectionCount)
{
    ShelfFolder shelf;
    ASSERT_TRUE(shelf.add("a", simpleBook(E::CP950, {u"一", u"二"})));
    ASSERT_TRUE(shelf.open(0));
    shelf.s.book.sectionCount = 7;
    writeFile(shelf.dir.file("a"), "damaged");
    BookFault fault = BookFault::None;
    EXPECT_FALSE(openBookFile(*shelf.t.files, shelf.t.s.shelf, shelf.t.s.book, &fault));
    EXPECT_EQ(fault, BookFault::ShortHeader);
    EXPECT_FALSE(shelf.s.book.bookFile.isOpen());
    EXPECT_EQ(shelf.s.book.sectionCount, 7);
    shelf.s.shelf.select(-1);
    EXPECT_FALSE(openBookFile(*shelf.t.files, shelf.t.s.shelf, shelf.t.s.book));
}

// --- Header records that reject the book.

struct HeaderRow {
    const char *name;
    E encoding;
    std::function<std::string(E)> header; // record 0
    BookFault fault;
};

class HeaderRecord : public ::testing::TestWithParam<HeaderRow> {};

TEST_P(HeaderRecord, RejectsOrAccepts)
{
    const HeaderRow &row = GetParam();
    const std::string bytes = containerBytes(row.encoding, {row.header(row.encoding), "text" + std::string(1, '\0')});
    ShelfFolder shelf;
    shelf.s.shelf.maxSectionCount = 0;
    BookFault fault = BookFault::None;
    EXPECT_EQ(shelf.add("h", bytes, &fault), row.fault == BookFault::None);
    EXPECT_EQ(fault, row.fault);
    EXPECT_FALSE(shelf.s.book.bookFile.isOpen());
    if (row.fault != BookFault::None) {
        EXPECT_EQ(shelf.s.shelf.maxSectionCount, 0); // a rejected book sizes nothing
    }
}

// Field 2 padded so that the table of contents starts at tocStart.
std::string headerWithTocAt(E e, int tocStart)
{
    const int unit = e == E::UTF16LE ? 2 : 1;
    // 8 + title "T" + sep + pad + sep + sep + "1" + sep; in UTF-16 the table
    // starts right behind the last separator's zero byte.
    const int fixed = 8 + 6 * unit;
    const std::string pad(std::size_t(tocStart - fixed), 'x');
    return std::string(8, '\0') + enc(e, u"T") + sep(e) + pad + sep(e) + sep(e) + enc(e, u"1") + sep(e) +
           enc(e, u"目錄");
}

INSTANTIATE_TEST_SUITE_P(
    Books, HeaderRecord,
    ::testing::Values(
        HeaderRow{"EmptyTitle", E::CP950, [](E e) { return headerRecord(e, u"", "1", "A"); }, BookFault::EmptyTitle},
        HeaderRow{"ShorterThanEightBytes", E::UTF16LE, [](E) { return std::string("abc"); }, BookFault::EmptyTitle},
        HeaderRow{"SectionCountZero", E::CP950, [](E e) { return headerRecord(e, u"T", "0", "A"); },
                  BookFault::BadSectionCount},
        HeaderRow{"SectionCountMissing", E::UTF16LE, [](E e) { return headerRecord(e, u"T", "", ""); },
                  BookFault::BadSectionCount},
        HeaderRow{"SectionCountWrapsNegative", E::CP950, [](E e) { return headerRecord(e, u"T", "40000", ""); },
                  BookFault::BadSectionCount},
        HeaderRow{"CountBeyondRecordsIsKept", E::CP950, [](E e) { return headerRecord(e, u"T", "9", ""); },
                  BookFault::None},
        HeaderRow{"TocAt32767", E::CP950, [](E e) { return headerWithTocAt(e, 32767); }, BookFault::None},
        HeaderRow{"TocAt32768", E::CP950, [](E e) { return headerWithTocAt(e, 32768); }, BookFault::TocTooFar},
        HeaderRow{"Utf16TocAt32767", E::UTF16LE, [](E e) { return headerWithTocAt(e, 32767); }, BookFault::None},
        HeaderRow{"Utf16TocAt32768", E::UTF16LE, [](E e) { return headerWithTocAt(e, 32768); }, BookFault::TocTooFar},
        HeaderRow{"OneByteCp950Record", E::CP950, [](E) { return std::string("T"); }, BookFault::HeaderRecordUnusable},
        HeaderRow{"EmptyRecord", E::UTF16LE, [](E) { return std::string(); }, BookFault::HeaderRecordUnusable}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(HeaderRecord, TocAtTheLimitIsFoundAgain)
{
    for (E e : {E::CP950, E::UTF16LE}) {
        ShelfFolder shelf;
        ASSERT_TRUE(shelf.add("h", containerBytes(e, {headerWithTocAt(e, 32767), enc(e, u"文") + '\0'})));
        EXPECT_EQ(shelf.s.shelf.catalogue()[0].tocOffset, 32767);
        ASSERT_TRUE(shelf.open(0));
        ASSERT_TRUE(loadContents(shelf.t.s.book, shelf.t.s.shelf.selectedEntry()));
        EXPECT_EQ(shelf.s.book.contentsList, std::vector<std::u16string>{u"目錄"});
    }
}

// --- Table of contents forms.

struct TocRow {
    const char *name;
    E encoding;
    std::string count;
    std::string toc; // raw bytes after field 4
    std::vector<std::u16string> contents;
};

class Contents : public ::testing::TestWithParam<TocRow> {};

TEST_P(Contents, FillsContentsList)
{
    const TocRow &row = GetParam();
    ShelfFolder shelf;
    ASSERT_TRUE(shelf.add("c", containerBytes(row.encoding, {headerRecord(row.encoding, u"T", row.count, row.toc),
                                                             enc(row.encoding, u"文") + '\0'})));
    ASSERT_TRUE(shelf.open(0));
    shelf.s.book.contentsList = {u"old"};
    ASSERT_TRUE(loadContents(shelf.t.s.book, shelf.t.s.shelf.selectedEntry()));
    EXPECT_EQ(shelf.s.book.contentsList, row.contents);
}

const E C = E::CP950;
const E U = E::UTF16LE;

INSTANTIATE_TEST_SUITE_P(
    Books, Contents,
    ::testing::Values(TocRow{"Cp950Fields",
                             C,
                             "3",
                             "A\x1B"
                             "B\x1B"
                             "C",
                             {u"A", u"B", u"C"}},
                      TocRow{"Cp950FewerTitles",
                             C,
                             "4",
                             "A\x1B"
                             "B",
                             {u"A", u"B"}},
                      TocRow{"Cp950EmptyTitleSkipped",
                             C,
                             "3",
                             "A\x1B\x1B"
                             "C",
                             {u"A", u"C"}},
                      TocRow{"Cp950OnlyCountTitles",
                             C,
                             "2",
                             "A\x1B"
                             "B\x1B"
                             "C",
                             {u"A", u"B"}},
                      TocRow{"Cp950Decoded", C, "1", enc(C, u"目錄"), {u"目錄"}},
                      TocRow{"Utf16CrLf", U, "2", encodeUtf16le(u"A\r\nB\r\n"), {u"A", u"B"}},
                      TocRow{"Utf16NoFinalBreak", U, "2", encodeUtf16le(u"A\r\nB"), {u"A", u"B"}},
                      TocRow{"Utf16EmptyLine", U, "3", encodeUtf16le(u"A\r\n\r\nB"), {u"A", u"", u"B"}},
                      TocRow{"Utf16MoreLinesThanSections", U, "1", encodeUtf16le(u"A\nB\nC"), {u"A", u"B", u"C"}},
                      TocRow{"Utf16EndsAtNul", U, "2", encodeUtf16le(std::u16string(u"A\0B", 3)), {u"A"}},
                      TocRow{"Utf16OddByteDropped", U, "1", encodeUtf16le(u"AB") + "C", {u"AB"}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Contents, FailedLoadLeavesTheListAsItWas)
{
    ShelfFolder shelf;
    ASSERT_TRUE(shelf.add("c", simpleBook(E::UTF16LE, {u"文"})));
    ASSERT_TRUE(shelf.open(0));
    shelf.s.book.contentsList = {u"old"};
    shelf.s.book.currentSection = 1;
    shelf.files.shortReadAt = shelf.files.readCalls + 1;
    EXPECT_FALSE(loadContents(shelf.t.s.book, shelf.t.s.shelf.selectedEntry()));
    EXPECT_EQ(shelf.s.book.contentsList, std::vector<std::u16string>{u"old"});
    EXPECT_EQ(shelf.s.book.currentSection, 1);
}

// --- Loading one record.

struct RecordRow {
    const char *name;
    E encoding;
    std::vector<std::string> records; // record 0 is a header with sectionCount 2
    std::function<void(std::string &)> patch;
    int section;
    bool ok;
    std::u16string text;
};

class LoadRecord : public ::testing::TestWithParam<RecordRow> {};

TEST_P(LoadRecord, GivesTextOrFailsEmpty)
{
    const RecordRow &row = GetParam();
    std::vector<std::string> records = {headerRecord(row.encoding, u"T", "2", "")};
    records.insert(records.end(), row.records.begin(), row.records.end());
    std::string bytes = containerBytes(row.encoding, records);
    if (row.patch)
        row.patch(bytes);
    ShelfFolder shelf;
    ASSERT_TRUE(shelf.add("r", bytes));
    ASSERT_TRUE(shelf.open(0));
    shelf.s.book.setSectionText(u"previous");
    EXPECT_EQ(shelf.load(row.section), row.ok);
    if (row.ok) {
        EXPECT_EQ(shelf.s.book.sectionText(), row.text);
        EXPECT_EQ(shelf.s.book.textLength(), std::int32_t(row.text.size()));
    } else {
        // A failed load shows nothing but keeps the old text.
        EXPECT_EQ(shelf.s.book.textLength(), 0);
        EXPECT_EQ(shelf.s.book.sectionText(), u"previous");
    }
    EXPECT_LE(shelf.s.book.bookFile.bufferBytes(), bytes.size());
}

INSTANTIATE_TEST_SUITE_P(
    Books, LoadRecord,
    ::testing::Values(
        RecordRow{"Cp950TenBytesGiveNine", C, {"abcdefghij", "x"}, nullptr, 1, true, u"abcdefghi"},
        RecordRow{"Utf16TenBytesGiveFive", U, {"a\0b\0c\0d\0e\0"s, "x\0"s}, nullptr, 1, true, u"abcde"},
        RecordRow{"Cp950CutInsideCharacter", C, {"\xA4\xA4\xA4" + std::string(1, '\0')}, nullptr, 1, true, u"中\uFFFD"},
        RecordRow{"Utf16OddByteCount", U, {"a\0b\0c"s}, nullptr, 1, true, u"ab"},
        RecordRow{"LastRecordEndsAtFileSize", U, {"a\0"s, "b\0"s}, [](std::string &b) { b += "c\0"s; }, 2, true, u"bc"},
        RecordRow{"EntryBeyondCountIsIgnored",
                  U,
                  {"a\0"s, "b\0"s},
                  [](std::string &b) { putBig16At(b, 76, 2); },
                  1,
                  true,
                  u"ab"},
        RecordRow{"SectionAtRecordCount", U, {"a\0"s}, nullptr, 2, false, u""},
        RecordRow{"NegativeSection", U, {"a\0"s}, nullptr, -1, false, u""},
        RecordRow{"Cp950OneByteRecord", C, {std::string(1, '\0'), "b\0"s}, nullptr, 1, false, u""},
        RecordRow{"EmptyRecord", U, {"", "b\0"s}, nullptr, 1, false, u""},
        RecordRow{"StartBeyondFile",
                  U,
                  {"a\0"s, "b\0"s},
                  [](std::string &b) { putBig32At(b, entryAt(2), std::uint32_t(b.size() + 1)); },
                  2,
                  false,
                  u""},
        RecordRow{"StartAtFileSize",
                  U,
                  {"a\0"s, "b\0"s},
                  [](std::string &b) { putBig32At(b, entryAt(2), std::uint32_t(b.size())); },
                  2,
                  false,
                  u""},
        RecordRow{"EndFarBeyondFile",
                  U,
                  {"a\0"s, "b\0"s},
                  [](std::string &b) { putBig32At(b, entryAt(2), 0xFFFFFFF0u); },
                  1,
                  false,
                  u""},
        RecordRow{"EndBeforeStart",
                  U,
                  {"a\0"s, "b\0"s},
                  [](std::string &b) { putBig32At(b, entryAt(2), 10); },
                  1,
                  false,
                  u""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(LoadRecord, AbsentSectionsOfACountBeyondTheRecordsLoadEmpty)
{
    ShelfFolder shelf;
    // The header claims 5 sections, the file holds 2.
    ASSERT_TRUE(shelf.add("r", containerBytes(U, {headerRecord(U, u"T", "5", ""), "a\0"s, "b\0"s})));
    ASSERT_TRUE(shelf.open(0));
    EXPECT_EQ(shelf.s.book.sectionCount, 5);
    EXPECT_TRUE(shelf.load(2));
    for (int section : {3, 4, 5}) {
        EXPECT_FALSE(shelf.load(section));
        EXPECT_EQ(shelf.s.book.textLength(), 0);
    }
}

TEST(LoadRecord, RecordsAfterTheSectionsAreReadWholeAndNotDecoded)
{
    for (E e : {C, U}) {
        ShelfFolder shelf;
        BookRecipe spec;
        spec.encoding = e;
        spec.title = u"T";
        spec.sectionTexts = {u"文"};
        spec.bookmarkRecord = bookmarkRecordBytes({{1, {2, 3}}});
        std::string bytes;
        ASSERT_TRUE(writeBookBytes(spec, bytes));
        ASSERT_TRUE(shelf.add("m", bytes));
        ASSERT_TRUE(shelf.open(0));
        ASSERT_TRUE(shelf.load(1));
        const std::span<const std::uint8_t> record = shelf.s.book.bookFile.record(2);
        EXPECT_EQ(std::string(record.begin(), record.end()), *spec.bookmarkRecord);
        EXPECT_FALSE(shelf.load(2)) << "a record after the sections is no section";
        EXPECT_EQ(shelf.s.book.sectionText(), u"文");
    }
}

TEST(LoadRecord, ShortReadOrFailedSeekFailsEmptyKeepingTheOldText)
{
    for (bool seekFails : {false, true}) {
        ShelfFolder shelf;
        ASSERT_TRUE(shelf.add("r", simpleBook(U, {u"一二三", u"四五六"})));
        ASSERT_TRUE(shelf.open(0));
        // Section 1 read after section 2 needs a seek back.
        ASSERT_TRUE(shelf.load(2));
        shelf.files.failSeek = seekFails;
        shelf.files.shortReadAt = seekFails ? -1 : shelf.files.readCalls + 1;
        EXPECT_FALSE(shelf.load(1));
        EXPECT_EQ(shelf.s.book.textLength(), 0);
        EXPECT_EQ(shelf.s.book.sectionText(), u"四五六");
    }
}

TEST(AddBook, SkipsFilesThatCannotBeOpenedOrSized)
{
    ShelfFolder shelf;
    BookFault fault = BookFault::None;
    EXPECT_FALSE(addBook(*shelf.t.files, shelf.t.s.shelf, "missing.pdb", &fault));
    EXPECT_EQ(fault, BookFault::CannotOpen);
    writeFile(shelf.dir.file("big.pdb"), simpleBook(C, {u"文"}));
    shelf.files.sizeOverride = std::int64_t(1) << 31;
    EXPECT_FALSE(addBook(*shelf.t.files, shelf.t.s.shelf, "big.pdb", &fault));
    EXPECT_EQ(fault, BookFault::TooLarge);
    shelf.files.sizeOverride = -1;
    EXPECT_FALSE(addBook(*shelf.t.files, shelf.t.s.shelf, "big.pdb", &fault));
    EXPECT_EQ(fault, BookFault::EmptyFile);
    EXPECT_FALSE(shelf.s.book.bookFile.isOpen());
    EXPECT_TRUE(shelf.s.shelf.catalogue().empty());
}

} // namespace
