// Punctuation of vertical columns in its vertical forms, judged by the pixels
// drawn and by the cells used.
#include "gui_app.h"
#include "test_platform.h"

#include "qt/qt_surface.h"
#include "render/layout_walk.h"
#include "render/page_painter.h"
#include "render/primitives.h"
#include "screens/paint_dispatch.h"
#include "screens/shelf_screen.h"
#include "state/interface_texts.h"
#include "text/codec.h"

#include <QImage>
#include <QTransform>
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

using namespace pagora;

namespace {

constexpr int kCell = 40;

struct Ink {
    QRect box; // relative to the cell's top-left corner
    QImage image;
};

// u drawn in one reading cell of a blank page, with the forms on or off.
Ink inkOf(char16_t u, bool forms)
{
    ensureGuiApp();
    QtSurface surface;
    surface.resize(3 * kCell, 3 * kCell);
    Appearance look;
    look.setSizeStep(1);
    look.baseFontSize = kCell - 2;
    look.fontName = std::string(texts::defaultFaceUtf8);
    look.verticalForms = forms ? 1 : 0;
    PainterFonts fonts;
    createReadingFont(surface, fonts, look);
    drawColumnGlyph(Canvas{surface, fonts}, {fonts.readingFont, rgb(0, 0, 0)}, forms, u, kCell, kCell);
    surface.finishPainting();
    const QImage &page = surface.image();
    QRect box;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (page.pixel(x, y) != qRgb(255, 255, 255))
                box = box.united(QRect(x, y, 1, 1));
    return {box.translated(-kCell, -kCell), page.copy(box)};
}

enum class Form {
    Turned,        // a quarter turn: the ink's long side changes direction
    TurnedAsDrawn, // the upright glyph turned a quarter clockwise, pixel for pixel
    Centred,       // the upright glyph, its ink centred in the cell
    CentredOnly,   // ink centred in the cell, whatever the glyph
    Unchanged,
};

struct FormCase {
    const char *name;
    std::u16string characters;
    Form form;
};

class VerticalFormOf : public ::testing::TestWithParam<FormCase> {};

TEST_P(VerticalFormOf, TakesItsFormInsideItsCell)
{
    for (const char16_t u : GetParam().characters) {
        SCOPED_TRACE(utf16ToUtf8(std::u16string(1, u)));
        const Ink upright = inkOf(u, false);
        const Ink vertical = inkOf(u, true);
        ASSERT_FALSE(vertical.box.isEmpty());
        // The face's own ink may stray a pixel or two past its em.
        EXPECT_TRUE(QRect(-3, -3, kCell + 6, kCell + 6).contains(vertical.box)) << "ink outside the cell";
        const auto isWide = [](const QRect &b) { return b.width() > b.height(); };
        const QPoint twiceCentre = vertical.box.topLeft() * 2 + QPoint(vertical.box.width(), vertical.box.height());
        switch (GetParam().form) {
        case Form::Turned: EXPECT_NE(isWide(upright.box), isWide(vertical.box)); break;
        case Form::TurnedAsDrawn: EXPECT_EQ(vertical.image, upright.image.transformed(QTransform().rotate(90))); break;
        case Form::Centred: EXPECT_EQ(vertical.image, upright.image); [[fallthrough]];
        case Form::CentredOnly:
            EXPECT_NEAR(twiceCentre.x(), kCell, 2);
            EXPECT_NEAR(twiceCentre.y(), kCell, 2);
            break;
        case Form::Unchanged: EXPECT_EQ(std::tie(vertical.box, vertical.image), std::tie(upright.box, upright.image));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Characters, VerticalFormOf,
                         ::testing::Values(FormCase{"BracketsDashesEllipsis", u"「」（《｢…—―～", Form::Turned},
                                           FormCase{"QuoteWithoutEncodedForm", u"‘", Form::TurnedAsDrawn},
                                           FormCase{"PauseAndStopMarks", u"，、。；！？", Form::Centred},
                                           FormCase{"ColonAndEncodedComma", u"：︐", Form::CentredOnly},
                                           FormCase{"HanziAndTheLayoutsVerticalDash", u"中｜", Form::Unchanged}),
                         [](const auto &info) { return std::string(info.param.name); });

// Where every page starts and every cell drawn on it lies.
std::vector<std::pair<int, int>> drawnCells(const std::u16string &text, bool forms)
{
    TestParts t;
    ReaderState &s = t.s;
    s.window.clientWidth = 704, s.window.clientHeight = 544;
    s.book.setSectionText(text);
    s.book.sectionCount = s.book.currentSection = 1;
    s.look.verticalForms = forms ? 1 : 0;
    repaginate(t.s.book, computeTextArea(t.s));
    std::vector<std::pair<int, int>> cells;
    for (int p = 1; p <= s.book.pages.pageCount(); ++p) {
        cells.emplace_back(-1, s.book.pages.start(std::size_t(p)));
        drawPage(Canvas{t.surface, t.fonts}, s, s.book.pages.start(std::size_t(p)));
    }
    for (const auto &call : t.surface.calls)
        if (call.op == "text" || call.op == "glyph")
            cells.emplace_back(call.a, call.b);
    return cells;
}

TEST(VerticalForms, LeaveEveryPageAndCellWhereItWas)
{
    const std::u16string punctuation = u"「子曰：『學而時習之，不亦說乎？』」《論語》〈學而〉（一）【註】〔甲〕｛乙｝——"
                                       u"……～〜、。；！\r\n(a)-b,c:d;e?f!12";
    std::vector<std::u16string> texts = {u""};
    for (int k = 0; k < 40; ++k)
        texts[0] += punctuation;
    const char *source = std::getenv("PAGORA_SOURCE_DIR");
    ASSERT_NE(source, nullptr) << "PAGORA_SOURCE_DIR must name the source folder (ctest sets it)";
    for (const auto &entry : std::filesystem::directory_iterator(std::filesystem::path(source) / "samples"))
        texts.push_back(utf8ToUtf16(readFile(entry.path().string())));
    for (const std::u16string &text : texts)
        EXPECT_EQ(drawnCells(text, true), drawnCells(text, false)) << utf16ToUtf8(text.substr(0, 8));
}

TEST(VerticalForms, TurnTitlesInTheirCells)
{
    TestParts t;
    t.s.currentScreen = Screen::ContentsScreen;
    t.s.layout.bottomBarTop = 600;
    drawVerticalLabel(Canvas{t.surface, t.fonts}, t.s, u"「論」", 100, 50);
    const auto glyphs = t.surface.callsOf("glyph");
    ASSERT_EQ(glyphs.size(), 2u);
    EXPECT_EQ(std::tie(glyphs[0].text, glyphs[0].b, glyphs[1].text, glyphs[1].b),
              std::make_tuple(std::u16string(u"﹁"), 50, std::u16string(u"﹂"), 82));
}

} // namespace
