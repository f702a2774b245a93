// Pagination of a large section against the least any walk over its code
// units must do: look at each unit once and classify it.
#include "prose_text.h"

#include "app/reader.h"
#include "render/layout_walk.h"

#include <benchmark/benchmark.h>

using namespace pagora;

namespace {

// About 10 MB of UTF-16: prose in paragraphs, with the occasional number,
// Latin word and blank line.
const std::u16string &sectionText()
{
    static const std::u16string text = [] {
        ProseShape shape;
        shape.units = 10 * 1024 * 1024 / 2;
        shape.cutToUnits = true;
        return proseText(shape);
    }();
    return text;
}

void preparePanel(Reader &r)
{
    ReaderState &s = r.state;
    // Mode 8 with the default cell.
    s.window.clientWidth = 1024;
    s.window.clientHeight = 704;
    s.window.verticalMargin = 16;
    s.window.horizontalMargin = 20;
    s.look.setSizeStep(1);
    s.look.baseFontSize = 14;
    s.book.setSectionText(sectionText());
}

// Argument 1: columns break by the Chinese rules, which may cost at most a
// fifth more than breaking wherever a column fills.
void paginateSection(benchmark::State &state)
{
    Reader r;
    preparePanel(r);
    r.state.look.chineseBreaks = state.range(0) != 0;
    for (auto _ : state) {
        repaginate(r.state.book, computeTextArea(r.state));
        benchmark::DoNotOptimize(r.state.book.pages.pageCount());
    }
    state.counters["pages"] = r.state.book.pages.pageCount();
    state.SetBytesProcessed(std::int64_t(state.iterations()) * r.state.book.textLength() * 2);
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

BENCHMARK(paginateSection)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(classifyUnits)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
