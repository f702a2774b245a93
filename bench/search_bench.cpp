// Find next across a whole 50 MB book that does not hold the text: every
// section is read, decoded and scanned, none laid out, and the section shown
// stays as it was. The floor beside it reads the same file and scans its
// decoded sections with std::search alone.
#include "app/navigation.h"
#include "app/reader.h"
#include "app/search.h"
#include "book/book_writer.h"
#include "book/bookmark_store.h"
#include "book/section_loader.h"
#include "text/codec.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace pagora;

namespace {

constexpr int kSections = 100;
constexpr std::size_t kBookBytes = 50u << 20;
const std::u16string kAbsent = u"龘龘";

class QuietDialogs final : public Dialogs {
public:
    void showMessage(std::u16string_view) override {}
    bool askYesNo(std::u16string_view) override { return false; }
    bool chooseFont(std::string &, int &) override { return false; }
    bool chooseFolder(std::u16string_view, std::string &) override { return false; }
};

class FixedBox final : public TextBox {
public:
    std::u16string content;
    bool isCreated() const override { return true; }
    void create(int, int, int, int) override {}
    void show() override {}
    void hide() override {}
    void focus() override {}
    std::u16string text() const override { return content; }
};

// Text of one section: common characters in lines of 30, with paragraph
// breaks, some ASCII words and two-digit numbers, in code page 950.
std::u16string sectionText(int section, std::size_t units)
{
    static const std::u16string common =
        u"的一是在不了有和人這中大為上個國我以要他時來用們生到作地於出就分對成會可主發年動同工也能下過子說產種面而方後"
        u"多定行學法所民得經十三之進著等部度家電力裡如水化高自二理起小物現實加量都兩體制機當使點從業本去把性好應開它合"
        u"還因由其些然前外天政四日那社義事平形相全表間樣與關各重新線內數正心反你明看原又麼利比或但質氣第向道命此變條只"
        u"沒結解問意建月公無系軍很情者最立代想已通並提直題黨程展五果料象員革位入常文總次品式活設及管特件長求老頭基資邊"
        u"流路級少圖山統接知較將組見計別她手角期根論運農指幾九區強放決西被幹做必戰先回則任取據處理府研質";
    std::u16string text;
    text.reserve(units);
    std::uint32_t seed = std::uint32_t(section) * 2654435761u;
    std::size_t line = 0;
    while (text.size() + 2 < units) {
        seed = seed * 1103515245u + 12345u;
        const std::uint32_t pick = seed >> 16;
        if (line >= 30) {
            text += u"\r\n";
            if (pick % 7 == 0)
                text += u"\r\n";
            line = 0;
        } else if (pick % 97 == 0) {
            text += u"Pagora";
            line += 6;
        } else if (pick % 89 == 0) {
            text += u"12";
            line += 1;
        } else {
            text += common[pick % common.size()];
            ++line;
        }
    }
    return text;
}

struct Book {
    std::string folder;
    std::string name = "big.pdb";
    std::string path() const { return folder + name; }
};

const Book &bigBook()
{
    static const Book book = [] {
        Book b;
        b.folder = (std::filesystem::temp_directory_path() / "pagora-search-bench/").string();
        std::filesystem::create_directories(b.folder);
        BookRecipe spec;
        spec.encoding = BookEncoding::CP950;
        spec.title = u"大書";
        const std::size_t units = kBookBytes / 2 / kSections; // two bytes a character
        for (int k = 1; k <= kSections; ++k) {
            const std::string number = std::to_string(k);
            spec.sectionTitles.push_back(u"第" + std::u16string(number.begin(), number.end()) + u"節");
            spec.sectionTexts.push_back(sectionText(k, units));
        }
        std::string bytes, error;
        if (!writeBookBytes(spec, bytes, &error)) {
            std::fprintf(stderr, "cannot make the book: %s\n", error.c_str());
            std::abort();
        }
        std::ofstream(b.path(), std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
        return b;
    }();
    return book;
}

struct OpenReader {
    QuietDialogs dialogs;
    FixedBox box;
    Reader r;
    OpenReader()
    {
        const Book &book = bigBook();
        r.services.files = &systemFiles();
        r.services.dialogs = &dialogs;
        r.services.searchBox = &box;
        ReaderState &s = r.state;
        s.window.clientWidth = 360;
        s.window.clientHeight = 400;
        s.shelf.shelfPath = book.folder;
        if (!addBook(*r.services.files, r.state.shelf, book.name))
            std::abort();
        s.shelf.select(0);
        resetBookmarkTables(s.bookmarks, s.shelf.maxSectionCount);
        if (!openBookFile(*r.services.files, r.state.shelf, r.state.book) ||
            (s.book.sectionCount = s.shelf.catalogue()[0].sectionCount,
             !loadContents(r.state.book, r.state.shelf.selectedEntry())))
            std::abort();
        s.book.currentSection = 1;
        loadSection(r);
        s.book.pages.turnTo(1);
        s.currentScreen = Screen::MenuScreen;
        s.menu.searchMode = true;
        box.content = kAbsent;
    }
    ~OpenReader() { r.state.book.bookFile.close(); }
};

void BM_FindNextAcrossTheBook(benchmark::State &state)
{
    OpenReader reader;
    std::int64_t bytes = 0;
    for (auto _ : state) {
        const int found = findNext(reader.r);
        benchmark::DoNotOptimize(found);
        if (found != 0 || reader.r.state.book.currentSection != 1)
            state.SkipWithError("the text was found or the position was lost");
        bytes += std::int64_t(std::filesystem::file_size(bigBook().path()));
    }
    state.SetBytesProcessed(bytes);
}

void BM_ReadDecodeSearchFloor(benchmark::State &state)
{
    const std::string path = bigBook().path();
    std::int64_t bytes = 0;
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        std::string file(std::filesystem::file_size(path), '\0');
        in.read(file.data(), std::streamsize(file.size()));
        const int count = std::uint8_t(file[76]) << 8 | std::uint8_t(file[77]);
        auto offset = [&](int i) {
            const std::size_t at = 78 + 8 * std::size_t(i);
            return std::size_t(std::uint8_t(file[at])) << 24 | std::size_t(std::uint8_t(file[at + 1])) << 16 |
                   std::size_t(std::uint8_t(file[at + 2])) << 8 | std::uint8_t(file[at + 3]);
        };
        bool found = false;
        for (int i = 1; i < count; ++i) {
            const std::size_t start = offset(i);
            const std::size_t end = i + 1 < count ? offset(i + 1) : file.size();
            const std::u16string text = decodeCp950(file.data() + start, end - start - 1);
            found |= std::search(text.begin(), text.end(), kAbsent.begin(), kAbsent.end()) != text.end();
        }
        benchmark::DoNotOptimize(found);
        bytes += std::int64_t(file.size());
    }
    state.SetBytesProcessed(bytes);
}

} // namespace

BENCHMARK(BM_FindNextAcrossTheBook)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_ReadDecodeSearchFloor)->Unit(benchmark::kMillisecond)->MinTime(3.0);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::temp_directory_path() / "pagora-search-bench", ignored);
    return 0;
}
