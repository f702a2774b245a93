// Reading aloud: planning the utterances of a 10 MB section, and the time
// from a press on 朗讀 to the first utterance handed to the engine (a
// recording one), the page painted with its sentence selected.
#include "prose_text.h"
#include "reading_page.h"
#include "test_platform.h"

#include "app/input_dispatch.h"
#include "app/read_aloud.h"
#include "app/reader.h"
#include "app/show_screen.h"
#include "qt/qt_surface.h"
#include "render/layout_walk.h"
#include "screens/menu_screen.h"
#include "state/interface_texts.h"
#include "text/utterances.h"

#include <benchmark/benchmark.h>

using namespace pagora;

namespace {

void planTenMegabytes(benchmark::State &state)
{
    ProseShape shape;
    shape.units = 5 * 1024 * 1024; // UTF-16: 10 MB
    const std::u16string text = proseText(shape);
    std::size_t count = 0;
    for (auto _ : state) {
        const std::vector<Utterance> plan = planUtterances(text, 1);
        count = plan.size();
        benchmark::DoNotOptimize(plan.data());
    }
    state.counters["utterances"] = double(count);
}

// Full screen on a 1080-line screen with the default face, a section of
// prose shown, the menu over it.
void tapReadAloud(benchmark::State &state)
{
    QtSurface surface;
    surface.resize(1920, 1080);
    RecordingSpeech speech;
    Reader r;
    r.services.surface = &surface;
    r.services.speech = &speech;
    ReaderState &s = r.state;
    s.window.clientWidth = 1920;
    s.window.clientHeight = 1080;
    s.window.windowModeCount = 10;
    s.window.windowMode = 9;
    s.look.fontName = std::string(texts::defaultFaceUtf8);
    s.layout = computeLayout(9, true, {16, 16}, 1920, 1080);
    showReadingPage(r, proseText(ProseShape{}), 3);
    const PixelRect button = readAloudButton(s);
    for (auto _ : state) {
        state.PauseTiming();
        stopReadingAloud(r);
        speech.spoken.clear();
        showScreen(r, Screen::MenuScreen);
        state.ResumeTiming();
        onPointerPressed(r, button.x + 2, button.y + 2, true);
        onPointerReleased(r, button.x + 2, button.y + 2, true);
        if (speech.spoken.size() != 1)
            state.SkipWithError("nothing was spoken");
    }
}

} // namespace

BENCHMARK(planTenMegabytes)->Unit(benchmark::kMillisecond);
BENCHMARK(tapReadAloud)->Unit(benchmark::kMillisecond);
