// Marks beside the text: their colours on every background, where their
// bands go, and that the page under them never moves.
#include "test_platform.h"

#include "render/layout_walk.h"
#include "render/note_marks.h"
#include "render/page_painter.h"
#include "render/primitives.h"
#include "render/text_selection.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pagora;

namespace {

double luminance(Colour c)
{
    const auto lin = [](unsigned v) {
        const double x = v / 255.0;
        return x <= 0.03928 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(redOf(c)) + 0.7152 * lin(greenOf(c)) + 0.0722 * lin(blueOf(c));
}

double contrast(Colour a, Colour b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Every colour against every reading background (and the system face, as a
// light grey): it must stand out from the page, and the four must differ.
TEST(NoteMarks, EveryColourStandsOutOnEveryBackground)
{
    for (std::size_t b = 0; b < kPalette.size(); ++b) {
        const Colour background = rgb(kPalette[b][0], kPalette[b][1], kPalette[b][2]);
        for (int k = 1; k <= kMarkColours; ++k) {
            EXPECT_GE(contrast(markColour(k, background), background), 1.85)
                << "colour " << k << " on background " << b + 1;
            for (int other = 1; other < k; ++other)
                EXPECT_NE(markColour(k, background), markColour(other, background)) << b + 1;
        }
    }
    EXPECT_EQ(markColour(1, kButtonFaceColour), markColour(1, rgb(kPalette[1][0], kPalette[1][1], kPalette[1][2])));
}

struct MarkedPage : ::testing::Test {
    TestParts t;
    void SetUp() override
    {
        ReaderState &s = t.s;
        s.window.clientWidth = 360;
        s.window.clientHeight = 400;
        s.currentScreen = Screen::ReadingScreen;
        s.book.setSectionText(std::u16string(2000, u'天'));
        createReadingFont(t.surface, t.fonts, t.s.look);
        repaginate(s.book, computeTextArea(s));
        s.book.pages.show(2);
        s.book.sectionCount = 1;
        s.book.currentSection = 1;
        s.book.fingerprint = "f";
    }
    std::vector<RecordingSurface::Call> draw(const char *op)
    {
        t.surface.clear();
        drawPage(Canvas{t.surface, t.fonts}, t.s, t.s.book.pages.shownPageStart());
        return t.surface.callsOf(op);
    }
};

TEST_F(MarkedPage, BandsGoBesideTheMarkedCellsAndNothingElseMoves)
{
    ReaderState &s = t.s;
    const auto glyphs = draw("glyph");
    const auto fills = draw("fill");
    const std::int32_t start = s.book.pages.shownPageStart();
    const PageCells page = pageCells(s, start);
    // One passage from the page before into this one, one with a note that
    // ends inside it, and one on another section, not drawn here.
    s.book.shownMarks = {"f", 1, {{1, start - 5, 8, 2, false}, {2, start + 30, 3, 4, true}}, 1};
    const auto marked = draw("fill");
    const auto glyphsMarked = draw("glyph");
    ASSERT_EQ(glyphsMarked.size(), glyphs.size());
    for (std::size_t i = 0; i < glyphs.size(); ++i)
        EXPECT_TRUE(glyphsMarked[i].a == glyphs[i].a && glyphsMarked[i].b == glyphs[i].b) << i;

    const int c = page.cell;
    std::vector<std::array<int, 5>> expected;
    const auto beside = [&](int k, int colour) {
        const PlacedCell &cell = page.cells[std::size_t(k)];
        return std::array<int, 5>{cell.x + c + 1, cell.y + 1, cell.x + c + 1 + kMarkBandWidth, cell.y + c + 1,
                                  int(markColour(colour, s.look.readingColour()))};
    };
    for (int k = 0; k < 3; ++k)
        expected.push_back(beside(k, 2));
    for (int k = 30; k < 33; ++k)
        expected.push_back(beside(k, 4));
    const PlacedCell &last = page.cells[32];
    expected.push_back({last.x + c + 1, last.y + c + 2, last.x + c + 1 + kNoteMarkSize, last.y + c + 2 + kNoteMarkSize,
                        int(markColour(4, s.look.readingColour()))});
    std::vector<std::array<int, 5>> got;
    for (std::size_t i = fills.size(); i < marked.size(); ++i)
        got.push_back({marked[i].a, marked[i].b, marked[i].c, marked[i].d, int(marked[i].colour)});
    EXPECT_EQ(got, expected);

    // Marks of another book or section are not this page's.
    for (const SectionMarks &other :
         {SectionMarks{"g", 1, s.book.shownMarks.marks, 1}, SectionMarks{"f", 2, s.book.shownMarks.marks, 1}}) {
        s.book.shownMarks = other;
        EXPECT_EQ(draw("fill").size(), fills.size());
    }
}

} // namespace
