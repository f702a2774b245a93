// Pagination of a large section against the least any walk over its code
// units must do: look at each unit once and classify it.
#include "platform/reader.h"
#include "render/layout_walk.h"

#include <benchmark/benchmark.h>

#include <random>

using namespace pagora;

namespace {

// About 10 MB of UTF-16: prose in paragraphs, with the occasional number,
// Latin word and blank line.
const std::u16string &sectionText()
{
    static const std::u16string text = [] {
        const std::size_t units = 10 * 1024 * 1024 / 2;
        const std::u16string hanzi =
            u"之乎者也天地玄黃宇宙洪荒日月盈昃辰宿列張寒來暑往秋收冬藏閏餘成歲律呂調陽雲騰致雨露結為霜";
        std::mt19937 rng(7);
        std::u16string t;
        t.reserve(units + 64);
        while (t.size() < units) {
            const int paragraph = 40 + int(rng() % 400);
            for (int k = 0; k < paragraph; ++k) {
                const unsigned roll = rng() % 100;
                if (roll < 85)
                    t += hanzi[rng() % hanzi.size()];
                else if (roll < 93)
                    t += (rng() & 1) ? u'，' : u'。';
                else if (roll < 96)
                    t += char16_t(u'0' + rng() % 10);
                else
                    t += char16_t(u'a' + rng() % 26);
            }
            t += (rng() % 8 == 0) ? u"\r\n\r\n" : u"\r\n";
        }
        t.resize(units);
        return t;
    }();
    return text;
}

void preparePanel(Reader &r)
{
    ReaderState &s = r.s;
    // Mode 8 with the default cell.
    s.clientWidth = 1024;
    s.clientHeight = 704;
    s.verticalMargin = 16;
    s.horizontalMargin = 20;
    s.sizeStep = 1;
    s.baseFontSize = 14;
    s.sectionText = sectionText();
    s.textLength = std::int32_t(s.sectionText.size());
}

void paginateSection(benchmark::State &state)
{
    Reader r;
    preparePanel(r);
    for (auto _ : state) {
        paginate(r);
        benchmark::DoNotOptimize(r.s.pages.pageCount);
    }
    state.counters["pages"] = r.s.pages.pageCount;
    state.SetBytesProcessed(std::int64_t(state.iterations()) * r.s.textLength * 2);
}

// The floor: one pass that only tells CR, LF, digits and wide units apart.
void classifyUnits(benchmark::State &state)
{
    const std::u16string &text = sectionText();
    const char16_t *p = text.data();
    const std::int32_t n = std::int32_t(text.size());
    for (auto _ : state) {
        std::int32_t cr = 0, lf = 0, digits = 0, wide = 0;
        for (std::int32_t i = 0; i < n; ++i) {
            const char16_t u = p[i];
            if (u > 0xFF)
                ++wide;
            else if (u == u'\r')
                ++cr;
            else if (u == u'\n')
                ++lf;
            else if (u >= u'0' && u <= u'9')
                ++digits;
        }
        benchmark::DoNotOptimize(cr);
        benchmark::DoNotOptimize(lf);
        benchmark::DoNotOptimize(digits);
        benchmark::DoNotOptimize(wide);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * n * 2);
}

} // namespace

BENCHMARK(paginateSection)->Unit(benchmark::kMillisecond);
BENCHMARK(classifyUnits)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
