// pagora-book import and the import library: a text or EPUB in, a book the
// reader reads back out.
#include "import_fixtures.h"
#include "tool_runner.h"

#include "import/chinese_convert.h"
#include "import/import_book.h"
#include "import/sections.h"
#include "text/codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace pagora;

namespace {

const char *const kTraditional[] = {"話說天下大勢，分久必合，合久必分。",
                                    "周末七國分爭，併入於秦。",
                                    "及秦滅之後，楚、漢分爭，又併入於漢。",
                                    "漢朝自高祖斬白蛇而起義，一統天下。",
                                    "後來光武中興，傳至獻帝，遂分為三國。",
                                    "推其致亂之由，殆始於桓、靈二帝。",
                                    "桓帝禁錮善類，崇信宦官。",
                                    "及桓帝崩，靈帝即位，大將軍竇武、太傅陳蕃共相輔佐。"};
const char *const kSimplified[] = {"话说天下大势，分久必合，合久必分。",
                                   "周末七国分争，并入于秦。",
                                   "及秦灭之后，楚、汉分争，又并入于汉。",
                                   "汉朝自高祖斩白蛇而起义，一统天下。",
                                   "后来光武中兴，传至献帝，遂分为三国。",
                                   "推其致乱之由，殆始于桓、灵二帝。",
                                   "桓帝禁锢善类，崇信宦官。",
                                   "及桓帝崩，灵帝即位，大将军窦武、太傅陈蕃共相辅佐。"};

// Ordinary prose of at least minBytes of UTF-8, sentences in a varying order.
template <std::size_t N> std::string prose(const char *const (&sentences)[N], std::size_t minBytes)
{
    std::string out;
    for (std::size_t i = 0; out.size() < minBytes; ++i) {
        out += sentences[(i * 5 + i / N) % N];
        if (i % 3 == 2)
            out += "\n";
    }
    return out + "\n";
}

std::string crlf(const std::string &s)
{
    std::string out;
    for (char c : s)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

std::string joined(const std::vector<std::string> &parts)
{
    std::string out;
    for (const std::string &p : parts)
        out += p;
    return out;
}

// Names of the files in a folder.
std::vector<std::string> listing(const std::string &folder)
{
    std::vector<std::string> names;
    if (DIR *d = opendir(folder.c_str())) {
        while (dirent *e = readdir(d))
            if (e->d_name[0] != '.')
                names.push_back(e->d_name);
        closedir(d);
    }
    return names;
}

struct Import {
    TempDir dir;
    std::string out = dir.file("out.updb");

    ImportResult run(const std::string &name, const std::string &bytes, ImportOptions options = {})
    {
        writeFile(dir.file(name), bytes);
        return importBook(dir.file(name), out, options);
    }
};

// --- Encodings: detected on 2 KB of prose, or named.

struct EncodingCase {
    const char *name;
    const char *iconvName; // nullptr: UTF-8 as is
    std::string mark;      // bytes before the text
    bool simplified;
    const char *option;
};

class Encodings : public testing::TestWithParam<EncodingCase> {};

TEST_P(Encodings, DecodeToTheSameText)
{
    const EncodingCase &c = GetParam();
    const std::string text = c.simplified ? prose(kSimplified, 2048) : prose(kTraditional, 2048);
    Import im;
    const std::string bytes = c.mark + (c.iconvName ? encodeAs(text, c.iconvName) : text);
    ImportOptions options;
    options.encoding = c.option;
    const ImportResult r = im.run("書.txt", bytes, options);
    ASSERT_TRUE(r.ok) << r.error;
    const BookContents book = readBookBack(im.out);
    ASSERT_TRUE(book.ok);
    EXPECT_EQ(book.title, "書");
    EXPECT_EQ(joined(book.texts), crlf(text));
}

INSTANTIATE_TEST_SUITE_P(Import, Encodings,
                         testing::Values(EncodingCase{"Utf8", nullptr, "", false, "auto"},
                                         EncodingCase{"Utf8Mark", nullptr, "\xEF\xBB\xBF", true, "auto"},
                                         EncodingCase{"Utf16LeMark", "UTF-16LE", "\xFF\xFE", false, "auto"},
                                         EncodingCase{"Utf16BeMark", "UTF-16BE", "\xFE\xFF", true, "auto"},
                                         EncodingCase{"Big5", "BIG5", "", false, "auto"},
                                         EncodingCase{"Gb18030", "GB18030", "", true, "auto"},
                                         EncodingCase{"Big5Named", "BIG5", "", false, "big5"},
                                         EncodingCase{"Utf16Named", "UTF-16LE", "", true, "utf16"},
                                         EncodingCase{"Utf16LeNoMark", "UTF-16LE", "", false, "auto"},
                                         EncodingCase{"Utf16BeNoMark", "UTF-16BE", "", true, "auto"}),
                         [](const auto &info) { return std::string(info.param.name); });

// --- Which lines are chapter headings.

struct HeadingCase {
    const char *line;
    bool heading;
};

class Headings : public testing::TestWithParam<HeadingCase> {};

TEST_P(Headings, AreRecognised)
{
    EXPECT_EQ(isChapterHeading(utf8ToUtf16(GetParam().line)), GetParam().heading) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Import, Headings,
    testing::Values(HeadingCase{"第一章", true}, HeadingCase{"第十二章 風起雲湧", true},
                    HeadingCase{"第一百零八回　忠義堂石碣受天文", true}, HeadingCase{"第12回", true},
                    HeadingCase{"第１２節：重逢", true}, HeadingCase{"第三卷", true}, HeadingCase{"第二集", true},
                    HeadingCase{"第一部 起", true}, HeadingCase{"第五篇", true}, HeadingCase{"第一章风起", true},
                    HeadingCase{"　　第二十回 王熙鳳正言彈妒意", true}, HeadingCase{"序", true},
                    HeadingCase{"序章", true}, HeadingCase{"楔子", true}, HeadingCase{"引子 開端", true},
                    HeadingCase{"前言", true}, HeadingCase{"後記", true}, HeadingCase{"后记", true},
                    HeadingCase{"尾聲", true}, HeadingCase{"尾声", true}, HeadingCase{"番外一", true},
                    HeadingCase{"番外：重逢", true}, HeadingCase{"第一章的結尾，他終於回到了故鄉。", false},
                    HeadingCase{"第三者", false}, HeadingCase{"第二回合開始了", false}, HeadingCase{"第一天", false},
                    HeadingCase{"序幕", false}, HeadingCase{"前言不搭後語", false}, HeadingCase{"第章", false},
                    HeadingCase{"他讀完了第一章 然後睡了", false}, HeadingCase{"第三首 靜夜思", true},
                    HeadingCase{"第七則", true}, HeadingCase{"卷一", true}, HeadingCase{"卷之三 詠物", true},
                    HeadingCase{"卷上", true}, HeadingCase{"卷軸", false},
                    HeadingCase{"第1章 --enable-foo=/usr/local/lib", false}));

// --- How a text is cut into sections.

std::string chapters(int count, const std::string &body)
{
    std::string out;
    for (int i = 1; i <= count; ++i)
        out += "第" + std::to_string(i) + "章 標題\n" + body;
    return out;
}

struct SplitCase {
    const char *name;
    std::string text;
    std::vector<std::string> firstTitles; // of the book read back
    std::size_t sections;
    std::string dropped; // leading text that is no section (blank lines)
};

class Splitting : public testing::TestWithParam<SplitCase> {};

TEST_P(Splitting, KeepsEveryCharacterInOrder)
{
    const SplitCase &c = GetParam();
    Import im;
    ImportOptions options;
    options.title = "書名";
    const ImportResult r = im.run("in.txt", c.text, options);
    ASSERT_TRUE(r.ok) << r.error;
    const BookContents book = readBookBack(im.out);
    ASSERT_TRUE(book.ok);
    EXPECT_EQ(book.texts.size(), c.sections);
    ASSERT_GE(book.titles.size(), c.firstTitles.size());
    for (std::size_t i = 0; i < c.firstTitles.size(); ++i)
        EXPECT_EQ(book.titles[i], c.firstTitles[i]) << i;
    EXPECT_EQ(crlf(c.dropped) + joined(book.texts), crlf(c.text));
    for (const std::string &t : book.texts) {
        EXPECT_LE(t.size(), 3 * kMaxSectionLength); // UTF-8 bytes
        EXPECT_EQ(t.substr(t.size() - 2), "\r\n");  // cut at line ends only
    }
}

const std::string kLine = std::string(prose(kTraditional, 300)) + "\n";

// An anthology: each piece a title line, an author line and a poem, pieces
// divided by separator lines.
std::string pieces(int count, const std::string &open, const std::string &close, const std::string &separator)
{
    std::string out = "選集\n\n";
    for (int i = 1; i <= count; ++i)
        out += open + "題" + std::to_string(i) + close + "\n李白\n床前明月光，疑是地上霜。\n" + separator;
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Import, Splitting,
    testing::Values(
        SplitCase{"Preamble", "書名頁\n作者\n" + chapters(2, kLine), {"書名", "第1章 標題", "第2章 標題"}, 3, ""},
        SplitCase{"BlankPreamble", "\n　\n" + chapters(2, kLine), {"第1章 標題"}, 2, "\n　\n"},
        SplitCase{"NoHeadings", prose(kTraditional, 75000), {"話說天下大勢，分久必合，合久必分。推其致"}, 3, ""},
        SplitCase{"TooManyChapters", chapters(1200, "短。\n"), {"第1章 標題 ～ 第3章 標題"}, 498, ""},
        SplitCase{"HugeChapter", "第一章\n" + prose(kTraditional, 1000000), {"第一章", "第一章（2）"}, 4, ""},
        SplitCase{"AnthologyTitles", pieces(315, "《", "》", "%\n"), {"書名", "題1", "題2"}, 316, ""},
        SplitCase{"LenticularTitles", pieces(4, "【", "】", "\n"), {"書名", "題1", "題2"}, 5, ""},
        SplitCase{"SeparatorsOnly", pieces(5, "", "", "＊＊＊\n"), {"書名", "題2", "題3"}, 5, ""},
        SplitCase{"VolumesAndPieces",
                  "卷一\n" + pieces(3, "《", "》", "-----\n") + "卷二\n" + pieces(3, "《", "》", ""),
                  {"卷一", "題1", "題2", "題3", "卷二"},
                  8,
                  ""},
        SplitCase{"LargeAnthology", pieces(1000, "《", "》", "%\n"), {"書名 ～ 題2", "題3 ～ 題5"}, 498, ""},
        SplitCase{"SceneBreaks", chapters(2, kLine + "＊＊＊\n" + kLine), {"第1章 標題", "第2章 標題"}, 2, ""},
        SplitCase{"PathsAreNoTitles",
                  ":/home/a/b\n--- x ---\n" + prose(kTraditional, 300),
                  {"話說天下大勢，分久必合，合久必分。推其致"},
                  1,
                  ""}),
    [](const auto &info) { return std::string(info.param.name); });

// --- Simplified to Traditional with Taiwan phrases, titles too.

TEST(ImportConversion, UsesTaiwanPhrasesInTextAndTitles)
{
    Import im;
    const std::string simplified = "第一章 软件\n我们用鼠标打开软件，后来头发白了。\n";
    ImportOptions options;
    options.toTraditional = true;
    const ImportResult r = im.run("简体书.txt", simplified, options);
    ASSERT_TRUE(r.ok) << r.error;
    const BookContents book = readBookBack(im.out);
    EXPECT_EQ(book.title, "簡體書");
    EXPECT_EQ(book.titles, std::vector<std::string>{"第一章 軟體"});
    EXPECT_EQ(joined(book.texts), "第一章 軟體\r\n我們用滑鼠開啟軟體，後來頭髮白了。\r\n");

    writeFile(im.dir.file("s.txt"), prose(kSimplified, 2048));
    writeFile(im.dir.file("t.txt"), prose(kTraditional, 2048));
    EXPECT_TRUE(isMostlySimplified(im.dir.file("s.txt")));
    EXPECT_FALSE(isMostlySimplified(im.dir.file("t.txt")));
}

// --- EPUB: spine order, titles from the navigation document, the NCX or the
// first heading; markup reduced to lines.

struct EpubCase {
    const char *name;
    bool withNav, withNcx;
    std::vector<std::string> titles;
};

class Epubs : public testing::TestWithParam<EpubCase> {};

TEST_P(Epubs, ReadInSpineOrder)
{
    EpubRecipe spec;
    spec.title = "紅樓夢 &amp; 續";
    spec.withNav = GetParam().withNav;
    spec.withNcx = GetParam().withNcx;
    spec.documents = {{"b.xhtml",
                       "<h1>標題乙</h1><p>甲<ruby>漢<rp>(</rp><rt>han</rt><rp>)</rp></ruby>字&nbsp;&#x4E00;</p>"
                       "<script>var x = 1;</script><div>一<br/>二</div><img src=\"a.png\"/>"},
                      {"cover.xhtml", "<img src=\"cover.png\"/>"},
                      {"text/a.xhtml", "<script src=\"a.js\"/><h2>標題甲</h2>\n<p>  第一行\n  續  </p>"}};
    spec.navTitles = {"目錄乙", "", "目錄甲"};
    Import im;
    writeZip(im.dir.file("book.epub"), epubEntries(spec));
    const ImportResult r = importBook(im.dir.file("book.epub"), im.out, {});
    ASSERT_TRUE(r.ok) << r.error;
    const BookContents book = readBookBack(im.out);
    EXPECT_EQ(book.title, "紅樓夢 & 續");
    EXPECT_EQ(book.titles, GetParam().titles);
    EXPECT_EQ(book.texts,
              (std::vector<std::string>{"標題乙\r\n甲漢字\u00A0一\r\n一\r\n二\r\n", "標題甲\r\n第一行 續\r\n"}));
}

INSTANTIATE_TEST_SUITE_P(Import, Epubs,
                         testing::Values(EpubCase{"Nav", true, false, {"目錄乙", "目錄甲"}},
                                         EpubCase{"Ncx", false, true, {"目錄乙", "目錄甲"}},
                                         EpubCase{"Headings", false, false, {"標題乙", "標題甲"}}),
                         [](const auto &info) { return std::string(info.param.name); });

// --- Damaged inputs are refused with a reason; nothing is written and a book
// already at the target is kept.

struct DamagedCase {
    const char *name;
    const char *file;
    std::function<std::string(const TempDir &)> bytes;
    const char *encoding;
    const char *reason; // part of the message
    ImportFault fault;
    enum { File, Pipe, Folder } kind = File;
};

std::string epubBytes(const TempDir &dir, std::vector<std::pair<std::string, std::string>> entries)
{
    writeZip(dir.file("made.zip"), entries);
    return readFile(dir.file("made.zip"));
}

EpubRecipe oneChapter()
{
    EpubRecipe spec;
    spec.title = "書";
    spec.documents = {{"a.xhtml", "<p>正文</p>"}};
    return spec;
}

// The entries with a document type declaring entities, one referring to
// the other, put into the entry called name.
std::vector<std::pair<std::string, std::string>> withEntities(std::vector<std::pair<std::string, std::string>> entries,
                                                              const std::string &name)
{
    const std::string doctype = "<!DOCTYPE x [<!ENTITY a \"aaaaaaaaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;\">]>";
    for (auto &[entry, text] : entries) {
        if (entry != name)
            continue;
        const std::size_t declaration = text.find("?>");
        text.insert(declaration == std::string::npos ? 0 : declaration + 2, doctype);
        text.insert(text.rfind('<'), "&b;&b;&b;");
    }
    return entries;
}

// An EPUB whose central directory states a smaller size for an entry than
// its data has.
std::string understatedEntry(const TempDir &dir)
{
    std::string bytes = epubBytes(dir, epubEntries(oneChapter()));
    const std::string name = "OPS/a.xhtml";
    for (std::size_t at = bytes.find("PK\x01\x02"); at != std::string::npos; at = bytes.find("PK\x01\x02", at + 4)) {
        const std::size_t nameLength = std::uint8_t(bytes[at + 28]) | std::uint8_t(bytes[at + 29]) << 8;
        if (bytes.compare(at + 46, nameLength, name) == 0)
            bytes[at + 24] = char(std::uint8_t(bytes[at + 24]) / 2); // uncompressed size, low byte
    }
    return bytes;
}

class Damaged : public testing::TestWithParam<DamagedCase> {};

TEST_P(Damaged, IsRefusedAndNothingIsWritten)
{
    const DamagedCase &c = GetParam();
    Import im;
    writeFile(im.out, "an earlier book");
    ImportOptions options;
    options.encoding = c.encoding;
    if (c.kind == DamagedCase::Pipe)
        ASSERT_EQ(::mkfifo(im.dir.file(c.file).c_str(), 0600), 0);
    else if (c.kind == DamagedCase::Folder)
        std::filesystem::create_directory(im.dir.file(c.file));
    // A pipe nobody writes to must not hold the import.
    const ImportResult r = c.kind == DamagedCase::File ? im.run(c.file, c.bytes(im.dir), options)
                                                       : importBook(im.dir.file(c.file), im.out, options);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find(c.reason), std::string::npos) << r.error;
    EXPECT_EQ(r.fault, c.fault);
    EXPECT_EQ(r.error.find('\n'), std::string::npos);
    EXPECT_EQ(readFile(im.out), "an earlier book");
    for (const std::string &name : listing(im.dir.path()))
        EXPECT_EQ(name.find("out.updb."), std::string::npos) << name;
    for (const auto &entry : std::filesystem::directory_iterator(im.dir.path()))
        EXPECT_NE(entry.path().filename().string().rfind(".pagora-", 0), 0u) << entry.path();
}

INSTANTIATE_TEST_SUITE_P(
    Import, Damaged,
    testing::Values(
        DamagedCase{"TruncatedZip", "a.epub",
                    [](const TempDir &d) {
                        const std::string b = epubBytes(d, epubEntries(oneChapter()));
                        return b.substr(0, b.size() / 2);
                    },
                    "auto", "not a readable EPUB", ImportFault::NotAnEpub},
        DamagedCase{"MissingContainer", "a.epub",
                    [](const TempDir &d) {
                        return epubBytes(d, {{"mimetype", "application/epub+zip"}});
                    },
                    "auto", "container.xml is missing", ImportFault::NotAnEpub},
        DamagedCase{"Encrypted", "a.epub",
                    [](const TempDir &d) {
                        EpubRecipe spec = oneChapter();
                        spec.extraEntries = {{"META-INF/encryption.xml",
                                              "<encryption><EncryptedData><CipherData><CipherReference "
                                              "URI=\"OPS/a.xhtml\"/></CipherData></EncryptedData></encryption>"}};
                        return epubBytes(d, epubEntries(spec));
                    },
                    "auto", "DRM", ImportFault::Drm},
        DamagedCase{"InvalidUtf8", "a.txt", [](const TempDir &) { return std::string("第一章\n正文\xE6\xAD\n"); },
                    "utf8", "not valid UTF-8 (byte 16)", ImportFault::InvalidText},
        DamagedCase{"BinaryAsText", "a.txt",
                    [](const TempDir &) {
                        std::string b;
                        for (int i = 0; i < 4096; ++i)
                            b.push_back(char(i * 7 % 256));
                        return b;
                    },
                    "auto", "not text", ImportFault::NotText},
        DamagedCase{"NulsAsUtf8", "a.txt",
                    [](const TempDir &) {
                        return std::string("\x7F"
                                           "ELF\0\0\0\0",
                                           8);
                    },
                    "utf8", "not text", ImportFault::NotText},
        DamagedCase{"Empty", "a.txt", [](const TempDir &) { return std::string("\n\n"); }, "auto", "no text",
                    ImportFault::Empty},
        DamagedCase{"EmptyFile", "a.txt", [](const TempDir &) { return std::string(); }, "auto", "no text",
                    ImportFault::Empty},
        DamagedCase{"UnknownEncoding", "a.txt",
                    [](const TempDir &) {
                        std::string b;
                        for (int i = 0; i < 4096; ++i)
                            b.push_back(char(0x80 + i * 7 % 128));
                        return b;
                    },
                    "auto", "cannot be told", ImportFault::UnknownEncoding},
        DamagedCase{"PngNamedText", "a.txt",
                    [](const TempDir &) { return std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x10", 20); }, "auto",
                    "not text", ImportFault::NotText},
        DamagedCase{"EmptyEpub", "a.epub", [](const TempDir &) { return std::string(); }, "auto", "not a readable EPUB",
                    ImportFault::NotAnEpub},
        DamagedCase{"EntitiesInContainer", "a.epub",
                    [](const TempDir &d) {
                        return epubBytes(d, withEntities(epubEntries(oneChapter()), "META-INF/container.xml"));
                    },
                    "auto", "declares entities", ImportFault::Entities},
        DamagedCase{
            "EntitiesInPackage", "a.epub",
            [](const TempDir &d) { return epubBytes(d, withEntities(epubEntries(oneChapter()), "OPS/content.opf")); },
            "auto", "declares entities", ImportFault::Entities},
        DamagedCase{
            "EntitiesInNavigation", "a.epub",
            [](const TempDir &d) { return epubBytes(d, withEntities(epubEntries(oneChapter()), "OPS/nav.xhtml")); },
            "auto", "declares entities", ImportFault::Entities},
        DamagedCase{"EntitiesInNcx", "a.epub",
                    [](const TempDir &d) {
                        EpubRecipe spec = oneChapter();
                        spec.withNcx = true;
                        return epubBytes(d, withEntities(epubEntries(spec), "OPS/toc.ncx"));
                    },
                    "auto", "declares entities", ImportFault::Entities},
        DamagedCase{
            "EntitiesInContent", "a.epub",
            [](const TempDir &d) { return epubBytes(d, withEntities(epubEntries(oneChapter()), "OPS/a.xhtml")); },
            "auto", "declares entities", ImportFault::Entities},
        DamagedCase{"EntryLargerThanStated", "a.epub", understatedEntry, "auto", "damaged", ImportFault::DamagedEpub},
        DamagedCase{"EntryOverTheCap", "a.epub",
                    [](const TempDir &d) {
                        EpubRecipe spec = oneChapter();
                        spec.documents = {{"a.xhtml", "<p>" + std::string(33u << 20, 'x') + "</p>"}};
                        return epubBytes(d, epubEntries(spec));
                    },
                    "auto", "too large", ImportFault::DamagedEpub},
        DamagedCase{"Pipe", "a.txt", {}, "auto", "not a file", ImportFault::NotAFile, DamagedCase::Pipe},
        DamagedCase{"Folder", "a.epub", {}, "auto", "not a file", ImportFault::NotAFile, DamagedCase::Folder}),
    [](const auto &info) { return std::string(info.param.name); });

// --- Texts as terminals and bulletin boards save them, and names at the
// file system's limit, import; the book's mode follows the umask.

struct AcceptedCase {
    const char *name;
    std::string file, bytes, text;
};

class Accepted : public testing::TestWithParam<AcceptedCase> {};

TEST_P(Accepted, ImportsCleanText)
{
    const AcceptedCase &c = GetParam();
    Import im;
    writeFile(im.dir.file(c.file), c.bytes);
    const std::string out = im.dir.file(c.file.substr(0, c.file.rfind('.')) + ".updb");
    const mode_t before = ::umask(027);
    const ImportResult r = importBook(im.dir.file(c.file), out, {});
    ::umask(before);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(joined(readBookBack(out).texts), c.text);
    struct stat st;
    ASSERT_EQ(::stat(out.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

INSTANTIATE_TEST_SUITE_P(Import, Accepted,
                         testing::Values(AcceptedCase{"AnsiColours", "a.txt",
                                                      "\x1B[1;31m第一章\x1B[0m 甲\n\x1B[2K正\x1B]0;title\x07文\x1B(B\n",
                                                      "第一章 甲\r\n正文\r\n"},
                                         AcceptedCase{"OtherControls", "a.txt", "第一章\x01\x08\f\n\t正文\x7F\x1F\n",
                                                      "第一章\r\n\t正文\x7F\r\n"},
                                         AcceptedCase{"LongestName", std::string(249, 'n') + ".txt", "第一章\n正文\n",
                                                      "第一章\r\n正文\r\n"}),
                         [](const auto &info) { return std::string(info.param.name); });

// --- Curly quotes after conversion to Traditional.

struct QuoteCase {
    std::u16string in, out;
};

class CornerQuotes : public testing::TestWithParam<QuoteCase> {};

TEST_P(CornerQuotes, PairOuterFirst)
{
    EXPECT_EQ(withCornerQuotes(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Import, CornerQuotes,
                         testing::Values(QuoteCase{u"他說：“好。”", u"他說：「好。」"}, QuoteCase{u"‘甲’", u"「甲」"},
                                         QuoteCase{u"“他說‘好’。”", u"「他說『好』。」"},
                                         QuoteCase{u"‘他說“好”。’", u"「他說『好』。」"},
                                         QuoteCase{u"“一“二”三”", u"「一『二』三」"},
                                         QuoteCase{u"don’t “走”", u"don’t 「走」"},
                                         QuoteCase{u"“未完\n“另起”", u"“未完\n「另起」"}, QuoteCase{u"”反“", u"”反“"},
                                         QuoteCase{u"“甲‘乙”丙’", u"「甲‘乙」丙’"}));

TEST(ImportProgressReport, RisesToOneAndCancelLeavesNothing)
{
    Import im;
    writeFile(im.dir.file("in.txt"), chapters(50, kLine));
    std::vector<double> shares;
    ASSERT_TRUE(importBook(im.dir.file("in.txt"), im.out, {}, [&](double s) {
                    shares.push_back(s);
                    return true;
                }).ok);
    ASSERT_FALSE(shares.empty());
    EXPECT_TRUE(std::is_sorted(shares.begin(), shares.end()));
    EXPECT_EQ(shares.back(), 1.0);

    const std::string other = im.dir.file("other.updb");
    EXPECT_FALSE(importBook(im.dir.file("in.txt"), other, {}, [](double) { return false; }).ok);
    EXPECT_FALSE(readBookBack(other).ok);
    EXPECT_EQ(listing(im.dir.path()).size(), 2u); // in.txt, out.updb
}

TEST(ImportThreads, TwoImportsAtOnceGiveTheSameBook)
{
    Import im;
    writeFile(im.dir.file("in.txt"), chapters(20, prose(kSimplified, 3000)));
    ImportOptions options;
    options.toTraditional = true;
    ImportResult a, b;
    std::thread other([&] { b = importBook(im.dir.file("in.txt"), im.dir.file("b.updb"), options); });
    a = importBook(im.dir.file("in.txt"), im.out, options);
    other.join();
    ASSERT_TRUE(a.ok && b.ok) << a.error << b.error;
    EXPECT_EQ(readFile(im.out), readFile(im.dir.file("b.updb")));
}

// --- The command line others script against.

struct CommandCase {
    std::vector<std::string> args; // "IN" and "OUT" stand for files of the test
    int status;
};

class ImportCommand : public testing::TestWithParam<CommandCase> {};

TEST_P(ImportCommand, ExitsWithTheContractedStatus)
{
    TempDir dir;
    writeFile(dir.file("in.txt"), "第一章 甲\n正文\n");
    std::vector<std::string> args = {"import"};
    for (const std::string &a : GetParam().args)
        args.push_back(a == "IN" ? dir.file("in.txt") : a == "OUT" ? dir.file("out.updb") : a);
    const Outcome r = runBookTool(dir, args);
    EXPECT_EQ(r.status, GetParam().status) << r.err;
    // A failure is one line, whatever the names in it hold.
    if (r.status == 1) {
        EXPECT_TRUE(std::count(r.err.begin(), r.err.end(), '\n') == 1 && r.err.find('\x1b') == std::string::npos)
            << r.err;
    }
    EXPECT_EQ(readBookBack(dir.file("out.updb")).ok, GetParam().status == 0 && GetParam().args.size() > 1);
}

INSTANTIATE_TEST_SUITE_P(
    Import, ImportCommand,
    testing::Values(
        CommandCase{{"--encoding", "utf8", "--to-traditional", "--title", "書", "-o", "OUT", "IN"}, 0},
        CommandCase{{"--help"}, 0}, CommandCase{{"-o", "OUT"}, 2},
        CommandCase{{"--encoding", "latin1", "-o", "OUT", "IN"}, 2}, CommandCase{{"--bogus", "-o", "OUT", "IN"}, 2},
        CommandCase{{"--encoding", "utf16", "-o", "OUT", "IN"}, 1}, CommandCase{{"-o", "OUT", "missing.txt"}, 1},
        CommandCase{{"-o", "OUT", "--", "IN"}, 0}, CommandCase{{"-o", "OUT", "--", "x\ntemp y\x1b[2J.txt"}, 1},
        CommandCase{{"-o", "OUT", "--output-fd", "1", "IN"}, 2}, CommandCase{{"--output-fd", "7", "IN"}, 2}));

} // namespace
