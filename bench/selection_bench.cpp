// Selecting on a full-screen page with the smallest cell: one pointer move of
// a drag (the cells that change are inverted, nothing else is drawn), and the
// look-up card, the first time with reading the index and afterwards.
#include "prose_text.h"
#include "reading_page.h"

#include "app/reader.h"
#include "app/selection_handlers.h"
#include "app/show_screen.h"
#include "book/character_index.h"
#include "platform/files.h"
#include "qt/qt_surface.h"
#include "render/layout_walk.h"
#include "render/primitives.h"
#include "state/interface_texts.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

using namespace pagora;

namespace {

// Full screen on a 1080-line screen, base size 8 and size step 1: a 10 px
// cell, 101 rows and about 100 columns.
void prepare(Reader &r, QtSurface &surface)
{
    surface.resize(1920, 1080);
    r.services.surface = &surface;
    ReaderState &s = r.state;
    s.window.clientWidth = 1920;
    s.window.clientHeight = 1080;
    s.window.verticalMargin = 32;
    s.window.horizontalMargin = 40;
    s.look.setSizeStep(1);
    s.look.baseFontSize = 8;
    s.look.fontName = std::string(texts::defaultFaceUtf8);
    // The index beside the reader in the build folder.
    s.folders.exeFolder = std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/../";
    r.services.files = &systemFiles();
    showReadingPage(r, proseText(ProseShape{}), 1);
    paintShownScreen(r, true);
}

double residentMiB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return double(resident) * 4096.0 / (1024.0 * 1024.0);
}

// Each move takes the far end of a drag from the middle of the page one cell
// down or back up, or (range 1) across the whole page and back.
void selectionPointerMove(benchmark::State &state)
{
    QtSurface surface;
    Reader r;
    prepare(r, surface);
    const int kind = int(state.range(0));
    selectionPressed(r, 1200, 500, PointerButton::Right, false);
    selectionMoved(r, 900, 600);
    int k = 0;
    for (auto _ : state) {
        ++k;
        if (kind == 1)
            selectionMoved(r, k % 2 ? 0 : 1919, k % 2 ? 1079 : 0);
        else if (kind == 2)
            selectionMoved(r, 900 - (k % 2) * 40, 600);
        else
            selectionMoved(r, 900, 600 + (k % 2) * 10);
    }
    state.SetLabel(kind == 1 ? "whole page" : kind == 2 ? "a column more or less" : "one cell");
    selectionReleased(r, 900, 600, PointerButton::Right);
}

// A drag over some eighty characters: the card shows its first eight.
void selectSome(Reader &r)
{
    selectionPressed(r, 1200, 500, PointerButton::Right, false);
    selectionMoved(r, 1190, 580);
    selectionReleased(r, 1190, 580, PointerButton::Right);
}

void cardFirstUse(benchmark::State &state)
{
    QtSurface surface;
    Reader r;
    prepare(r, surface);
    selectSome(r);
    const double before = residentMiB();
    for (auto _ : state)
        lookUpSelection(r);
    state.counters["rssGrowthMiB"] = residentMiB() - before;
}

void cardLaterUse(benchmark::State &state)
{
    QtSurface surface;
    Reader r;
    prepare(r, surface);
    selectSome(r);
    lookUpSelection(r);
    for (auto _ : state) {
        selectionKey(r, SelectionKey::Escape);
        lookUpSelection(r);
    }
}

// The reading part of the first use on its own, repeated.
void readCharacterIndex(benchmark::State &state)
{
    const std::string path =
        std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/../characters.idx";
    for (auto _ : state) {
        CharacterIndex index;
        if (!index.open(systemFiles(), path))
            state.SkipWithError("no character index beside the reader");
        CharacterEntry e;
        benchmark::DoNotOptimize(index.find(U'龘', e));
    }
}

} // namespace

// First: the card's first use must be the first in the process.
BENCHMARK(cardFirstUse)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(cardLaterUse)->Unit(benchmark::kMillisecond);
BENCHMARK(readCharacterIndex)->Unit(benchmark::kMillisecond);
BENCHMARK(selectionPointerMove)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
