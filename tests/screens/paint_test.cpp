#include "gui_app.h"
#include "test_platform.h"

#include "book/character_index.h"
#include "qt/qt_surface.h"
#include "render/layout_walk.h"
#include "render/page_painter.h"
#include "render/primitives.h"
#include "screens/paint_dispatch.h"

#include <gtest/gtest.h>

using namespace pagora;

namespace {

constexpr Colour kRed = rgb(255, 0, 0);

// A reading screen of width x height with a paginated section.
void prepareReading(Surface &surface, PainterFonts &fonts, ReaderState &s, int width, int height, std::u16string text,
                    std::int16_t page, std::int16_t pages)
{
    s.window.clientWidth = std::int16_t(width);
    s.window.clientHeight = std::int16_t(height);
    s.currentScreen = Screen::ReadingScreen;
    s.book.setSectionText(std::move(text));
    createInterfaceFont(surface, fonts);
    createReadingFont(surface, fonts, s.look);
    repaginate(s.book, computeTextArea(s));
    // The walk's own starts, numbered as a section of `pages` pages.
    std::vector<std::int32_t> starts(std::size_t(std::max<int>(pages, 1)) + 2, 0);
    for (int p = 1; p <= s.book.pages.pageCount() + 1 && std::size_t(p) < starts.size(); ++p)
        starts[std::size_t(p)] = s.book.pages.start(p);
    s.book.pages = PageTable(std::move(starts), pages);
    s.book.pages.show(1);
    s.book.pages.turnTo(page);
    s.book.sectionCount = 1;
    s.book.currentSection = 1;
}

// The red one-pixel fills: {left, top, right} of each.
std::vector<std::array<int, 3>> marks(const RecordingSurface &surface)
{
    std::vector<std::array<int, 3>> out;
    for (const auto &c : surface.callsOf("fill"))
        if (c.colour == kRed) {
            EXPECT_EQ(c.d, c.b + 1);
            out.push_back({c.a, c.b, c.c});
        }
    return out;
}

// Painting through the real Qt surface into an offscreen back buffer.
struct QtReader {
    QtSurface surface;
    ReaderState s;
    PainterFonts fonts;
    LookUpIndex lookUp;
    QtReader(int width, int height, qreal dpr = 1.0) { surface.resize(width, height, dpr); }
    void prepare(std::u16string text, std::int16_t page, std::int16_t pages)
    {
        prepareReading(surface, fonts, s, 360, 400, std::move(text), page, pages);
    }
    void paint() { paintScreen(Canvas{surface, fonts}, s, noDesktop(), noFiles(), lookUp, true); }
    QColor pixel(int x, int y)
    {
        surface.finishPainting();
        const qreal dpr = surface.image().devicePixelRatio();
        return surface.image().pixelColor(int(x * dpr), int(y * dpr));
    }
};

QColor qcolour(Colour c)
{
    return QColor(int(redOf(c)), int(greenOf(c)), int(blueOf(c)));
}

} // namespace

TEST(PageMarks, Geometry)
{
    struct Row {
        const char *name;
        int width;
        std::int16_t page, pages, section, sections;
        std::array<int, 3> pageMark, sectionMark;
    };
    const Row rows[] = {
        {"first of ten pages", 360, 1, 10, 1, 1, {324, 398, 361}, {1, 1, 362}},
        {"last of ten pages", 360, 10, 10, 1, 1, {0, 398, 37}, {1, 1, 362}},
        {"one page: the whole width", 360, 1, 1, 1, 1, {0, 398, 361}, {1, 1, 362}},
        {"section 2 of 3", 336, 4, 7, 2, 3, {144, 398, 193}, {113, 1, 226}},
        {"products stay in 32 bits", 1920, 1, 30000, 30000, 30000, {1919, 398, 1920}, {1, 1, 2}},
    };
    for (const Row &r : rows) {
        TestParts t;
        prepareReading(t.surface, t.fonts, t.s, r.width, 400, u"一二三", r.page, r.pages);
        t.s.book.currentSection = r.section;
        t.s.book.sectionCount = r.sections;
        t.surface.clear();
        drawPage(Canvas{t.surface, t.fonts}, t.s, 0);
        const auto m = marks(t.surface);
        ASSERT_EQ(m.size(), 2u) << r.name;
        EXPECT_EQ(m[0], r.pageMark) << r.name;
        EXPECT_EQ(m[1], r.sectionMark) << r.name;
    }
}

TEST(DrawPage, CellsColoursAndFocus)
{
    TestParts t;
    prepareReading(t.surface, t.fonts, t.s, 360, 400, u"第12章a.\r\n│", 1, 1);
    ReaderState &s = t.s;
    s.look.setColours(2, s.look.backgroundChoice());
    t.surface.clear();
    drawPage(Canvas{t.surface, t.fonts}, t.s, 0);
    const auto texts = t.surface.callsOf("text");
    struct Expect {
        std::u16string text;
        int x, y;
    };
    const Expect expected[] = {
        {u"第", 323, 16}, {u"1", 323, 32}, {u"2", 331, 32}, {u"章", 323, 48},
        {u"ａ", 323, 64}, {u".", 327, 80}, {u"…", 299, 32},
    };
    ASSERT_EQ(texts.size(), std::size(expected));
    for (std::size_t k = 0; k < texts.size(); ++k) {
        EXPECT_EQ(texts[k].text, expected[k].text) << k;
        EXPECT_EQ(texts[k].a, expected[k].x) << k;
        EXPECT_EQ(texts[k].b, expected[k].y) << k;
        EXPECT_EQ(texts[k].colour, rgb(255, 255, 255)) << k;
    }
    // Drawing the page leaves the focus alone: the screen change moves it.
    EXPECT_FALSE(t.window.focused);
}

TEST(PaintScreen, BackgroundAndDispatch)
{
    struct Row {
        const char *name;
        Screen screen;
        std::int32_t shownPageStart;
        bool expectText;
    };
    const Row rows[] = {
        {"reading page", Screen::ReadingScreen, 0, true},
        {"no book: background only", Screen::ReadingScreen, -1, false},
        {"shelf screen", Screen::ShelfScreen, 0, false},
    };
    for (const Row &r : rows) {
        TestParts t;
        LookUpIndex lookUp;
        prepareReading(t.surface, t.fonts, t.s, 360, 400, u"一二三", 1, 1);
        ReaderState &s = t.s;
        s.look.setColours(2, 4);
        s.currentScreen = r.screen;
        if (r.shownPageStart < 0)
            s.book.pages.clear();
        else
            s.book.pages.show(1); // starts at 0
        t.surface.clear();
        paintScreen(Canvas{t.surface, t.fonts}, t.s, noDesktop(), *t.files, lookUp, true);
        ASSERT_FALSE(t.surface.calls.empty()) << r.name;
        const auto &first = t.surface.calls.front();
        EXPECT_EQ(first.op, "fill") << r.name;
        EXPECT_EQ(std::vector<int>({first.a, first.b, first.c, first.d}), std::vector<int>({0, 0, 360, 400})) << r.name;
        const Colour background = r.screen == Screen::ReadingScreen ? rgb(0, 64, 64) : s.look.screenColour;
        EXPECT_EQ(first.colour, background) << r.name;
        EXPECT_EQ(panelBackground(s), background) << r.name;
        // The shelf screen draws texts of its own, but never a page.
        if (r.screen == Screen::ReadingScreen) {
            EXPECT_EQ(t.surface.callsOf("text").empty(), !r.expectText) << r.name;
        }
        EXPECT_EQ(marks(t.surface).empty(), !r.expectText) << r.name;

        // A platform repaint does not erase; the empty shelf's hint clears
        // only a box in the middle.
        t.surface.clear();
        paintScreen(Canvas{t.surface, t.fonts}, t.s, noDesktop(), *t.files, lookUp, false);
        for (const auto &c : t.surface.callsOf("fill")) {
            if (c.colour != kRed) {
                EXPECT_EQ(r.screen, Screen::ShelfScreen) << r.name;
                EXPECT_GT(c.a, 0) << r.name;
                EXPECT_LT(c.c, 360) << r.name;
            }
        }
    }
}

TEST(PagePixels, MarksTextAndBackground)
{
    ensureGuiApp();
    struct Row {
        const char *name;
        std::int16_t page, pages;
        int redFrom, redTo; // inclusive, on the row clientHeight - 2
    };
    const Row rows[] = {
        {"first of ten", 1, 10, 324, 359},
        {"last of ten", 10, 10, 0, 36},
        {"single page", 1, 1, 0, 359},
    };
    for (const Row &r : rows) {
        QtReader q(360, 400);
        q.prepare(u"一二三", r.page, r.pages);
        q.s.look.setColours(1, 1);
        q.paint();
        for (int x = 0; x < 360; ++x) {
            const bool red = x >= r.redFrom && x <= r.redTo;
            ASSERT_EQ(q.pixel(x, 398), red ? QColor(Qt::red) : QColor(Qt::white)) << r.name << " x=" << x;
        }
        EXPECT_EQ(q.pixel(200, 397), QColor(Qt::white)) << r.name;
        EXPECT_EQ(q.pixel(200, 399), QColor(Qt::white)) << r.name;
        // The section mark of section 1 of 1 runs along y = 1 from x = 1.
        EXPECT_EQ(q.pixel(0, 1), QColor(Qt::white)) << r.name;
        EXPECT_EQ(q.pixel(1, 1), QColor(Qt::red)) << r.name;
        EXPECT_EQ(q.pixel(359, 1), QColor(Qt::red)) << r.name;
    }
}

TEST(PagePixels, WhiteTextInSchemeTwo)
{
    ensureGuiApp();
    for (qreal dpr : {1.0, 2.0}) {
        QtReader q(360, 400, dpr);
        q.prepare(u"國", 1, 1);
        q.s.look.setColours(2, 9);
        q.paint();
        q.surface.finishPainting();
        const QImage &img = q.surface.image();
        int white = 0, other = 0, dark = 0;
        // The one cell at (323, 16) .. (339, 32), in buffer pixels.
        for (int y = int(16 * dpr); y < int(32 * dpr); ++y)
            for (int x = int(323 * dpr); x < int(339 * dpr); ++x) {
                const QColor c = img.pixelColor(x, y);
                if (c == QColor(Qt::white))
                    ++white;
                else if (c == QColor(0, 0, 96))
                    ++dark;
                else
                    ++other;
                // Blends of white over #000060 only: never darker than it.
                EXPECT_GE(c.blue(), 96);
                EXPECT_EQ(c.red(), c.green());
            }
        EXPECT_GT(white, 10 * dpr * dpr) << dpr;
        EXPECT_GT(dark, 0) << dpr;
        // Nothing of the text leaks outside its cell row.
        EXPECT_EQ(q.pixel(330, 40), QColor(0, 0, 96));
    }
}

TEST(PagePixels, TurnedEllipsisIsAVerticalRowOfDots)
{
    ensureGuiApp();
    QtReader q(360, 400);
    q.prepare(u"│", 1, 1);
    q.s.look.setColours(q.s.look.textScheme(), 1);
    q.paint();
    q.surface.finishPainting();
    const QImage &img = q.surface.image();
    int left = 1000, right = -1, top = 1000, bottom = -1;
    for (int y = 3; y < 397; ++y)
        for (int x = 0; x < 360; ++x)
            if (img.pixelColor(x, y).lightness() < 128) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, 0) << "the ellipsis was drawn";
    // Inside the cell (323, 16) - (339, 32), taller than wide.
    EXPECT_GE(left, 323);
    EXPECT_LT(right, 339);
    EXPECT_GE(top, 16);
    EXPECT_LT(bottom, 32);
    EXPECT_GT(bottom - top, 3 * (right - left));
}

TEST(PrimitivePixels, InvertTurnsScreenColourIntoPanelColour)
{
    ensureGuiApp();
    for (qreal dpr : {1.0, 2.0}) {
        QtReader q(100, 60, dpr);
        ReaderState &s = q.s;
        setPanelColour(s.look);
        q.surface.fillRect(0, 0, 100, 60, s.look.screenColour);
        q.surface.invertRect(10, 10, 20, 5);
        EXPECT_EQ(q.pixel(10, 10), qcolour(s.look.panelColour));
        EXPECT_EQ(q.pixel(29, 14), qcolour(s.look.panelColour));
        EXPECT_EQ(q.pixel(30, 14), qcolour(s.look.screenColour));
        EXPECT_EQ(q.pixel(29, 15), qcolour(s.look.screenColour));
        q.surface.invertRect(10, 10, 20, 5);
        EXPECT_EQ(q.pixel(10, 10), qcolour(s.look.screenColour));
    }
}
