// Adding the books of a 2,000-book shelf folder (validate, read the header
// record, build the entry) against the bare system calls on the same files:
// open, read 78 bytes, read the record list, read the header record, close.
#include "app/reader.h"
#include "book/book_writer.h"
#include "book/section_loader.h"
#include "platform/files.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

using namespace pagora;

namespace {

constexpr int kBooks = 2000;

void writeWhole(const std::string &path, const std::string &bytes)
{
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0)
        std::abort();
}

// The shelf folder, made once and removed at exit.
struct ShelfFolder {
    std::string path;
    std::vector<std::string> names;

    ShelfFolder()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "pagora-scan-XXXXXX").string();
        if (!mkdtemp(tmpl.data()))
            std::abort();
        path = tmpl + "/";
        const std::u16string digits = u"一二三四五六七八九";
        for (int i = 0; i < kBooks; ++i) {
            BookRecipe spec;
            spec.encoding = i % 2 ? BookEncoding::UTF16LE : BookEncoding::CP950;
            spec.title = u"千字文第" + digits.substr(std::size_t(i % 9), 1) + u"卷";
            for (int k = 0; k < 12; ++k) {
                spec.sectionTitles.push_back(u"天地玄黃宇宙洪荒第" + digits.substr(std::size_t(k % 9), 1));
                spec.sectionTexts.push_back(std::u16string(400 + 37 * k, u'文') + u"\r\n");
            }
            std::string bytes;
            if (!writeBookBytes(spec, bytes))
                std::abort();
            const std::string name = "book" + std::to_string(i) + (i % 2 ? ".updb" : ".pdb");
            writeWhole(path + name, bytes);
            names.push_back(name);
        }
    }
    ~ShelfFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

const ShelfFolder &shelf()
{
    static ShelfFolder folder;
    return folder;
}

void AddBooks(benchmark::State &state)
{
    const ShelfFolder &folder = shelf();
    Reader r;
    r.services.files = &systemFiles();
    r.state.shelf.shelfPath = folder.path;
    for (auto _ : state) {
        r.state.shelf.clearCatalogue();
        for (const std::string &name : folder.names)
            addBook(*r.services.files, r.state.shelf, name);
        if (r.state.shelf.bookCount() != kBooks)
            state.SkipWithError("a book was not added");
        benchmark::DoNotOptimize(r.state.shelf.catalogue().data());
    }
    state.SetItemsProcessed(state.iterations() * kBooks);
}

std::uint32_t big32(const unsigned char *p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

void SystemCallFloor(benchmark::State &state)
{
    const ShelfFolder &folder = shelf();
    std::vector<std::string> paths;
    for (const std::string &name : folder.names)
        paths.push_back(folder.path + name);
    unsigned char header[78];
    unsigned char list[4000];
    std::vector<unsigned char> record(1 << 16);
    for (auto _ : state) {
        for (const std::string &p : paths) {
            const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
            if (::read(fd, header, 78) != 78)
                state.SkipWithError("short header");
            const unsigned count = header[76] * 256u + header[77];
            if (::read(fd, list, count * 8) != ssize_t(count * 8))
                state.SkipWithError("short list");
            // Record 0 follows the list directly in these books.
            const std::size_t len = big32(list + 8) - big32(list);
            if (::read(fd, record.data(), len) != ssize_t(len))
                state.SkipWithError("short record");
            ::close(fd);
        }
        benchmark::DoNotOptimize(record.data());
    }
    state.SetItemsProcessed(state.iterations() * kBooks);
}

BENCHMARK(SystemCallFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(AddBooks)->Unit(benchmark::kMillisecond);

// Prints the usual table, then how far adding is from the floor, by wall
// clock and by processor time (steadier on a busy machine). With
// --benchmark_repetitions the medians are compared.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    struct Times {
        double real = 0, cpu = 0;
    };
    std::map<std::string, Times> times;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Iteration || median)
                times[run.run_name.function_name] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    shelf();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto floor = reporter.times.find("SystemCallFloor");
    const auto add = reporter.times.find("AddBooks");
    if (floor != reporter.times.end() && add != reporter.times.end() && floor->second.real > 0 && floor->second.cpu > 0)
        std::printf("AddBooks / SystemCallFloor: %.2f by wall clock, %.2f by processor time (aim: at most 1.50)\n",
                    add->second.real / floor->second.real, add->second.cpu / floor->second.cpu);
    benchmark::Shutdown();
    return 0;
}
