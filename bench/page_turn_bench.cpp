// Page turns on the reading screen as a reader makes them: a reader started
// anew (an empty glyph cache) opens a book of sections of 50,000 characters
// at its first page and turns forward through the first section into the
// second. Measured: the first turn after the page was shown and the turn
// into the next section, each against the median turn. With work_ahead 1 the
// reader is idle between turns and does its idle work (as the event loop
// lets it); with 0 it does none, as before that work existed.
//
// The text draws on some 5,000 ideographs, the common ones far more often,
// so that a page brings characters the pages before did not have.
#include "app/book_place.h"
#include "app/navigation.h"
#include "app/reader.h"
#include "app/shelf_operations.h"
#include "app/work_ahead.h"
#include "book/book_writer.h"
#include "book/catalogue.h"
#include "platform/files.h"
#include "qt/qt_surface.h"
#include "render/primitives.h"
#include "state/interface_texts.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>

using namespace pagora;

namespace {

constexpr int kSections = 3;
constexpr std::size_t kSectionUnits = 50000;

std::u16string varietyText(unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> roll(0, 1);
    std::u16string t;
    t.reserve(kSectionUnits);
    int paragraph = 0;
    while (t.size() < kSectionUnits) {
        const double u = roll(rng);
        if (++paragraph > 300 && u < 0.01) {
            t += u"\r\n";
            paragraph = 0;
        } else if (u < 0.08) {
            t += u < 0.05 ? u'，' : u'。';
        } else {
            t += char16_t(0x4E00 + int(5000 * u * u * u));
        }
    }
    t.resize(kSectionUnits);
    return t;
}

struct Book {
    std::string folder;
    Book()
    {
        folder = (std::filesystem::temp_directory_path() / "page-turn-XXXXXX").string();
        if (!mkdtemp(folder.data()))
            std::abort();
        folder += "/";
        BookRecipe spec;
        spec.encoding = BookEncoding::UTF16LE;
        spec.title = u"書";
        for (int k = 0; k < kSections; ++k) {
            spec.sectionTexts.push_back(varietyText(unsigned(k + 1)));
            spec.sectionTitles.push_back(u"第" + std::u16string(1, char16_t(0x4E00 + k)) + u"回");
        }
        std::string bytes;
        if (!writeBookBytes(spec, bytes) || !replaceFileAtomically(systemFiles(), folder + "book.updb", bytes))
            std::abort();
    }
    ~Book() { std::filesystem::remove_all(folder); }
};

double msSince(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void pageTurns(benchmark::State &state)
{
    static Book book;
    const bool workAheadOn = state.range(0) != 0;
    std::vector<double> first, turns, intoSection;
    for (auto _ : state) {
        // A reader started anew on a 704 x 544 panel, its book open.
        QtSurface surface;
        surface.resize(704, 544);
        Reader r;
        r.services.surface = &surface;
        r.services.glyphWarmer = &surface.glyphWarmer();
        r.services.files = &systemFiles();
        r.state.window.clientWidth = 704;
        r.state.window.clientHeight = 544;
        r.state.look.fontName = std::string(texts::defaultFaceUtf8);
        remakeInterfaceFont(r);
        remakeReadingFont(r);
        r.state.shelf.shelfPath = book.folder;
        rebuildCatalogue(*r.services.files, r.state.shelf, r.state.book, r.state.bookmarks, r.state.menu,
                         r.state.search);
        r.state.shelf.select(0);
        openSelectedBook(r); // at its contents: the first section is chosen
        r.state.shelf.setOpenBook(r.state.shelf.selectedBook());
        r.state.book.currentSection = 1;
        openSectionAtFirstPage(r);
        // Its first page shown; the rest of the section is laid out while idle.
        if (r.state.currentScreen != Screen::ReadingScreen || std::size_t(r.state.book.textLength()) != kSectionUnits) {
            state.SkipWithError("the book did not open");
            return;
        }
        // As the event loop lets the reader work between events: the book's
        // fingerprint after its first page (both ways), then the work ahead.
        const auto idle = [&] {
            while (workOnFingerprint(r)) {
            }
            while (workAheadOn && workAhead(r)) {
            }
        };
        idle();
        bool isFirst = true;
        while (r.state.book.currentSection == 1) {
            const auto t0 = std::chrono::steady_clock::now();
            nextPageCommand(r);
            const double ms = msSince(t0);
            (isFirst ? first : r.state.book.currentSection == 2 ? intoSection : turns).push_back(ms);
            isFirst = false;
            idle();
        }
    }
    const double m = median(turns);
    state.counters["first_ms"] = median(first);
    state.counters["median_ms"] = m;
    state.counters["section_ms"] = median(intoSection);
    state.counters["first_ratio"] = median(first) / m;
    state.counters["section_ratio"] = median(intoSection) / m;
}
BENCHMARK(pageTurns)->ArgName("work_ahead")->Arg(0)->Arg(1)->Iterations(15)->Unit(benchmark::kMillisecond);

} // namespace
