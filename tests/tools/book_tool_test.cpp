// pagora-book as a person runs it: make, then info and text.
#include "book_bytes.h"

#include "tool_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sys/wait.h>

using namespace pagora;

namespace {

using E = BookEncoding;

struct Tool {
    TempDir dir;

    Outcome run(const std::vector<std::string> &args) const { return runBookTool(dir, args); }
    std::string text(const std::string &name, const std::string &bytes) const
    {
        writeFile(dir.file(name), bytes);
        return dir.file(name);
    }
};

int lineCount(const std::string &s)
{
    return int(std::count(s.begin(), s.end(), '\n'));
}

// --- Round trips.

struct Sample {
    std::string name;
    std::string bytes;    // as typed, UTF-8
    std::string title;    // the first line
    std::string expected; // what text prints: CR LF line ends, no byte-order mark
};

const std::vector<Sample> &samples()
{
    static const std::vector<Sample> s = {
        {"1.txt", "學而第一\n子曰：學而時習之，不亦說乎？\n", "學而第一",
         "學而第一\r\n子曰：學而時習之，不亦說乎？\r\n"},
        {"2.txt", "為政第二\r\n子曰：為政以德，\r\n譬如北辰。", "為政第二",
         "為政第二\r\n子曰：為政以德，\r\n譬如北辰。"},
        {"3.txt", "\xEF\xBB\xBF八佾 \"第三\" \\ \t\r孔子謂季氏\r\n\n", "八佾 \"第三\" \\ \t",
         "八佾 \"第三\" \\ \t\r\n孔子謂季氏\r\n\r\n"},
    };
    return s;
}

struct Format {
    const char *name;
    const char *encoding;
    const char *file;
    const char *json;
    int unit; // bytes of one separator
};

class RoundTrip : public ::testing::TestWithParam<Format> {};

INSTANTIATE_TEST_SUITE_P(Tool, RoundTrip,
                         ::testing::Values(Format{"Cp950", "cp950", "lun.pdb", "CP950", 1},
                                           Format{"Utf16", "utf16", "lun.updb", "UTF16LE", 2}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_P(RoundTrip, InfoAndTextGiveBackWhatMakeWasGiven)
{
    const Format &f = GetParam();
    Tool tool;
    std::vector<std::string> args = {"make", "--encoding",         f.encoding, "--title", "論語 \"集注\" \\ 卷\t一",
                                     "-o",   tool.dir.file(f.file)};
    for (const Sample &s : samples())
        args.push_back(tool.text(s.name, s.bytes));
    Outcome made = tool.run(args);
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.err, "");
    const std::string book = tool.dir.file(f.file);
    EXPECT_FALSE(systemFiles().exists(book + ".pagora-new"));

    Outcome info = tool.run({"info", book});
    ASSERT_EQ(info.status, 0) << info.err;
    // The title's 6 CJK characters take 2 bytes in either encoding, its 7
    // ASCII characters one unit each.
    const int titleBytes = 6 * 2 + 7 * f.unit;
    const int tocOffset = 8 + titleBytes + 4 * f.unit + 1 * f.unit;
    std::string lengths;
    for (const Sample &s : samples())
        lengths += (lengths.empty() ? "" : ",") + std::to_string(utf8ToUtf16(s.expected).size());
    const std::string expected =
        "{\"file\":\"" + book + "\",\"encoding\":\"" + f.json +
        "\",\"records\":4,\"title\":\"論語 \\\"集注\\\" \\\\ 卷\\t一\",\"sections\":3,\"tocOffset\":" +
        std::to_string(tocOffset) +
        ",\"contents\":[\"學而第一\",\"為政第二\",\"八佾 \\\"第三\\\" \\\\ \\t\"],\"sectionLengths\":[" + lengths +
        "],\"bookmarks\":{}}\n";
    EXPECT_EQ(info.out, expected);

    for (std::size_t i = 0; i < samples().size(); ++i) {
        Outcome text = tool.run({"text", book, std::to_string(i + 1)});
        EXPECT_EQ(text.status, 0) << text.err;
        EXPECT_EQ(text.out, samples()[i].expected) << "section " << i + 1;
    }
}

TEST_P(RoundTrip, InfoListsTheBookmarkRecord)
{
    const Format &f = GetParam();
    BookRecipe spec;
    spec.encoding = f.unit == 1 ? E::CP950 : E::UTF16LE;
    spec.title = u"T";
    spec.sectionTitles = {u"a", u"b", u"c", u"d"};
    spec.sectionTexts = {u"1", u"22", u"333", u"4444"};
    spec.bookmarkRecord = bookmarkRecordBytes({{2, {3, 9}}, {4, {5}}});
    spec.extraRecords = {"after"};
    std::string bytes;
    ASSERT_TRUE(writeBookBytes(spec, bytes));
    Tool tool;
    Outcome info = tool.run({"info", tool.text(f.file, bytes)});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("\"records\":7,"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("\"sectionLengths\":[1,2,3,4],\"bookmarks\":{\"2\":[3,9],\"4\":[5]}}"), std::string::npos)
        << info.out;
}

// --- Rejected books and absent sections.

struct RejectRow {
    const char *name;
    std::function<void(std::string &)> damage;
    const char *names; // part of the one line on stderr
};

class Rejected : public ::testing::TestWithParam<RejectRow> {};

TEST_P(Rejected, ExitsOneWithOneLineNamingTheCheck)
{
    std::string bytes = simpleBook(E::UTF16LE, {u"文"});
    GetParam().damage(bytes);
    Tool tool;
    const std::string book = tool.text("bad.updb", bytes);
    for (const std::vector<std::string> &args :
         {std::vector<std::string>{"info", book}, std::vector<std::string>{"text", book, "1"}}) {
        Outcome r = tool.run(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(lineCount(r.err), 1) << r.err;
        EXPECT_NE(r.err.find(GetParam().names), std::string::npos) << r.err;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tool, Rejected,
    ::testing::Values(RejectRow{"Creator", [](std::string &b) { b[67] = 'X'; }, "creator code"},
                      RejectRow{"Short", [](std::string &b) { b.resize(40); }, "76-byte"},
                      RejectRow{"TooManyRecords", [](std::string &b) { putBig16At(b, 76, 501); }, "above 500"},
                      RejectRow{"EmptyTitle",
                                [](std::string &b) {
                                    b = containerBytes(E::UTF16LE, {headerRecord(E::UTF16LE, u"", "1", ""), "a\0"});
                                },
                                "title field"},
                      RejectRow{"EmptyFile", [](std::string &b) { b.clear(); }, "file is empty"}),
    [](const auto &info) { return std::string(info.param.name); });

// convert reads standard input and keeps every line break; input that is not
// UTF-8 is refused whole.
TEST(Convert, WritesTraditionalOrRefuses)
{
    struct Row {
        std::string in;
        int status;
        std::string out;
    };
    const Row rows[] = {
        {"头发\r\n\n干净\n", 0, "頭髮\r\n\n乾淨\n"},
        {"他说：“软件”", 0, "他說：「軟體」"},
        {"", 0, ""},
        {"abc\xff", 1, ""},
        {"\xed\xa0\x80", 1, ""},
    };
    Tool tool;
    for (const Row &row : rows) {
        const Outcome r = runBookTool(tool.dir, {"convert", "--to-traditional"}, row.in);
        EXPECT_EQ(r.status, row.status) << row.in << r.err;
        EXPECT_EQ(r.out, row.out) << row.in;
        EXPECT_EQ(lineCount(r.err), row.status == 0 ? 0 : 1) << r.err;
    }
}

TEST(Text, AbsentOrUnreadableSectionsExitOne)
{
    Tool tool;
    // Five sections claimed, two records of text, the second one empty.
    const std::string book = tool.text(
        "b.updb", containerBytes(E::UTF16LE, {headerRecord(E::UTF16LE, u"T", "5", ""), std::string("a\0", 2), ""}));
    for (const char *section : {"0", "6", "3", "2", "-1"}) {
        Outcome r = tool.run({"text", book, section});
        EXPECT_EQ(r.status, 1) << section;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(lineCount(r.err), 1) << r.err;
        EXPECT_NE(r.err.find("section " + std::string(section)), std::string::npos) << r.err;
    }
    Outcome ok = tool.run({"text", book, "1"});
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.out, "a");
}

// speak --plan: the utterances from OFFSET as JSON; no book, or no such
// section, is a failure.
TEST(Speak, PlansFromTheOffsetAndFailsOnWhatIsNoBook)
{
    Tool tool;
    const std::string in = tool.text("in.txt", "標題\n他說：「好。」\t走\\\n");
    const std::string book = tool.dir.file("b.updb");
    ASSERT_EQ(tool.run({"make", "--encoding", "utf16", "--title", "T", "-o", book, in}).status, 0);
    const Outcome ok = tool.run({"speak", "--plan", book, "1", "5"}); // the title line and 他 before
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ok.out, "[\n{\"section\":1,\"start\":5,\"length\":6,\"text\":\"說：「好。」\"},\n"
                      "{\"section\":1,\"start\":12,\"length\":2,\"text\":\"走\\\\\"}\n]\n");
    using Args = std::vector<std::string>;
    for (const Args &args : {Args{"speak", "--plan", in, "1", "0"}, Args{"speak", "--plan", book, "2", "0"}}) {
        const Outcome r = tool.run(args);
        EXPECT_EQ(r.status, 1) << args[3];
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(lineCount(r.err), 1) << r.err;
    }
}

// --- Command lines.

class Usage : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(Usage, PrintsShortHelpAndExitsTwo)
{
    Tool tool;
    tool.text("a.txt", "標題\n");
    std::vector<std::string> args = GetParam();
    for (std::string &a : args)
        if (a == "a.txt")
            a = tool.dir.file(a);
    Outcome r = tool.run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("sage:"), std::string::npos) << r.err; // "usage:" or the overview's "Usage:"
}

using Args = std::vector<std::string>;
INSTANTIATE_TEST_SUITE_P(
    Tool, Usage,
    ::testing::Values(Args{}, Args{"bogus"}, Args{"info"}, Args{"info", "a.txt", "b"}, Args{"text", "a.txt"},
                      Args{"text", "a.txt", "x"}, Args{"text", "a.txt", "1x"}, Args{"text", "a.txt", ""},
                      Args{"convert"}, Args{"convert", "--to-simplified"}, Args{"convert", "--to-traditional", "a.txt"},
                      Args{"speak"}, Args{"speak", "a.txt", "1", "0"}, Args{"speak", "--plan", "a.txt", "1"},
                      Args{"speak", "--plan", "a.txt", "1", "-2"}, Args{"speak", "--plan", "a.txt", "x", "0"},
                      Args{"make", "--encoding", "latin1", "--title", "T", "-o", "o.pdb", "a.txt"},
                      Args{"make", "--title", "T", "-o", "o.pdb", "a.txt"},
                      Args{"make", "--encoding", "cp950", "-o", "o.pdb", "a.txt"},
                      Args{"make", "--encoding", "cp950", "--title", "", "-o", "o.pdb", "a.txt"},
                      Args{"make", "--encoding", "cp950", "--title", "T", "a.txt"},
                      Args{"make", "--encoding", "cp950", "--title", "T", "-o", "o.pdb"},
                      Args{"make", "--encoding", "cp950", "--title", "T", "-o"},
                      Args{"make", "--shout", "--encoding", "cp950", "--title", "T", "-o", "o.pdb", "a.txt"}));

TEST(Tool, PrintsItsVersion)
{
    Tool tool;
    const Outcome r = tool.run({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "pagora-book 1.8\n");
}

// --- make refuses what it cannot store faithfully, and keeps the old book.

struct MakeRow {
    const char *name;
    const char *encoding;
    std::string title;
    std::string input;
    const char *says;
};

class MakeRefuses : public ::testing::TestWithParam<MakeRow> {};

TEST_P(MakeRefuses, ExitsOneLeavingTheOldFile)
{
    const MakeRow &row = GetParam();
    Tool tool;
    const std::string out = tool.dir.file("o.book");
    writeFile(out, "old book");
    const std::string in = row.input == "<missing>" ? tool.dir.file("missing.txt") : tool.text("in.txt", row.input);
    Outcome r = tool.run({"make", "--encoding", row.encoding, "--title", row.title, "-o", out, in});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lineCount(r.err), 1) << r.err;
    EXPECT_NE(r.err.find(row.says), std::string::npos) << r.err;
    EXPECT_EQ(readFile(out), "old book");
    EXPECT_FALSE(systemFiles().exists(out + ".pagora-new"));
}

INSTANTIATE_TEST_SUITE_P(Tool, MakeRefuses,
                         ::testing::Values(MakeRow{"NoCp950Form", "cp950", "T", "標題\n我们\n",
                                                   "in.txt, line 2, column 2: 们 (U+4EEC) has no code page 950 form"},
                                           MakeRow{"NoCp950FormOutsideBmp", "cp950", "T", "標題 😀", "(U+1F600)"},
                                           MakeRow{"TitleWithoutCp950Form", "cp950", "书", "標題",
                                                   "the book title, line 1, column 1"},
                                           MakeRow{"EmptyFirstLine", "utf16", "T", "\n正文",
                                                   "the first line, the section's title, is empty"},
                                           MakeRow{"EmptyFile", "utf16", "T", "", "is empty"},
                                           MakeRow{"NotUtf8", "utf16", "T", "標題\xFF\n", "is not UTF-8"},
                                           MakeRow{"SeparatorInFirstLine", "cp950", "T",
                                                   "a\x1B"
                                                   "b\n",
                                                   "U+001B"},
                                           MakeRow{"SeparatorInTitle", "utf16", "a\x1B", "標題", "U+001B"},
                                           MakeRow{"NulInFirstLine", "utf16", "T", std::string("a\0b", 3), "U+0000"},
                                           // U+1B41 U+0100: the bytes 41 1B 00 01 hold a separator at an odd offset.
                                           MakeRow{"HiddenUtf16Separator", "utf16", "\xE1\xAD\x81\xC4\x80", "標題",
                                                   "does not read back as given"},
                                           MakeRow{"MissingInput", "utf16", "T", "<missing>", "cannot be read"}),
                         [](const auto &info) { return std::string(info.param.name); });

// --- The sample shelf built beside the reader.

TEST(SampleShelf, EveryBookOpensWithAllItsSections)
{
    TestParts t;
    ReaderState &s = t.s;
    const std::string tool = bookToolPath();
    s.shelf.shelfPath = tool.substr(0, tool.rfind('/') + 1);
    int books = 0;
    bool sawEncoding[2] = {false, false};
    for (const std::string &name : systemFiles().list(s.shelf.shelfPath)) {
        const bool isBook = name.ends_with(".pdb") || name.ends_with(".updb");
        if (!isBook || !addBook(*t.files, t.s.shelf, name))
            continue;
        ++books;
        s.shelf.select(std::int16_t(s.shelf.catalogue().size() - 1));
        ASSERT_TRUE(openBookFile(*t.files, t.s.shelf, t.s.book));
        sawEncoding[s.book.bookFile.bookEncoding() == E::UTF16LE] = true;
        s.book.sectionCount = s.shelf.catalogue().back().sectionCount;
        ASSERT_TRUE(loadContents(t.s.book, t.s.shelf.selectedEntry()));
        EXPECT_EQ(int(s.book.contentsList.size()), s.book.sectionCount) << name;
        for (int i = 1; i <= s.book.sectionCount; ++i) {
            EXPECT_TRUE(loadSectionText(s.book, i)) << name << " section " << i;
            EXPECT_EQ(s.book.sectionText().substr(0, s.book.contentsList[std::size_t(i - 1)].size()),
                      s.book.contentsList[std::size_t(i - 1)]);
        }
        t.s.book.bookFile.close();
    }
    EXPECT_GE(books, 2);
    EXPECT_TRUE(sawEncoding[0] && sawEncoding[1]);
}

} // namespace
