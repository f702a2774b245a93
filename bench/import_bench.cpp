// Importing a 10 MB GB18030 novel of 1,000 chapters, against the library
// alone: reading the file and decoding it with ICU (convert_bench weighs the
// conversion against OpenCC). BM_ImportStages says where an import's time goes.
#include "import/chinese_convert.h"
#include "import/import_book.h"
#include "import/import_stages.h"
#include "text/codec.h"

#include <benchmark/benchmark.h>
#include <unicode/ucnv.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iconv.h>
#include <string>

using namespace pagora;

namespace {

constexpr std::size_t kNovelBytes = 10u << 20;
constexpr int kChapters = 1000;

// Simplified prose from a pool of common words, the same every run.
std::string novelUtf8()
{
    static const char *const words[] = {"我们", "他",   "说道", "这个", "时候", "天下", "软件", "鼠标", "后来", "头发",
                                        "发现", "一个", "没有", "已经", "国家", "历史", "东西", "问题", "开始", "知道",
                                        "风",   "云",   "山",   "水",   "里",   "听见", "门外", "马车"};
    static const char *const marks[] = {"，", "，", "。", "？", "！", "、"};
    std::string text;
    unsigned seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245 + 12345;
        return (seed >> 16) & 0x7FFF;
    };
    // GB18030 takes two bytes for each of these characters, UTF-8 three.
    const std::size_t utf8Target = kNovelBytes / 2 * 3;
    const std::size_t chapterBytes = utf8Target / kChapters;
    for (int c = 1; c <= kChapters; ++c) {
        text += "第" + std::to_string(c) + "章 风云" + std::to_string(c) + "\n";
        const std::size_t end = std::size_t(c) * chapterBytes;
        while (text.size() < end) {
            for (int s = 0; s < 12; ++s) {
                text += words[next() % (sizeof words / sizeof *words)];
                if (s % 4 == 3)
                    text += marks[next() % (sizeof marks / sizeof *marks)];
            }
            text += "。\n";
        }
    }
    return text;
}

struct Novel {
    std::string folder, path;
    Novel()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "pagora-import-XXXXXX").string();
        if (!mkdtemp(tmpl.data()))
            std::abort();
        folder = tmpl + "/";
        path = folder + "novel.txt";
        const std::string utf8 = novelUtf8();
        std::string gb(utf8.size() * 2, '\0');
        iconv_t cd = iconv_open("GB18030", "UTF-8");
        char *in = const_cast<char *>(utf8.data());
        std::size_t inLeft = utf8.size(), outLeft = gb.size();
        char *out = gb.data();
        if (cd == iconv_t(-1) || iconv(cd, &in, &inLeft, &out, &outLeft) == std::size_t(-1))
            std::abort();
        iconv_close(cd);
        gb.resize(gb.size() - outLeft);
        std::FILE *f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(gb.data(), 1, gb.size(), f) != gb.size() || std::fclose(f) != 0)
            std::abort();
    }
    ~Novel() { std::filesystem::remove_all(folder); }
};

const Novel &novel()
{
    static const Novel n;
    return n;
}

// The library alone: the file read and decoded by ICU, nothing else.
std::u16string readAndDecode()
{
    std::string bytes;
    std::string why;
    if (!readImportFile(novel().path, bytes, why))
        std::abort();
    UErrorCode status = U_ZERO_ERROR;
    UConverter *cnv = ucnv_open("gb18030", &status);
    std::u16string text(bytes.size() + 1, u'\0');
    const std::int32_t n = ucnv_toUChars(cnv, reinterpret_cast<UChar *>(text.data()), std::int32_t(text.size()),
                                         bytes.data(), std::int32_t(bytes.size()), &status);
    ucnv_close(cnv);
    if (U_FAILURE(status))
        std::abort();
    text.resize(std::size_t(n));
    return text;
}

void BM_ReadAndDecodeAlone(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(readAndDecode());
}
BENCHMARK(BM_ReadAndDecodeAlone)->Unit(benchmark::kMillisecond);

void BM_Import(benchmark::State &state)
{
    ImportOptions options;
    options.toTraditional = state.range(0) != 0;
    const std::string out = novel().folder + "novel.updb";
    for (auto _ : state)
        if (!importBook(novel().path, out, options).ok)
            std::abort();
}
BENCHMARK(BM_Import)->ArgName("toTraditional")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// One import, step by step, each step's share of the whole.
void BM_ImportStages(benchmark::State &state)
{
    using Clock = std::chrono::steady_clock;
    double detect = 0, decode = 0, convert = 0, split = 0, write = 0;
    const ChineseConverter converter;
    const std::string out = novel().folder + "stages.updb";
    for (auto _ : state) {
        std::string bytes, why;
        auto t0 = Clock::now();
        if (!readImportFile(novel().path, bytes, why))
            std::abort();
        const TextEncoding e = detectEncoding(bytes);
        auto t1 = Clock::now();
        std::u16string text, converted;
        if (e != TextEncoding::Gb18030 || !decodeImportText(bytes, e, text, why))
            std::abort();
        auto t2 = Clock::now();
        if (state.range(0) == 0)
            converted = std::move(text);
        else if (!convertText(converter, text, converted, {}, why))
            std::abort();
        auto t3 = Clock::now();
        const std::u16string title = bookTitle(u"novel");
        auto sections = fitSectionLimit(splitChapters(converted, title));
        auto t4 = Clock::now();
        if (!writeImportedBook(out, title, std::move(sections), why))
            std::abort();
        auto t5 = Clock::now();
        auto secs = [](Clock::duration d) { return std::chrono::duration<double>(d).count(); };
        detect += secs(t1 - t0);
        decode += secs(t2 - t1);
        convert += secs(t3 - t2);
        split += secs(t4 - t3);
        write += secs(t5 - t4);
    }
    const double total = detect + decode + convert + split + write;
    state.counters["read+detect%"] = 100 * detect / total;
    state.counters["decode%"] = 100 * decode / total;
    state.counters["convert%"] = 100 * convert / total;
    state.counters["split%"] = 100 * split / total;
    state.counters["write%"] = 100 * write / total;
}
BENCHMARK(BM_ImportStages)->ArgName("toTraditional")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
