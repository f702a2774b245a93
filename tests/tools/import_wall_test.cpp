// The reader's importer with the real pagora-book as its child: hostile
// files and names touch nothing but the one file the reader made.
#include "gui_app.h"
#include "import_fixtures.h"
#include "tool_runner.h"

#include "platform/files.h"
#include "qt/qt_importer.h"
#include "state/interface_texts.h"
#include "text/codec.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

using namespace pagora;

namespace {

namespace fs = std::filesystem;

struct WallCase {
    const char *name;
    std::string file; // made in the test's working folder, beside the victim
    std::function<std::string(const TempDir &)> bytes;
    std::u16string_view reason; // empty: the book is made
};

class Wall : public testing::TestWithParam<WallCase> {};

TEST_P(Wall, TouchesOnlyTheFileTheReaderMade)
{
    const WallCase &c = GetParam();
    ensureGuiApp();
    TempDir dir;
    const std::string shelf = dir.file("shelf/");
    fs::create_directories(shelf);
    writeFile(dir.file("thesis.odt"), "years of work");
    writeFile(dir.file(c.file), c.bytes(dir));
    // A "temp NAME" line relative to the reader's folder would name the victim.
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    ::setenv("PAGORA_TEST_IMPORTER", bookToolPath().c_str(), 1);
    QtImporter importer(nullptr);
    std::string error;
    const std::string out = shelf + kImportTempPrefix + "book.updb";
    const auto outcome = importer.importBook(dir.file(c.file), out, false, u"", error);
    ::unsetenv("PAGORA_TEST_IMPORTER");
    fs::current_path(before);

    EXPECT_EQ(readFile(dir.file("thesis.odt")), "years of work");
    EXPECT_EQ(utf8ToUtf16(error), c.reason);
    EXPECT_EQ(outcome, c.reason.empty() ? BookImporter::Outcome::Done : BookImporter::Outcome::Failed);
    std::vector<std::string> left;
    for (const auto &e : fs::directory_iterator(shelf))
        left.push_back(e.path().filename().string());
    EXPECT_EQ(left, c.reason.empty() ? std::vector<std::string>{kImportTempPrefix + std::string("book.updb")}
                                     : std::vector<std::string>{});
    if (c.reason.empty()) {
        EXPECT_TRUE(readBookBack(out).ok);
    }
}

std::string rootfileNaming(const TempDir &dir)
{
    const std::string container =
        R"(<?xml version="1.0"?><container version="1.0" xmlns="urn:oasis:names:tc:opendocument:xmlns:container">)"
        R"(<rootfiles><rootfile full-path="x%0Atemp%20)" +
        dir.file("thesis.odt") + R"(%0Ay" media-type="application/oebps-package+xml"/></rootfiles></container>)";
    writeZip(dir.file("made.zip"), {{"mimetype", "application/epub+zip"}, {"META-INF/container.xml", container}});
    return readFile(dir.file("made.zip"));
}

INSTANTIATE_TEST_SUITE_P(Import, Wall,
                         testing::Values(WallCase{"PlainTextIsImported", "novel.txt",
                                                  [](const TempDir &) { return std::string("第一章\n正文\n"); }, u""},
                                         WallCase{"RootfileNamesAVictim", "a.epub", rootfileNaming,
                                                  texts::importNotAnEpub},
                                         WallCase{"NameHoldsATempLine", "x\ntemp thesis.odt\n.txt",
                                                  [](const TempDir &) {
                                                      return std::string("\x7F"
                                                                         "ELF\0\0\0\0",
                                                                         8);
                                                  },
                                                  texts::importNotText}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
