// Start-up with a large shelf: the scan against the system calls it cannot
// avoid, the time to the first painted frame, and the peak memory of a
// reader with a large shelf and a large section open.
//
//   startup_bench [--benchmark_filter=...]
//
// The shelf is made once per run in a temporary folder. The peak memory is
// measured in a fresh process (this program started again), so that building
// the test books does not count.
#include "app/shelf_operations.h"
#include "book/book_writer.h"
#include "book/catalogue.h"
#include "platform/files.h"
#include "shell/mpanel.h"
#include "shell/thome.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace pagora;

extern char **environ;

namespace {

constexpr int kShelfBooks = 10000;
constexpr const char *kBigBook = "zz-big.updb";

std::u16string text(std::size_t units)
{
    const std::u16string verse = u"天地玄黃，宇宙洪荒。日月盈昃，辰宿列張。\r\n";
    std::u16string t;
    t.reserve(units);
    while (t.size() < units)
        t += verse;
    t.resize(units);
    return t;
}

std::string bookBytes(const std::u16string &title, const std::u16string &section, BookEncoding encoding)
{
    BookSpec spec;
    spec.encoding = encoding;
    spec.title = title;
    spec.sectionTitles = {u"第一回", u"第二回"};
    spec.sectionTexts = {section, section.substr(0, section.size() / 2)};
    std::string out;
    writeBookBytes(spec, out);
    return out;
}

void writeBytes(const std::string &path, const std::string &bytes)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// 10,000 small books (half .updb, half .pdb) and, for the memory figure,
// one book whose first section is 10 MB of UTF-16 text.
struct Shelf {
    std::string dir;
    Shelf()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "pagora-bench-XXXXXX").string();
        if (!mkdtemp(tmpl.data()))
            std::abort();
        dir = tmpl + "/";
        const std::u16string section = text(2000);
        for (int i = 0; i < kShelfBooks; ++i) {
            const bool wide = i % 2 == 0;
            char name[32];
            std::snprintf(name, sizeof name, "book%05d.%s", i, wide ? "updb" : "pdb");
            const std::string number = std::to_string(i);
            const std::u16string title = u"千字文第" + std::u16string(number.begin(), number.end()) + u"卷";
            writeBytes(dir + name, bookBytes(title, section, wide ? BookEncoding::UTF16LE : BookEncoding::CP950));
        }
        writeBytes(dir + kBigBook, bookBytes(u"大書", text(5 * 1024 * 1024), BookEncoding::UTF16LE));
    }
    ~Shelf()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

Shelf &shelf()
{
    static Shelf s;
    return s;
}

bool isBookName(const char *name)
{
    const std::string_view n(name);
    const auto ends = [&](std::string_view e) {
        if (n.size() < e.size())
            return false;
        for (std::size_t i = 0; i < e.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(n[n.size() - e.size() + i])) != e[i])
                return false;
        return true;
    };
    return ends(".updb") || ends(".pdb");
}

// What no scan can do without: list the folder, then open each book, read
// its first block (header, record list and header record of these books,
// in one call) and close it.
std::int64_t floorScan(const std::string &dir)
{
    std::int64_t bytes = 0;
    char buffer[4096];
    DIR *d = ::opendir(dir.c_str());
    if (!d)
        return 0;
    std::vector<std::string> names;
    while (dirent *e = ::readdir(d))
        if (isBookName(e->d_name))
            names.emplace_back(e->d_name);
    ::closedir(d);
    for (const std::string &name : names) {
        const int fd = ::open((dir + name).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        bytes += ::read(fd, buffer, sizeof buffer);
        ::close(fd);
    }
    return bytes;
}

// The reads the book layout itself asks for, each as its own call: open,
// the 78 bytes of header and count, the record list, the header record,
// close.
std::int64_t formatFloorScan(const std::string &dir)
{
    std::int64_t bytes = 0;
    std::vector<unsigned char> buffer(65536);
    DIR *d = ::opendir(dir.c_str());
    if (!d)
        return 0;
    std::vector<std::string> names;
    while (dirent *e = ::readdir(d))
        if (isBookName(e->d_name))
            names.emplace_back(e->d_name);
    ::closedir(d);
    for (const std::string &name : names) {
        const int fd = ::open((dir + name).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        unsigned char *b = buffer.data();
        if (::read(fd, b, 78) == 78) {
            const unsigned count = unsigned(b[76]) * 256 + b[77];
            const ssize_t list = ::read(fd, b, 8 * count);
            if (count >= 2 && list == ssize_t(8 * count)) {
                const auto offset = [&](int i) {
                    return (std::uint32_t(b[8 * i]) << 24) | (std::uint32_t(b[8 * i + 1]) << 16) |
                           (std::uint32_t(b[8 * i + 2]) << 8) | b[8 * i + 3];
                };
                const std::size_t header = std::min<std::size_t>(offset(1) - offset(0), buffer.size());
                bytes += ::read(fd, b, header);
            }
        }
        ::close(fd);
    }
    return bytes;
}

double seconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// The scan (rebuildCatalogue) and the floor, alternately on the same files,
// so that both see the same cache state.
void BM_ScanAgainstFloor(benchmark::State &state)
{
    Reader r;
    r.p.files = &systemFiles();
    r.s.shelf.shelfPath = shelf().dir;
    double scanTotal = 0, floorTotal = 0, formatTotal = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(floorScan(shelf().dir));
        auto t1 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(formatFloorScan(shelf().dir));
        auto t2 = std::chrono::steady_clock::now();
        releaseCatalogue(r);
        rebuildCatalogue(r);
        auto t3 = std::chrono::steady_clock::now();
        floorTotal += seconds(t1 - t0);
        formatTotal += seconds(t2 - t1);
        scanTotal += seconds(t3 - t2);
        state.SetIterationTime(seconds(t3 - t2));
    }
    const double n = double(state.iterations());
    state.counters["books"] = r.s.shelf.bookCount();
    state.counters["scan_ms"] = 1000 * scanTotal / n;
    state.counters["floor_ms"] = 1000 * floorTotal / n;
    state.counters["format_floor_ms"] = 1000 * formatTotal / n;
    state.counters["scan_per_floor"] = scanTotal / floorTotal;
    state.counters["scan_per_format_floor"] = scanTotal / formatTotal;
}
BENCHMARK(BM_ScanAgainstFloor)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

// From creating the main form (settings, fonts, window mode, scan, reopen)
// to the first frame painted and shown.
void BM_StartUpToFirstFrame(benchmark::State &state)
{
    for (auto _ : state) {
        THome home(shelf().dir);
        home.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(home.panel()->surface().image().constBits());
        state.counters["books"] = home.panel()->reader().s.shelf.bookCount();
    }
}
BENCHMARK(BM_StartUpToFirstFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

long maxResidentKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// Child mode: a reader on the shelf with the big book opened on a later
// page of its 10 MB section. Prints the figures for the parent.
int measurePeakMemory(const std::string &dir)
{
    int argc = 1;
    char name[] = "startup_bench";
    char *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    const long baseKb = maxResidentKb();
    THome home(dir);
    home.show();
    QCoreApplication::processEvents();
    const long shelfKb = maxResidentKb();
    Reader &r = home.panel()->reader();
    ReaderState &s = r.s;
    for (std::size_t i = 0; i < s.shelf.catalogue.size(); ++i)
        if (s.shelf.catalogue[i].fileName == kBigBook)
            s.shelf.selectedBook = std::int16_t(i);
    BookEntry *entry = s.shelf.selectedEntry();
    if (!entry || entry->fileName != kBigBook)
        return 1;
    entry->lastPage = 100;
    openSelectedBook(r);
    QCoreApplication::processEvents();
    std::size_t catalogueBytes = s.shelf.catalogue.capacity() * sizeof(BookEntry);
    for (const BookEntry &e : s.shelf.catalogue)
        catalogueBytes += e.fileName.capacity() + e.title.capacity() * 2;
    std::printf("%ld %ld %ld %zu %zu %zu %zu %d\n", baseKb, shelfKb, maxResidentKb(), catalogueBytes,
                s.book.sectionText.capacity() * 2, s.book.bookFile.recordBytes.capacity(), s.book.pages.heapBytes(),
                s.book.pages.pageCount());
    return 0;
}

void BM_PeakMemory(benchmark::State &state)
{
    const std::string dir = shelf().dir;
    for (auto _ : state) {
        char self[4096] = {};
        const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
        if (n <= 0) {
            state.SkipWithError("no /proc/self/exe");
            return;
        }
        const std::string out = dir + "peak.txt";
        std::string command = std::string("'") + self + "' --peak-memory '" + dir + "' > '" + out + "'";
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("child failed");
            return;
        }
        long baseKb = 0, shelfKb = 0, peakKb = 0;
        std::size_t catalogue = 0, text = 0, record = 0, pages = 0;
        int pageCount = 0;
        FILE *f = std::fopen(out.c_str(), "r");
        const int got = f ? std::fscanf(f, "%ld %ld %ld %zu %zu %zu %zu %d", &baseKb, &shelfKb, &peakKb, &catalogue,
                                        &text, &record, &pages, &pageCount)
                          : 0;
        if (f)
            std::fclose(f);
        if (got != 8) {
            state.SkipWithError("no figures");
            return;
        }
        const double mb = 1.0 / 1024;
        state.counters["peak_MB"] = peakKb * mb;
        state.counters["qt_base_MB"] = baseKb * mb;
        state.counters["after_start_MB"] = shelfKb * mb;
        state.counters["catalogue_MB"] = catalogue * mb / 1024;
        state.counters["sectionText_MB"] = text * mb / 1024;
        state.counters["recordBytes_MB"] = record * mb / 1024;
        state.counters["pageStarts_KB"] = pages / 1024.0;
        state.counters["pages"] = pageCount;
    }
}
BENCHMARK(BM_PeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // No window system needed.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (argc == 3 && std::string(argv[1]) == "--peak-memory")
        return measurePeakMemory(argv[2]);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    shelf();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
