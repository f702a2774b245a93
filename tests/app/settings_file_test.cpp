#include "app/settings_file.h"
#include "test_reader.h"
#include "text/codec.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

using namespace pagora;

using namespace std::string_literals;

namespace {

std::string utf16File(const std::u16string &text)
{
    return "\xFF\xFE" + encodeUtf16le(text);
}

struct SettingsFixture : ::testing::Test {
    TempDir dir;
    TestReader t;
    ReaderState &s = t.r.state;
    SettingsFixture()
    {
        s.folders.exeFolder = dir.path();
        s.folders.settingsFolder = dir.path();
        s.shelf.shelfPath = dir.path();
        s.look.fontName = "新細明體";
    }
    std::string iniPath() const { return dir.file("Pagora.ini"); }
    void writeIni(const std::u16string &text) { writeFile(iniPath(), utf16File(text)); }
};

TEST_F(SettingsFixture, WrittenFileReadsBackEveryField)
{
    s.look.setColours(2, 7);
    s.look.setSizeStep(4);
    s.folders.mainShelfPath = dir.path() + "書架/";
    s.shelf.addEntry(BookEntry{0, 12, 1, 1, "my book.updb", u"T"});
    s.shelf.select(0);
    s.book.sectionCount = 12;
    s.book.currentSection = 3;
    s.book.pages.turnTo(5);
    s.window.windowMode = 6;
    s.shelf.currentShelf = 3;
    s.look.fontName = "Noto Serif";
    s.look.baseFontSize = 20;
    s.look.verticalForms = 0;
    s.look.chineseBreaks = true;
    writeSettings(t.r);

    const std::string bytes = readFile(iniPath());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(utf16ToUtf8(decodeUtf16le(bytes.data() + 2, bytes.size() - 2)),
              "2 7 4 " + s.folders.mainShelfPath + "\r\n12 3 5 my book.updb\r\n6 3 Noto Serif [20]\r\n0\r\n1\r\n");

    TestReader fresh;
    ReaderState &f = fresh.r.state;
    f.folders.settingsFolder = dir.path();
    readSettings(fresh.r);
    EXPECT_EQ(f.look.textScheme(), 2);
    EXPECT_EQ(f.look.backgroundChoice(), 7);
    EXPECT_EQ(f.look.sizeStep(), 4);
    EXPECT_EQ(f.shelf.shelfPath, s.folders.mainShelfPath);
    EXPECT_EQ(f.saved.savedSectionCount, 12);
    EXPECT_EQ(f.saved.savedSection, 3);
    EXPECT_EQ(f.saved.savedPage, 5);
    EXPECT_EQ(f.saved.savedBookFile, "my book.updb");
    EXPECT_TRUE(f.saved.reopenSavedBook);
    EXPECT_EQ(f.window.windowMode, 6);
    EXPECT_EQ(f.shelf.currentShelf, 3);
    EXPECT_EQ(f.look.fontName, "Noto Serif");
    EXPECT_EQ(f.look.baseFontSize, 20);
    EXPECT_EQ(f.look.verticalForms, 0);
    EXPECT_TRUE(f.look.chineseBreaks);
}

// Each row: the selected book's file name, and line 2 as written.
TEST_F(SettingsFixture, BookNamesThatWouldShiftLinesAreNotRemembered)
{
    const std::pair<std::string, std::string> rows[] = {
        {"my book.updb", "3 2 1 my book.updb"},   {"two\nlines.updb", "3 2 1 "},
        {"carriage\rreturn.updb", "3 2 1 "},      {"\r\n1 2 1 x.updb", "3 2 1 "},
        {std::string("nul\0.updb", 9), "3 2 1 "},
    };
    for (const auto &[name, line2] : rows) {
        s.shelf.clearCatalogue();
        s.shelf.addEntry(BookEntry{0, 3, 1, 1, name, u"T"});
        s.shelf.select(0);
        s.book.sectionCount = 3;
        s.book.currentSection = 2;
        s.book.pages.turnTo(1);
        s.look.fontName = "F";
        s.window.windowMode = 2;
        writeSettings(t.r);
        const std::string bytes = readFile(iniPath());
        ASSERT_GE(bytes.size(), 2u);
        const std::string text = utf16ToUtf8(decodeUtf16le(bytes.data() + 2, bytes.size() - 2));
        EXPECT_EQ(text, "1 2 1 \r\n" + line2 + "\r\n2 0 F [14]\r\n1\r\n0\r\n") << name;
        TestReader fresh;
        fresh.r.state.folders.settingsFolder = dir.path();
        readSettings(fresh.r);
        EXPECT_EQ(fresh.r.state.look.fontName, "F") << name;
        EXPECT_EQ(fresh.r.state.saved.reopenSavedBook, line2.size() > 6) << name;
    }
}

TEST_F(SettingsFixture, EmptyShelfLeavesTheFileUntouched)
{
    writeIni(u"1 2 1 /x/\r\n0 0 0 \r\n2 0 A [14]\r\n");
    const std::string before = readFile(iniPath());
    writeSettings(t.r);
    EXPECT_EQ(readFile(iniPath()), before);

    TempDir empty;
    s.folders.settingsFolder = empty.path();
    writeSettings(t.r);
    EXPECT_FALSE(systemFiles().exists(empty.file("Pagora.ini")));

    // A file its owner made read-only stays as it is with books on the shelf too.
    s.folders.settingsFolder = dir.path();
    s.shelf.addEntry(BookEntry{0, 1, 1, 1, "a.pdb", u"A"});
    s.shelf.select(0);
    std::filesystem::permissions(iniPath(), std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    writeSettings(t.r);
    EXPECT_EQ(readFile(iniPath()), before);
}

// Forwards to the real file system but fails the n-th write-side call.
class FailingFiles final : public Files {
public:
    explicit FailingFiles(int failAt) : m_failAt(failAt) {}
    Files &real = systemFiles();
    int openRead(const std::string &p) override { return real.openRead(p); }
    int createNew(std::string &p) override { return step() ? real.createNew(p) : -1; }
    void close(int h) override { real.close(h); }
    std::int64_t size(int h) override { return real.size(h); }
    std::int64_t seek(int h, std::int64_t p) override { return real.seek(h, p); }
    std::int64_t read(int h, void *b, std::int64_t n) override { return real.read(h, b, n); }
    bool write(int h, const void *b, std::int64_t n) override { return step() && real.write(h, b, n); }
    bool flush(int h) override { return step() && real.flush(h); }
    bool isWritableFile(const std::string &p) override { return real.isWritableFile(p); }
    bool exists(const std::string &p) override { return real.exists(p); }
    bool isDirectory(const std::string &p) override { return real.isDirectory(p); }
    bool isWritableDirectory(const std::string &p) override { return real.isWritableDirectory(p); }
    bool makeDirectory(const std::string &p) override { return real.makeDirectory(p); }
    bool remove(const std::string &p) override { return real.remove(p); }
    bool copy(const std::string &a, const std::string &b) override { return real.copy(a, b); }
    bool rename(const std::string &a, const std::string &b) override { return step() && real.rename(a, b); }
    std::vector<std::string> list(const std::string &f) override { return real.list(f); }

private:
    bool step() { return ++m_calls != m_failAt; }
    int m_failAt;
    int m_calls = 0;
};

TEST_F(SettingsFixture, FailedWriteAtAnyStepKeepsThePreviousFile)
{
    writeIni(u"1 2 1 /x/\r\n0 0 0 \r\n2 0 A [14]\r\n");
    const std::string before = readFile(iniPath());
    s.shelf.addEntry(BookEntry{0, 1, 1, 1, "a.pdb", u"A"});
    s.shelf.select(0);
    for (int failAt = 1; failAt <= 4; ++failAt) {
        FailingFiles files(failAt);
        t.r.services.files = &files;
        writeSettings(t.r);
        EXPECT_EQ(readFile(iniPath()), before) << "failing step " << failAt;
        EXPECT_EQ(systemFiles().list(dir.path()).size(), 1u) << "a temporary file was left behind";
    }
    t.r.services.files = &systemFiles();
    writeSettings(t.r);
    EXPECT_NE(readFile(iniPath()), before);
}

struct LineCase {
    const char *name;
    std::u16string file;
    std::int16_t textScheme, backgroundChoice, sizeStep;
    std::int16_t windowMode, currentShelf, baseFontSize;
    std::string fontName;
    bool reopen; // a book to reopen at start-up
};

class SettingsLines : public SettingsFixture, public ::testing::WithParamInterface<LineCase> {};

TEST_P(SettingsLines, ReadsFieldsAsStated)
{
    const LineCase &c = GetParam();
    s.window.windowMode = 0;
    s.shelf.currentShelf = 0;
    s.look.baseFontSize = 14;
    writeIni(c.file);
    readSettings(t.r);
    EXPECT_EQ(s.look.textScheme(), c.textScheme);
    EXPECT_EQ(s.look.backgroundChoice(), c.backgroundChoice);
    EXPECT_EQ(s.look.sizeStep(), c.sizeStep);
    EXPECT_EQ(s.window.windowMode, c.windowMode);
    EXPECT_EQ(s.shelf.currentShelf, c.currentShelf);
    EXPECT_EQ(s.look.baseFontSize, c.baseFontSize);
    EXPECT_EQ(s.look.fontName, c.fontName);
    EXPECT_EQ(s.saved.reopenSavedBook, c.reopen);
}

const std::string kDefaultFace = "新細明體";

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsLines,
    ::testing::Values(
        LineCase{"SizeSevenIgnored", u"1 2 1 /b/\r\n3 1 1 a.pdb\r\n2 0 F [7]\r\n", 1, 2, 1, 2, 0, 14, "F", true},
        LineCase{"SizeEightTaken", u"1 2 1 /b/\r\n3 1 1 a.pdb\r\n2 0 F [8]\r\n", 1, 2, 1, 2, 0, 8, "F", true},
        LineCase{"SizeSeventyTwoTaken", u"1 2 1 /b/\r\n3 1 1 a.pdb\r\n2 0 F [72]\r\n", 1, 2, 1, 2, 0, 72, "F", true},
        LineCase{"SizeSeventyThreeIgnored", u"1 2 1 /b/\r\n3 1 1 a.pdb\r\n2 0 F [73]\r\n", 1, 2, 1, 2, 0, 14, "F",
                 true},
        LineCase{"SchemeThreeBecomesOne", u"3 5 9 /b/\r\n3 1 1 a.pdb\r\n2 0 F [14]\r\n", 1, 5, 9, 2, 0, 14, "F", true},
        LineCase{"OutOfRangeAppearanceFallsBack", u"0 0 0 /b/\r\n3 1 1 a.pdb\r\n2 0 F [14]\r\n", 1, 2, 1, 2, 0, 14, "F",
                 true},
        LineCase{"ZeroSectionCountLeavesLineThreeUnread", u"2 3 4 /b/\r\n0 0 0 \r\n7 4 Other [30]\r\n", 2, 3, 4, 0, 0,
                 14, kDefaultFace, false},
        LineCase{"SectionBeyondCountLeavesLineThreeUnread", u"1 2 1 /b/\r\n3 4 1 a.pdb\r\n7 4 Other [30]\r\n", 1, 2, 1,
                 0, 0, 14, kDefaultFace, false},
        LineCase{"EmptyBookNameKeepsShelfScreen", u"1 2 1 /b/\r\n3 1 1 \r\n5 2 G [16]\r\n", 1, 2, 1, 5, 2, 16, "G",
                 false},
        LineCase{"FaceWithoutBlankKeepsSize", u"1 2 1 /b/\r\n3 1 1 a.pdb\r\n2 1 Face[20]\r\n", 1, 2, 1, 2, 1, 14,
                 "Face[20]", true},
        LineCase{"TwoWordFace", u"1 2 1 /b/\r\n3 1 1 a.pdb\r\n2 1 AR PL UMing TW [18]\r\n", 1, 2, 1, 2, 1, 18,
                 "AR PL UMing TW", true},
        LineCase{"LoneLineEnds", u"1 4 1 /b/\r3 1 1 a.pdb\n2 1 F [18]", 1, 4, 1, 2, 1, 18, "F", true},
        LineCase{"NulEndsTheText", std::u16string(u"1 4 1 /b/\r\n3 1 1 a.pdb\r\n\0002 1 F [18]\r\n", 36), 1, 2, 1, 0, 0,
                 14, kDefaultFace, false},
        LineCase{"ShortFirstLineCountsAsAbsent", u"1 4\r\n3 1 1 a.pdb\r\n2 1 F [18]\r\n", 1, 2, 1, 0, 0, 14,
                 kDefaultFace, false},
        LineCase{"FontFieldEndingInBlankCountsAsAbsent", u"2 4 1 /b/\r\n3 1 1 a.pdb\r\n2 1 F \r\n", 1, 2, 1, 0, 0, 14,
                 kDefaultFace, false},
        LineCase{"FewerThanThreeLines", u"2 4 1 /b/\r\n3 1 1 a.pdb\r\n", 1, 2, 1, 0, 0, 14, kDefaultFace, false},
        LineCase{"FiveDigitsWrap", u"1 2 1 /b/\r\n3 1 1 a.pdb\r\n65537 0 F [14]\r\n", 1, 2, 1, 1, 0, 14, "F", true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(SettingsFixture, OnlyAFourthLineOfZeroTurnsTheFormsOffAndAFifthOfOneTheBreaksOn)
{
    // Each case starts from the other values, so a line left unread shows.
    const std::tuple<std::u16string, int, bool> rows[] = {{u"", 1, false},
                                                          {u"0\r\n", 0, false},
                                                          {u"0", 0, false},
                                                          {u"1\r\n", 1, false},
                                                          {u"0x\r\n", 1, false},
                                                          {u"\r\n0\r\n", 1, false},
                                                          {u"0\r\n1\r\n", 0, true},
                                                          {u"1\r\n1", 1, true},
                                                          {u"1\r\n1x\r\n", 1, false},
                                                          {u"1\r\n\r\n1\r\n", 1, false},
                                                          {u"1\r\n2\r\n", 1, false}};
    for (const auto &[lines, forms, breaks] : rows) {
        s.look.verticalForms = std::int16_t(1 - forms);
        s.look.chineseBreaks = !breaks;
        writeIni(u"2 4 1 /b/\r\n0 0 0 \r\n2 1 F [18]\r\n" + lines);
        readSettings(t.r);
        EXPECT_EQ(s.look.verticalForms, forms) << utf16ToUtf8(lines);
        EXPECT_EQ(s.look.chineseBreaks, breaks) << utf16ToUtf8(lines);
        EXPECT_EQ(s.look.textScheme(), 2); // the three lines read as before
    }
}

TEST_F(SettingsFixture, MainShelfFolderAlwaysEndsWithSeparator)
{
    writeIni(u"1 2 1 /books\r\n0 0 0 \r\n2 0 A [14]\r\n");
    readSettings(t.r);
    EXPECT_EQ(s.shelf.shelfPath, "/books/");
}

TEST_F(SettingsFixture, MissingFileLeavesEveryField)
{
    s.saved.reopenSavedBook = true;
    readSettings(t.r);
    EXPECT_FALSE(s.saved.reopenSavedBook);
    EXPECT_EQ(s.look.textScheme(), 1);
    EXPECT_EQ(s.shelf.shelfPath, dir.path());
}

TEST_F(SettingsFixture, DamagedFilesNeverCrash)
{
    const std::u16string good = u"2 7 4 /books/\r\n12 3 5 my book.updb\r\n6 3 Noto Serif [20]\r\n";
    const std::string bytes = utf16File(good);
    std::mt19937 rng(7);
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
        writeFile(iniPath(), bytes.substr(0, cut));
        TestReader fresh;
        fresh.r.state.folders.settingsFolder = dir.path();
        readSettings(fresh.r);
    }
    for (int round = 0; round < 300; ++round) {
        std::string damaged = bytes;
        for (int k = 0; k < 4; ++k)
            damaged[rng() % damaged.size()] = char(rng() & 0xFF);
        writeFile(iniPath(), damaged);
        TestReader fresh;
        fresh.r.state.folders.settingsFolder = dir.path();
        readSettings(fresh.r);
        EXPECT_GE(fresh.r.state.look.textScheme(), 1);
        EXPECT_LE(fresh.r.state.look.textScheme(), 2);
    }
}

struct MarkCase {
    const char *name;
    std::string bytes;
    std::u16string expected;
};

class LoadTextFile : public ::testing::TestWithParam<MarkCase> {};

TEST_P(LoadTextFile, DecodesByMark)
{
    TempDir dir;
    writeFile(dir.file("t"), GetParam().bytes);
    EXPECT_EQ(loadTextFile(systemFiles(), dir.file("t")), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Marks, LoadTextFile,
                         ::testing::Values(MarkCase{"Utf16leMarkRemoved",
                                                    "\xFF\xFE"
                                                    "A\0\x2D\x4E"s,
                                                    u"A\u4E2D"},
                                           MarkCase{"Utf16beMarkKept", "\xFE\xFF\0A\x4E\x2D"s, u"\uFEFFA\u4E2D"},
                                           MarkCase{"Utf8MarkKept",
                                                    "\xEF\xBB\xBF"
                                                    "A\xE4\xB8\xAD",
                                                    u"\uFEFFA\u4E2D"},
                                           MarkCase{"NoMarkIsEightBit", "A\xE4\xB8\xAD", u"A\u4E2D"},
                                           MarkCase{"Empty", "", u""}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(LoadTextFileMissing, GivesEmptyText)
{
    TempDir dir;
    EXPECT_TRUE(loadTextFile(systemFiles(), dir.file("none")).empty());
}

} // namespace
