// What the reader's accessible tree costs. Its page text is built only when a
// screen reader asks: the time to build it for a page of a window of mode 1
// and for a full-screen page of the smallest cell. A page turn through the
// real panel's reader, without anything told (0) and told while no screen
// reader listens (1): the cost every person pays.
#include "prose_text.h"
#include "reading_page.h"

#include "app/navigation.h"
#include "app/reader.h"
#include "app/shown_view.h"
#include "render/layout_walk.h"
#include "shell/mpanel.h"
#include "shell/panel_accessibility.h"
#include "shell/thome.h"
#include "state/interface_texts.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace pagora;

namespace {

std::u16string proseOf(int seed)
{
    ProseShape shape;
    shape.seed = unsigned(seed);
    shape.blankLines = false;
    return proseText(shape);
}

// A reading page of width x height with cell baseFontSize + 2.
void prepareReading(Reader &r, int width, int height, int baseFontSize)
{
    ReaderState &s = r.state;
    s.window.clientWidth = std::int16_t(width);
    s.window.clientHeight = std::int16_t(height);
    s.look.setSizeStep(1);
    s.look.baseFontSize = std::int16_t(baseFontSize);
    s.look.fontName = std::string(texts::defaultFaceUtf8);
    s.layout = computeLayout(1, true, Cell{16, 16}, width, height);
    showReadingPage(r, proseOf(7), 1);
}

void accessibleText(benchmark::State &state)
{
    Reader r;
    const bool full = state.range(0) == 1;
    if (full)
        prepareReading(r, 1920, 1080, 8);
    else
        prepareReading(r, 336, 424, 14);
    std::size_t characters = 0;
    for (auto _ : state) {
        const ShownText text = shownText(r.state);
        characters = text.text.size();
        benchmark::DoNotOptimize(text.cells.data());
    }
    state.counters["characters"] = double(characters);
    state.SetLabel(full ? "full screen, 10 px cell" : "mode 1, 16 px cell");
}

void pageTurn(benchmark::State &state)
{
    QTemporaryDir folder;
    THome home(folder.path().toStdString() + "/");
    MPanel *panel = home.panel();
    panel->resize(1920, 1080);
    Reader &r = panel->reader();
    prepareReading(r, 1920, 1080, 8);
    const bool told = state.range(0) == 1;
    for (auto _ : state) {
        if (r.state.book.pages.currentPage() == r.state.book.pages.pageCount())
            showPage(r, 1);
        else
            nextPageCommand(r);
        if (told)
            announceChanges(panel->accessibleParts());
    }
    state.SetLabel(told ? "told, no screen reader" : "nothing told");
}

} // namespace

BENCHMARK(accessibleText)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(pageTurn)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
