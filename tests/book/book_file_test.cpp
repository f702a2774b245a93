#include "book_bytes.h"

#include "book/book_records.h"

#include <gtest/gtest.h>

#include <functional>

using namespace pagora;

namespace {

using E = BookEncoding;

std::span<const std::uint8_t> bytesOf(const std::string &s)
{
    return {reinterpret_cast<const std::uint8_t *>(s.data()), s.size()};
}

// --- Validation: creator, record count, short files.

struct ValidationRow {
    const char *name;
    E encoding;           // of the book before patching
    std::string fileName; // the name never decides the encoding
    std::function<void(std::string &)> patch;
    BookFault fault; // None: accepted
    E readAs = E::CP950;
};

class Validation : public ::testing::TestWithParam<ValidationRow> {};

TEST_P(Validation, AcceptsOrNamesTheCheck)
{
    const ValidationRow &row = GetParam();
    std::string bytes = simpleBook(row.encoding, {u"甲乙丙丁"});
    if (row.patch)
        row.patch(bytes);
    ShelfFolder shelf;
    BookFault fault = BookFault::None;
    const bool ok = shelf.add(row.fileName, bytes, &fault);
    EXPECT_EQ(fault, row.fault);
    EXPECT_EQ(ok, row.fault == BookFault::None);
    EXPECT_FALSE(shelf.s.book.bookFile.isOpen());
    if (ok) {
        ASSERT_EQ(shelf.s.shelf.catalogue().size(), 1u);
        ASSERT_TRUE(shelf.open(0));
        EXPECT_EQ(shelf.s.book.bookFile.bookEncoding(), row.readAs);
    } else {
        EXPECT_TRUE(shelf.s.shelf.catalogue().empty());
        EXPECT_EQ(shelf.s.shelf.bookCount(), 0);
    }
}

void setCount(std::string &b, unsigned count)
{
    putBig16At(b, 76, count);
}

std::string manySections(int n)
{
    return simpleBook(E::CP950, std::vector<std::u16string>(std::size_t(n), u"文"));
}

INSTANTIATE_TEST_SUITE_P(
    Books, Validation,
    ::testing::Values(
        ValidationRow{"MtitNamedUpdb", E::CP950, "a.updb", nullptr, BookFault::None, E::CP950},
        ValidationRow{"MtiuNamedPdb", E::UTF16LE, "a.pdb", nullptr, BookFault::None, E::UTF16LE},
        ValidationRow{"CreatorMTIX", E::CP950, "a.pdb", [](std::string &b) { b[67] = 'X'; }, BookFault::BadCreator},
        ValidationRow{"CreatorNTIT", E::CP950, "a.pdb", [](std::string &b) { b[64] = 'N'; }, BookFault::BadCreator},
        ValidationRow{"CreatorLowerCase", E::UTF16LE, "a.updb", [](std::string &b) { b[67] = 'u'; },
                      BookFault::BadCreator},
        ValidationRow{"EmptyFile", E::CP950, "a.pdb", [](std::string &b) { b.clear(); }, BookFault::EmptyFile},
        ValidationRow{"Only75Bytes", E::CP950, "a.pdb", [](std::string &b) { b.resize(75); }, BookFault::ShortHeader},
        ValidationRow{"Only76Bytes", E::CP950, "a.pdb", [](std::string &b) { b.resize(76); },
                      BookFault::ShortRecordCount},
        ValidationRow{"Only77Bytes", E::CP950, "a.pdb", [](std::string &b) { b.resize(77); },
                      BookFault::ShortRecordCount},
        ValidationRow{"Count500", E::CP950, "a.pdb", [](std::string &b) { b = manySections(499); }, BookFault::None},
        ValidationRow{"Count501", E::CP950, "a.pdb", [](std::string &b) { b = manySections(500); },
                      BookFault::TooManyRecords},
        ValidationRow{"CountTopBit", E::CP950, "a.pdb", [](std::string &b) { setCount(b, 0x8000); },
                      BookFault::TooManyRecords},
        ValidationRow{"CountFFFF", E::UTF16LE, "a.updb", [](std::string &b) { setCount(b, 0xFFFF); },
                      BookFault::TooManyRecords},
        ValidationRow{"RecordListCut", E::CP950, "a.pdb", [](std::string &b) { b.resize(78 + 8 + 3); },
                      BookFault::ShortRecordList},
        ValidationRow{"CountZero", E::CP950, "a.pdb", [](std::string &b) { setCount(b, 0); },
                      BookFault::NoHeaderRecord}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Validation, ReadsHeaderCountAndListInThreeReadsAndStopsAtTheFirstShortOne)
{
    for (int shortAt : {1, 2, 3}) {
        ShelfFolder shelf;
        shelf.files.shortReadAt = shortAt;
        BookFault fault = BookFault::None;
        EXPECT_FALSE(shelf.add("a.pdb", simpleBook(E::CP950, {u"文"}), &fault)) << shortAt;
        const BookFault expected[] = {BookFault::ShortHeader, BookFault::ShortRecordCount, BookFault::ShortRecordList};
        EXPECT_EQ(fault, expected[shortAt - 1]);
        EXPECT_EQ(shelf.files.readCalls, shortAt);
    }
}

TEST(RecordOffset, IsBigEndianAndZeroOutsideTheList)
{
    std::string bytes = simpleBook(E::CP950, {u"文"});
    putBig32At(bytes, entryAt(1), 0x12345678u);
    bytes[entryAt(1) + 4] = char(0xFF); // attribute byte, never part of the offset
    const BookFile file = bookFromBytes(bytes);
    ASSERT_TRUE(file.isOpen());
    EXPECT_EQ(file.recordOffset(1), 0x12345678u);
    EXPECT_EQ(file.recordOffset(-1), 0u);
    EXPECT_EQ(file.recordOffset(file.recordCount()), 0u);
    EXPECT_EQ(file.recordOffset(kMaxRecords), 0u);
}

// --- Records of a damaged list: every read stays inside the file.

struct RecordReadRow {
    const char *name;
    std::function<void(std::string &)> patch; // of a book with records 0..2
    int index;
    std::size_t limit;
    std::string bytes; // empty: no record
};

class RecordRead : public ::testing::TestWithParam<RecordReadRow> {};

TEST_P(RecordRead, GivesTheRecordOrNothing)
{
    const RecordReadRow &row = GetParam();
    std::string book = containerBytes(E::UTF16LE, {"head", "one", "two!"});
    if (row.patch)
        row.patch(book);
    BookFile file = bookFromBytes(book);
    ASSERT_TRUE(file.isOpen());
    const std::span<const std::uint8_t> got = file.record(row.index, row.limit);
    EXPECT_EQ(std::string(got.begin(), got.end()), row.bytes);
    std::string into(row.bytes.empty() ? 1 : row.bytes.size(), '?');
    EXPECT_EQ(file.readRecordInto(row.index, std::span(reinterpret_cast<std::uint8_t *>(into.data()), into.size())),
              !row.bytes.empty());
}

constexpr std::size_t kAll = std::size_t(-1);

INSTANTIATE_TEST_SUITE_P(
    Books, RecordRead,
    ::testing::Values(
        RecordReadRow{"Whole", nullptr, 1, kAll, "one"},
        RecordReadRow{"LastRunsToTheFileEnd", nullptr, 2, kAll, "two!"}, RecordReadRow{"Prefix", nullptr, 2, 2, "tw"},
        RecordReadRow{"Negative", nullptr, -1, kAll, ""}, RecordReadRow{"AtRecordCount", nullptr, 3, kAll, ""},
        RecordReadRow{"BeyondTheList", nullptr, kMaxRecords, kAll, ""},
        RecordReadRow{"StartBeyondFile", [](std::string &b) { putBig32At(b, entryAt(2), std::uint32_t(b.size() + 9)); },
                      2, kAll, ""},
        RecordReadRow{"EndBeyondFile", [](std::string &b) { putBig32At(b, entryAt(2), 0xFFFFFFF0u); }, 1, kAll, ""},
        RecordReadRow{"EndBeforeStart", [](std::string &b) { putBig32At(b, entryAt(2), 10); }, 1, kAll, ""},
        RecordReadRow{"Empty", [](std::string &b) { putBig32At(b, entryAt(2), 0); }, 1, kAll, ""},
        RecordReadRow{"CountCutsTheList", [](std::string &b) { putBig16At(b, 76, 2); }, 1, kAll, "onetwo!"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(RecordCursor, AReadThatDoesNotFitFailsWhereItStands)
{
    const std::uint8_t bytes[] = {0x12, 0x34, 0x56, 0x78, 0x9A};
    RecordCursor c(bytes);
    std::uint32_t v32 = 0;
    std::uint16_t v16 = 0;
    EXPECT_TRUE(c.big32(v32));
    EXPECT_EQ(v32, 0x12345678u);
    EXPECT_FALSE(c.big16(v16));
    EXPECT_FALSE(c.big32(v32));
    EXPECT_TRUE(c.take(2).empty());
    EXPECT_FALSE(c.skip(2));
    EXPECT_EQ(c.position(), 4u);
    EXPECT_TRUE(RecordCursor(bytes, 9).atEnd()) << "a start beyond the bytes reads nothing";
}

// --- Field readers.

struct FieldRow {
    const char *name;
    E encoding;
    std::string bytes;
    int readPos;
    std::string field;
    int nextPos;
};

class TextField : public ::testing::TestWithParam<FieldRow> {};

TEST_P(TextField, CopiesUpToTheSeparator)
{
    const FieldRow &row = GetParam();
    RecordCursor c(bytesOf(row.bytes), std::size_t(row.readPos));
    const std::span<const std::uint8_t> field = readTextField(c, row.encoding);
    EXPECT_EQ(std::string(field.begin(), field.end()), row.field);
    EXPECT_EQ(c.position(), std::size_t(row.nextPos));
}

const std::string z(1, '\0');

INSTANTIATE_TEST_SUITE_P(
    Fields, TextField,
    ::testing::Values(
        FieldRow{"Cp950Separator", E::CP950,
                 "AB\x1B"
                 "CD",
                 0, "AB", 3},
        FieldRow{"Cp950SecondField", E::CP950,
                 "AB\x1B"
                 "CD",
                 3, "CD", 5},
        FieldRow{"Cp950EmptyBetweenSeparators", E::CP950, "\x1B\x1B", 1, "", 2},
        FieldRow{"Cp950AtEnd", E::CP950, "AB", 2, "", 2}, FieldRow{"Cp950PastEnd", E::CP950, "AB", 9, "", 9},
        FieldRow{"Cp950NullIsText", E::CP950, "A" + z + "B\x1B", 0, "A" + z + "B", 4},
        FieldRow{"Utf16TitleAB", E::UTF16LE, "A" + z + "B" + z + "\x1B" + z + "C", 0, "A" + z + "B" + z, 5},
        FieldRow{"Utf16StartsOnStrayZero", E::UTF16LE, z + "X" + z + "\x1B" + z, 0, z + "X" + z, 4},
        FieldRow{"Utf16EscNotFollowedByZero", E::UTF16LE, "\x1B\x4E" + z + "\x4E", 0, "\x1B\x4E" + z + "\x4E", 4},
        FieldRow{"Utf16EscAsLastByte", E::UTF16LE, "A" + z + "\x1B", 0, "A" + z, 3}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(TextField, StopsAtTheEndOfTheSpan)
{
    const std::string bytes(10, 'x');
    for (std::size_t end : {std::size_t(4), std::size_t(10)}) {
        RecordCursor c(bytesOf(bytes).first(end));
        EXPECT_EQ(readTextField(c, E::CP950).size(), end);
        EXPECT_TRUE(c.atEnd());
    }
}

struct NumberRow {
    const char *name;
    E encoding;
    std::string bytes;
    int value;
    int nextPos;
};

class NumberField : public ::testing::TestWithParam<NumberRow> {};

TEST_P(NumberField, TakesDigitsAndIgnoresTheRest)
{
    const NumberRow &row = GetParam();
    RecordCursor c(bytesOf(row.bytes));
    EXPECT_EQ(readNumberField(c, row.encoding), row.value);
    EXPECT_EQ(c.position(), std::size_t(row.nextPos));
}

INSTANTIATE_TEST_SUITE_P(
    Fields, NumberField,
    ::testing::Values(NumberRow{"Utf16Twelve", E::UTF16LE, "1" + z + "2" + z, 12, 4},
                      NumberRow{"SpaceInside", E::CP950, "1 2", 12, 3},
                      NumberRow{"LettersOnly", E::CP950, "abc\x1B", 0, 4}, NumberRow{"Empty", E::CP950, "", 0, 0},
                      NumberRow{"StopsAtSeparator", E::CP950,
                                "12\x1B"
                                "34",
                                12, 3},
                      NumberRow{"Utf16StopsOnZero", E::UTF16LE, z + "3" + z + "\x1B" + z + "9", 3, 4},
                      NumberRow{"WrapsNegative", E::CP950, "40000", -25536, 5},
                      NumberRow{"WrapsAround", E::CP950, "65537", 1, 5}),
    [](const auto &info) { return std::string(info.param.name); });

// --- Table of contents lines.

struct LinesRow {
    const char *name;
    std::u16string text;
    std::vector<std::u16string> lines;
};

class ContentsLines : public ::testing::TestWithParam<LinesRow> {};

TEST_P(ContentsLines, SplitsAtLineBreaks)
{
    EXPECT_EQ(splitContentsLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Toc, ContentsLines,
                         ::testing::Values(LinesRow{"CrLf", u"A\r\nB\r\n", {u"A", u"B"}},
                                           LinesRow{"EmptyLineKept", u"A\r\n\r\nB", {u"A", u"", u"B"}},
                                           LinesRow{"MixedBreaks", u"A\rB\nC", {u"A", u"B", u"C"}},
                                           LinesRow{"LfCrIsTwoBreaks", u"A\n\rB", {u"A", u"", u"B"}},
                                           LinesRow{"EndsAtNul", std::u16string(u"A\r\nB\0C\r\n", 8), {u"A", u"B"}},
                                           LinesRow{"Empty", u"", {}}, LinesRow{"OnlyBreak", u"\r\n", {u""}},
                                           LinesRow{"NoFinalBreak", u"甲\r\n乙", {u"甲", u"乙"}}),
                         [](const auto &info) { return std::string(info.param.name); });

// --- Decoding.

struct DecodeRow {
    const char *name;
    E encoding;
    std::string bytes;
    std::u16string text;
};

class Decode : public ::testing::TestWithParam<DecodeRow> {};

TEST_P(Decode, GivesUtf16)
{
    const DecodeRow &row = GetParam();
    EXPECT_EQ(decodeBookText(row.encoding, reinterpret_cast<const std::uint8_t *>(row.bytes.data()), row.bytes.size()),
              row.text);
}

INSTANTIATE_TEST_SUITE_P(Text, Decode,
                         ::testing::Values(DecodeRow{"Cp950Pairs", E::CP950, "\xA4\xA4\xA4\xE5", u"中文"},
                                           DecodeRow{"Cp950Ascii", E::CP950, "a\r\nb", u"a\r\nb"},
                                           DecodeRow{"Cp950CutInsideCharacter", E::CP950, "\xA4\xA4\xA4", u"中\uFFFD"},
                                           DecodeRow{"Cp950BadTrailIsOwnCharacter", E::CP950,
                                                     "\xA4"
                                                     "0",
                                                     u"\uFFFD"
                                                     "0"},
                                           DecodeRow{"Cp950UnmappedPairIsOneReplacement", E::CP950,
                                                     "\x81\x40"
                                                     "a",
                                                     u"\uFFFD"
                                                     "a"},
                                           DecodeRow{"Cp950UnmappedHighPair", E::CP950, "\xFE\xFE\xA4\xA4",
                                                     u"\uFFFD中"},
                                           DecodeRow{"Cp950InvalidSingleByte", E::CP950,
                                                     "\xFF"
                                                     "a",
                                                     u"\uFFFD"
                                                     "a"},
                                           DecodeRow{"Utf16", E::UTF16LE, std::string("\x2D\x4E\x87\x65", 4), u"中文"},
                                           DecodeRow{"Utf16OddByteDropped", E::UTF16LE, std::string("A\0B", 3), u"A"},
                                           DecodeRow{"Utf16KeepsBom", E::UTF16LE,
                                                     std::string("\xFF\xFE"
                                                                 "A\0",
                                                                 4),
                                                     u"\uFEFF"
                                                     "A"}),
                         [](const auto &info) { return std::string(info.param.name); });

// --- Bookmark record.

std::string le16s(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values) {
        out.push_back(char(v & 0xFF));
        out.push_back(char((v >> 8) & 0xFF));
    }
    return out;
}

struct MarksRow {
    const char *name;
    std::string bytes;
    std::vector<std::pair<int, std::vector<std::int16_t>>> marks;
};

class BookmarkRecord : public ::testing::TestWithParam<MarksRow> {};

TEST_P(BookmarkRecord, ReadsListsDefensively)
{
    const MarksRow &row = GetParam();
    // A copy of exactly the record's size, so a read past it is caught.
    std::vector<std::uint8_t> bytes(row.bytes.begin(), row.bytes.end());
    EXPECT_EQ(parseBookmarkRecord(bytes.data(), bytes.size(), 5), row.marks);
}

INSTANTIATE_TEST_SUITE_P(
    Marks, BookmarkRecord,
    ::testing::Values(MarksRow{"TwoSections", le16s({2, 2, 3, 9, 4, 1, 5, -1}), {{2, {3, 9}}, {4, {5}}}},
                      MarksRow{"TerminatorOnly", le16s({-1}), {}}, MarksRow{"Empty", "", {}},
                      MarksRow{"NoTerminator", le16s({1, 1, 7}), {{1, {7}}}},
                      MarksRow{"CountBeyondRecord", le16s({3, 9, 4, 6}), {{3, {4, 6}}}},
                      MarksRow{"OddTrailingByte", le16s({3, 1, 4}) + "\x01", {{3, {4}}}},
                      MarksRow{"SectionOutOfRange", le16s({6, 1, 2, -3, 1, 2, 1, 1, 8, -1}), {{1, {8}}}},
                      MarksRow{"SectionZeroKept", le16s({0, 1, 2, -1}), {{0, {2}}}},
                      MarksRow{"PagesBelowOneSkipped", le16s({2, 3, 0, -4, 5, -1}), {{2, {5}}}},
                      MarksRow{"NegativeCountEnds", le16s({2, -1, 3, 4, 1, 1, -1}), {}},
                      MarksRow{"UnsortedAndRepeated", le16s({4, 2, 9, 2, 4, 1, 5, -1}), {{4, {2, 5, 9}}}}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
