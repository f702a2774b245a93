// Simplified to Traditional on 10 MB of UTF-8, ours beside OpenCC's s2twp in
// one run, and how long mapping our table takes. The text is the modern
// fixture of the tests and the classical samples (made Simplified by OpenCC),
// repeated.
#include "import/chinese_convert.h"
#include "text/codec.h"
#include "text/traditional.h"

#include <benchmark/benchmark.h>
#include <opencc/opencc.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

using namespace pagora;

namespace {

constexpr std::size_t kTextBytes = 10u << 20;

std::string readFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string simplified10MB()
{
    std::string classics;
    for (const auto &entry : std::filesystem::directory_iterator(PAGORA_SOURCE_DIR "/samples"))
        if (entry.path().extension() == ".txt")
            classics += readFile(entry.path());
    opencc_t cc = opencc_open(PAGORA_OPENCC_DATA_DIR "/t2s.json");
    if (cc == opencc_t(-1))
        std::abort();
    char *s = opencc_convert_utf8(cc, classics.data(), classics.size());
    const std::string piece = readFile(PAGORA_SOURCE_DIR "/tests/data/convert/modern.txt") + s;
    opencc_convert_utf8_free(s);
    opencc_close(cc);
    std::string text;
    while (text.size() < kTextBytes)
        text += piece;
    return text;
}

const std::string &text()
{
    static const std::string t = simplified10MB();
    return t;
}

void BM_Ours(benchmark::State &state)
{
    const ChineseConverter converter;
    if (!converter.isOpen())
        std::abort();
    for (auto _ : state) {
        std::u16string out;
        converter.convert(utf8ToUtf16(text()), out);
        benchmark::DoNotOptimize(utf16ToUtf8(out));
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * text().size()));
}
BENCHMARK(BM_Ours)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Opencc(benchmark::State &state)
{
    opencc_t cc = opencc_open(PAGORA_OPENCC_DATA_DIR "/s2twp.json");
    if (cc == opencc_t(-1))
        std::abort();
    for (auto _ : state) {
        char *out = opencc_convert_utf8(cc, text().data(), text().size());
        benchmark::DoNotOptimize(out);
        opencc_convert_utf8_free(out);
    }
    opencc_close(cc);
    state.SetBytesProcessed(std::int64_t(state.iterations() * text().size()));
}
BENCHMARK(BM_Opencc)->Unit(benchmark::kMillisecond)->Iterations(3);

// Opening the table as an import does: found, mapped and checked.
void BM_TableLoad(benchmark::State &state)
{
    for (auto _ : state) {
        TraditionalTable table;
        std::string why;
        if (!table.openFirst(traditionalTablePaths(), why))
            std::abort();
        benchmark::DoNotOptimize(table.data());
    }
}
BENCHMARK(BM_TableLoad)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
