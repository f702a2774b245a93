// One full reading page at 1920 x 1080 full screen with the smallest cell,
// drawn by the reader's page painter into the back buffer, against the floor
// of copying as many ready-made glyph images into a buffer of the same size.
#include "prose_text.h"

#include "app/reader.h"
#include "qt/qt_surface.h"
#include "render/layout_walk.h"
#include "render/page_painter.h"
#include "render/primitives.h"
#include "screens/paint_dispatch.h"
#include "state/interface_texts.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <map>

using namespace pagora;

namespace {

// Prose without digits or blank lines, in longer paragraphs.
std::u16string pageText()
{
    ProseShape shape;
    shape.seed = 11;
    shape.paragraphMin = 200;
    shape.paragraphSpread = 600;
    shape.hanziBelow = 88;
    shape.punctuationBelow = 96;
    shape.digitBelow = 96;
    shape.blankLines = false;
    return proseText(shape);
}

// Full screen on a 1080-line screen (ten modes: margins 32 and 40), base
// size 8 and size step 1: a 10 px cell, 101 rows and about 100 columns.
void prepareFullScreenPage(Reader &r)
{
    ReaderState &s = r.state;
    s.window.clientWidth = 1920;
    s.window.clientHeight = 1080;
    s.window.verticalMargin = 32;
    s.window.horizontalMargin = 40;
    s.look.setSizeStep(1);
    s.look.baseFontSize = 8;
    s.look.fontName = std::string(texts::defaultFaceUtf8);
    s.look.setColours(1, 1);
    s.book.setSectionText(pageText());
    remakeInterfaceFont(r);
    remakeReadingFont(r);
    repaginate(r.state.book, computeTextArea(r.state));
    s.book.pages.turnTo(1);
    s.book.sectionCount = 1;
    s.book.currentSection = 1;
    s.book.pages.show(1);
    s.currentScreen = Screen::ReadingScreen;
}

void drawFullPage(benchmark::State &state)
{
    const qreal dpr = qreal(state.range(0));
    QtSurface surface;
    surface.resize(1920, 1080, dpr);
    Reader r;
    r.services.surface = &surface;
    prepareFullScreenPage(r);
    std::int64_t cells = 0;
    layoutPage(r.state.book.sectionText().data(), r.state.book.textLength(), 0, computeTextArea(r.state),
               [&](const PlacedCell &) {
                   ++cells;
                   return true;
               });
    Canvas canvas = canvasOf(r);
    drawPage(canvas, r.state, 0); // the first page turn fills the glyph cache
    for (auto _ : state)
        drawPage(canvas, r.state, 0);
    state.counters["glyphs"] = double(cells);
    state.SetItemsProcessed(std::int64_t(state.iterations()) * cells);
}

// A full page of nothing but punctuation in its vertical forms (turned,
// encoded or centred) against the same page of ordinary characters: the
// forms must cost next to nothing once their glyphs are cached.
void drawFullPageOf(benchmark::State &state)
{
    const std::u16string units = state.range(0) == 1
                                     ? u"「」『』（）《》〈〉【】〔〕｛｝——……～〜：；，、。！？―‥"
                                     : u"之乎者也天地玄黃宇宙洪荒日月盈昃辰宿列張寒來暑往秋收冬藏閏餘成";
    QtSurface surface;
    surface.resize(1920, 1080);
    Reader r;
    r.services.surface = &surface;
    prepareFullScreenPage(r);
    std::u16string text;
    while (text.size() < 20000)
        text += units;
    r.state.book.setSectionText(std::move(text));
    repaginate(r.state.book, computeTextArea(r.state));
    r.state.book.pages.turnTo(1);
    const std::int32_t cells = r.state.book.pages.start(2);
    Canvas canvas = canvasOf(r);
    drawPage(canvas, r.state, 0); // the first page turn fills the glyph cache
    for (auto _ : state)
        drawPage(canvas, r.state, 0);
    state.counters["glyphs"] = double(cells);
    state.SetItemsProcessed(std::int64_t(state.iterations()) * cells);
    state.SetLabel(state.range(0) == 1 ? "punctuation" : "ordinary");
}

// The floor: every glyph of the page rendered beforehand into an image of its
// own, then only copied to its cell.
void copyGlyphImages(benchmark::State &state)
{
    const qreal dpr = qreal(state.range(0));
    Reader r;
    prepareFullScreenPage(r);
    const int c = r.fonts.readingCell;
    QFont font(QStringLiteral("新細明體"));
    font.setPixelSize(c);
    const int ascent = QFontMetrics(font).ascent();
    std::map<char16_t, QImage> images;
    struct Placed {
        QPoint at;
        const QImage *image;
    };
    std::vector<Placed> page;
    layoutPage(r.state.book.sectionText().data(), r.state.book.textLength(), 0, computeTextArea(r.state),
               [&](const PlacedCell &cell) {
                   QImage &img = images[cell.glyph];
                   if (img.isNull()) {
                       img = QImage(int(c * dpr), int(c * dpr), QImage::Format_ARGB32_Premultiplied);
                       img.setDevicePixelRatio(dpr);
                       img.fill(Qt::transparent);
                       QPainter p(&img);
                       p.setFont(font);
                       p.drawText(0, ascent, QString(QChar(cell.glyph)));
                   }
                   page.push_back({QPoint(cell.x, cell.y), &img});
                   return true;
               });
    QImage buffer(int(1920 * dpr), int(1080 * dpr), QImage::Format_RGB32);
    buffer.setDevicePixelRatio(dpr);
    buffer.fill(Qt::white);
    QPainter p(&buffer);
    for (auto _ : state)
        for (const Placed &g : page)
            p.drawImage(g.at, *g.image);
    state.counters["glyphs"] = double(page.size());
    state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(page.size()));
}

} // namespace

BENCHMARK(drawFullPage)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(drawFullPageOf)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(copyGlyphImages)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
