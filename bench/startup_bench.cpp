// Start-up with a large shelf: the scan against the system calls it cannot
// avoid, the time to the first painted frame, and the peak memory of a
// reader with a large shelf and a large section open.
//
// And start-up against the floor (BM_StartUpAgainstFloor): the real `pagora`
// and a bare Qt Widgets program (floor/bare_page.cpp: a 704×544 window that
// paints a page of CJK glyphs and reads no file) started as processes,
// alternately, in one run; each reports its first painted page on standard
// output and runs on until told to end. Measured: the time from just before the
// process is started to that report, and the peak resident size (the child's
// VmHWM then, or a settling time later: what the reader does just after its
// first page counts too), with a small book open, with a book whose open
// section is 10 MB, and with a book of 200 sections of 50,000 characters
// (20 MB), its notes database new or kept from the run before. Both run under
// an X server (the one in DISPLAY, else an Xvfb started here) and on a session
// bus of their own, as in a desktop session. Ratios are of medians.
//
//   startup_bench [--benchmark_filter=...] [--benchmark_min_time=...]
//
// With PAGORA_BENCH_OLD_READER naming another build of the reader, that one
// runs too, in turn with the two others (old_time_ratio, old_rss_ratio).
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
#include "text/codec.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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
    BookRecipe spec;
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
    r.services.files = &systemFiles();
    r.state.shelf.shelfPath = shelf().dir;
    double scanTotal = 0, floorTotal = 0, formatTotal = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(floorScan(shelf().dir));
        auto t1 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(formatFloorScan(shelf().dir));
        auto t2 = std::chrono::steady_clock::now();
        releaseCatalogue(*r.services.files, r.state.shelf, r.state.book, r.state.bookmarks);
        rebuildCatalogue(*r.services.files, r.state.shelf, r.state.book, r.state.bookmarks, r.state.menu,
                         r.state.search);
        auto t3 = std::chrono::steady_clock::now();
        floorTotal += seconds(t1 - t0);
        formatTotal += seconds(t2 - t1);
        scanTotal += seconds(t3 - t2);
        state.SetIterationTime(seconds(t3 - t2));
    }
    const double n = double(state.iterations());
    state.counters["books"] = r.state.shelf.bookCount();
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
        benchmark::DoNotOptimize(home.panel()->isStarted());
        state.counters["books"] = home.panel()->reader().state.shelf.bookCount();
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
    ReaderState &s = r.state;
    for (std::size_t i = 0; i < s.shelf.catalogue().size(); ++i)
        if (s.shelf.catalogue()[i].fileName == kBigBook)
            s.shelf.select(std::int16_t(i));
    BookEntry *entry = s.shelf.selectedEntry();
    if (!entry || entry->fileName != kBigBook)
        return 1;
    entry->lastPage = 100;
    openSelectedBook(r);
    QCoreApplication::processEvents();
    std::size_t catalogueBytes = s.shelf.catalogue().capacity() * sizeof(BookEntry);
    for (const BookEntry &e : s.shelf.catalogue())
        catalogueBytes += e.fileName.capacity() + e.title.capacity() * 2;
    std::printf("%ld %ld %ld %zu %zu %zu %zu %d\n", baseKb, shelfKb, maxResidentKb(), catalogueBytes,
                s.book.sectionText().capacity() * 2, s.book.bookFile.bufferBytes(), s.book.pages.heapBytes(),
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

// --- Start-up against the floor, as processes ---------------------------

// A child's figures: milliseconds to its first painted page, peak resident KiB.
struct ProcessRun {
    double ms = 0;
    long peakKb = 0;
    std::string error;
};

// The child's own peak resident size (VmHWM). wait4's ru_maxrss cannot be
// used: exec keeps the spawning process's peak in it, and this process holds
// a large shelf.
long peakResidentKb(pid_t pid)
{
    FILE *f = std::fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
    if (!f)
        return 0;
    char line[256];
    long kb = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1)
            break;
    std::fclose(f);
    return kb;
}

// Runs argv with env added to ours; done once it writes "painted" or ends.
// After "painted" the child waits for its input to close, so that its peak
// size can be read first.
ProcessRun runToFirstPaint(const std::vector<std::string> &argv, const std::vector<std::string> &env, int settleMs)
{
    ProcessRun run;
    int out[2], in[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(in, O_CLOEXEC) != 0) {
        run.error = "pipe";
        return run;
    }
    std::vector<std::string> envStrings;
    for (char **e = environ; *e; ++e) {
        const std::string entry(*e);
        const std::string key = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const std::string &add : env)
            replaced = replaced || add.substr(0, add.find('=')) == key;
        if (!replaced)
            envStrings.push_back(entry);
    }
    envStrings.insert(envStrings.end(), env.begin(), env.end());
    std::vector<char *> envp, args;
    for (std::string &e : envStrings)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> argCopy = argv;
    for (std::string &a : argCopy)
        args.push_back(a.data());
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const auto t0 = std::chrono::steady_clock::now();
    const int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(in[0]);
    if (spawned != 0) {
        ::close(out[0]);
        ::close(in[1]);
        run.error = "could not start " + argv[0];
        return run;
    }
    std::string said;
    char buffer[256];
    pollfd p{out[0], POLLIN, 0};
    while (said.find("painted\n") == std::string::npos) {
        if (::poll(&p, 1, 60000) <= 0) {
            ::kill(pid, SIGKILL);
            run.error = "no first paint within a minute";
            break;
        }
        const ssize_t n = ::read(out[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        said.append(buffer, std::size_t(n));
    }
    const auto t1 = std::chrono::steady_clock::now();
    if (run.error.empty() && settleMs > 0)
        ::usleep(useconds_t(settleMs) * 1000);
    run.peakKb = peakResidentKb(pid);
    ::close(in[1]);
    ::close(out[0]);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    run.ms = 1000 * seconds(t1 - t0);
    if (run.error.empty() && said.find("painted\n") == std::string::npos)
        run.error = argv[0] + " ended without painting (status " + std::to_string(status) + ")";
    return run;
}

// An X server and a session bus for the children, ended with the run.
struct Desktop {
    std::string display, busAddress;
    pid_t xvfb = 0, bus = 0;
    Desktop()
    {
        if (const char *d = std::getenv("DISPLAY"); d && *d)
            display = d;
        else
            display = startXvfb();
        busAddress = startBus();
    }
    ~Desktop()
    {
        for (pid_t p : {bus, xvfb})
            if (p > 0) {
                ::kill(p, SIGTERM);
                ::waitpid(p, nullptr, 0);
            }
    }
    // Starts a program whose first line on fd 3 (Xvfb) or 1 (dbus-daemon) we read.
    std::string startReading(std::vector<std::string> argv, int fd, pid_t &pid)
    {
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0)
            return {};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], fd);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        std::vector<char *> args;
        for (std::string &a : argv)
            args.push_back(a.data());
        args.push_back(nullptr);
        if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0)
            pid = 0;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        std::string line;
        char c;
        pollfd p{out[0], POLLIN, 0};
        while (pid > 0 && ::poll(&p, 1, 10000) > 0 && ::read(out[0], &c, 1) == 1 && c != '\n')
            line += c;
        ::close(out[0]);
        return line;
    }
    std::string startXvfb()
    {
        const std::string number = startReading(
            {"Xvfb", "-displayfd", "3", "-noreset", "-nolisten", "tcp", "-screen", "0", "1280x1024x24"}, 3, xvfb);
        return number.empty() ? std::string() : ":" + number;
    }
    std::string startBus()
    {
        return startReading({"dbus-daemon", "--session", "--nofork", "--print-address=1"}, 1, bus);
    }
};

// A book of count sections of units characters each.
std::string manySectionsBytes(int count, std::size_t units)
{
    BookRecipe spec;
    spec.encoding = BookEncoding::UTF16LE;
    spec.title = u"長書";
    const std::u16string section = text(units);
    for (int i = 0; i < count; ++i) {
        const std::string number = std::to_string(i + 1);
        spec.sectionTitles.push_back(u"第" + std::u16string(number.begin(), number.end()) + u"回");
        spec.sectionTexts.push_back(section);
    }
    std::string out;
    writeBookBytes(spec, out);
    return out;
}

// A portable reader folder: the executable, the book beside it and settings
// that open it (window mode 4: a 704×544 page, the floor's size). Two
// sections hold sectionUnits and half as many; more hold sectionUnits each.
struct ReaderFolder {
    std::string dir;
    ReaderFolder(int sections, std::size_t sectionUnits)
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "pagora-floor-XXXXXX").string();
        if (!mkdtemp(tmpl.data()))
            std::abort();
        dir = tmpl;
        std::filesystem::copy_file(PAGORA_READER_EXE, dir + "/pagora");
        if (const char *old = std::getenv("PAGORA_BENCH_OLD_READER"))
            std::filesystem::copy_file(old, dir + "/pagora-old");
        writeBytes(dir + "/book.updb", sections == 2 ? bookBytes(u"書", text(sectionUnits), BookEncoding::UTF16LE)
                                                     : manySectionsBytes(sections, sectionUnits));
        const std::u16string settings =
            u"1 2 1 " + utf8ToUtf16(dir) + u"/\r\n2 1 1 book.updb\r\n4 0 新細明體 [14]\r\n1\r\n";
        writeBytes(dir + "/Pagora.ini", "\xFF\xFE" + encodeUtf16le(settings));
    }
    // As on the first start after the notes database was lost.
    void forgetNotes() const
    {
        for (const char *suffix : {"", "-wal", "-shm"})
            std::filesystem::remove(dir + "/notes.sqlite" + suffix);
    }
    ~ReaderFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// range(0): sections of the book; range(1): units of UTF-16 text in the open
// section; range(2): milliseconds after the first page within which the peak
// size counts; range(3): 1 when the notes database of the run before is kept.
void BM_StartUpAgainstFloor(benchmark::State &state)
{
    static Desktop desktop;
    if (desktop.display.empty()) {
        state.SkipWithError("no X server (DISPLAY unset and Xvfb missing)");
        return;
    }
    ReaderFolder folder(int(state.range(0)), std::size_t(state.range(1)));
    const int settleMs = int(state.range(2));
    const bool keepNotes = state.range(3) != 0;
    std::vector<std::string> env = {"DISPLAY=" + desktop.display, "QT_QPA_PLATFORM=xcb", "PAGORA_BENCH_FIRST_PAINT=1"};
    if (!desktop.busAddress.empty())
        env.push_back("DBUS_SESSION_BUS_ADDRESS=" + desktop.busAddress);
    const bool withOld = std::getenv("PAGORA_BENCH_OLD_READER") != nullptr;
    std::vector<double> floorMs, readerMs, floorKb, readerKb, oldMs, oldKb;
    for (auto _ : state) {
        const ProcessRun floorRun = runToFirstPaint({PAGORA_FLOOR_EXE}, env, settleMs);
        if (!keepNotes)
            folder.forgetNotes();
        const ProcessRun readerRun = runToFirstPaint({folder.dir + "/pagora"}, env, settleMs);
        ProcessRun oldRun; // empty unless asked for
        if (withOld) {
            if (!keepNotes)
                folder.forgetNotes();
            oldRun = runToFirstPaint({folder.dir + "/pagora-old"}, env, settleMs);
        }
        for (const ProcessRun *r : {&floorRun, &readerRun, static_cast<const ProcessRun *>(&oldRun)})
            if (!r->error.empty()) {
                state.SkipWithError(r->error.c_str());
                return;
            }
        floorMs.push_back(floorRun.ms);
        readerMs.push_back(readerRun.ms);
        floorKb.push_back(double(floorRun.peakKb));
        readerKb.push_back(double(readerRun.peakKb));
        oldMs.push_back(oldRun.ms);
        oldKb.push_back(double(oldRun.peakKb));
        state.SetIterationTime((floorRun.ms + readerRun.ms) / 1000);
    }
    if (withOld) {
        state.counters["old_time_ratio"] = median(oldMs) / median(floorMs);
        state.counters["old_rss_ratio"] = median(oldKb) / median(floorKb);
    }
    state.counters["floor_ms"] = median(floorMs);
    state.counters["pagora_ms"] = median(readerMs);
    state.counters["time_ratio"] = median(readerMs) / median(floorMs);
    state.counters["floor_rss_MB"] = median(floorKb) / 1024;
    state.counters["pagora_rss_MB"] = median(readerKb) / 1024;
    state.counters["rss_ratio"] = median(readerKb) / median(floorKb);
}
BENCHMARK(BM_StartUpAgainstFloor)
    ->ArgNames({"sections", "section_units", "settle_ms", "notes_kept"})
    ->Args({2, 2000, 0, 1})
    ->Args({2, 2000, 1000, 1})
    ->Args({2, 5 * 1024 * 1024, 0, 1})
    ->Args({200, 50000, 0, 1})
    ->Args({200, 50000, 1000, 0})
    ->Args({200, 50000, 1000, 1})
    ->UseManualTime()
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

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
