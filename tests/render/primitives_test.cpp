#include "test_platform.h"

#include "render/primitives.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace pagora;

TEST(FontRequestFace, CutsAtACharacterBoundary)
{
    struct Row {
        const char *name;
        std::string face;
        std::string expected;
    };
    const std::string cjk = "細"; // three bytes in UTF-8
    std::string eleven, ten;
    for (int k = 0; k < 11; ++k)
        eleven += cjk;
    for (int k = 0; k < 10; ++k)
        ten += cjk;
    const Row rows[] = {
        {"short", "AR PL UMing TW", "AR PL UMing TW"},
        {"empty", "", ""},
        {"31 bytes kept whole", std::string(31, 'a'), std::string(31, 'a')},
        {"32 ASCII bytes", std::string(32, 'a'), std::string(31, 'a')},
        {"33 bytes of CJK", eleven, ten},
        {"one ASCII then CJK: 31 bytes end on a boundary", "a" + eleven, "a" + ten},
        {"two ASCII then CJK", "ab" + eleven, "ab" + ten.substr(3)},
        {"two-byte characters", std::string(40, 'x').replace(0, 32, "éééééééééééééééé"), "ééééééééééééééé"},
        // Bytes that are not UTF-8 must not make the cut run away.
        {"only continuation bytes", std::string(40, '\x80'), ""},
    };
    for (const Row &r : rows) {
        const std::string got = fontRequestFace(r.face);
        EXPECT_EQ(got, r.expected) << r.name;
        EXPECT_LE(got.size(), 31u) << r.name;
    }
}

TEST(Fonts, ReadingCellAndRequests)
{
    TestParts t;
    ReaderState &s = t.s;
    const PainterFonts &fonts = t.fonts;
    s.look.fontName = "新細明體";
    createInterfaceFont(t.surface, t.fonts);
    struct Row {
        std::int16_t step, base;
        int cell;
    };
    for (const Row &r : {Row{1, 14, 16}, Row{9, 72, 90}, Row{1, 8, 10}, Row{5, 20, 30}}) {
        s.look.setSizeStep(r.step);
        s.look.baseFontSize = r.base;
        const FontHandle old = fonts.readingFont, oldTurned = fonts.turnedReadingFont;
        createReadingFont(t.surface, t.fonts, t.s.look);
        EXPECT_EQ(fonts.readingCell, r.cell);
        EXPECT_EQ(readingCell(s.look), r.cell);
        for (const auto &[font, escapement] :
             {std::pair{fonts.readingFont, 0}, std::pair{fonts.turnedReadingFont, 900}}) {
            const FontRequest &req = t.surface.fonts[std::size_t(font)];
            EXPECT_EQ(req.height, r.cell);
            EXPECT_EQ(req.escapement, escapement);
            EXPECT_EQ(req.face, "新細明體");
        }
        for (FontHandle replaced : {old, oldTurned})
            if (replaced != kNoFont) {
                EXPECT_FALSE(t.surface.fontAlive[std::size_t(replaced)]) << "the replaced font is deleted";
            }
    }
    // The interface font is the default face at 16 px whatever the reading face.
    EXPECT_EQ(t.surface.fonts[std::size_t(fonts.interfaceFont)].height, kInterfaceCell);
    EXPECT_EQ(t.surface.fonts[std::size_t(fonts.interfaceFont)].face, "新細明體");
    EXPECT_EQ(interfaceText(fonts).font, fonts.interfaceFont);
    s.look.setColours(2, s.look.backgroundChoice());
    EXPECT_EQ(readingText(fonts, s.look).font, fonts.readingFont);
    EXPECT_EQ(readingText(fonts, s.look).colour, rgb(255, 255, 255));
    deleteFonts(t.surface, t.fonts);
    EXPECT_EQ(std::count(t.surface.fontAlive.begin(), t.surface.fontAlive.end(), true), 0);
    EXPECT_EQ(fonts.readingFont, kNoFont);
}

// U+2502 and U+FFE4 become an ellipsis turned a quarter, one cell lower, in
// the paint's colour; the next glyph is drawn in the paint's own font.
TEST(DrawGlyph, TurnedEllipsisForVerticalBars)
{
    for (char16_t bar : {char16_t(0x2502), char16_t(0xFFE4)}) {
        TestParts t;
        createInterfaceFont(t.surface, t.fonts);
        createReadingFont(t.surface, t.fonts, t.s.look);
        t.surface.clear();
        const TextPaint ink{t.fonts.interfaceFont, rgb(1, 2, 3)};
        drawGlyph(Canvas{t.surface, t.fonts}, ink, bar, 100, 50);
        drawGlyph(Canvas{t.surface, t.fonts}, ink, u'字', 100, 66);

        const auto texts = t.surface.callsOf("text");
        ASSERT_EQ(texts.size(), 2u);
        EXPECT_EQ(texts[0].text, u"…");
        EXPECT_EQ(texts[0].a, 100);
        EXPECT_EQ(texts[0].b, 50 + 16);
        EXPECT_EQ(texts[0].colour, ink.colour);
        EXPECT_EQ(t.surface.fonts[std::size_t(texts[0].font)].escapement, 900);
        EXPECT_EQ(t.surface.fonts[std::size_t(texts[1].font)].escapement, 0);
        EXPECT_EQ(texts[1].font, ink.font);
        // Drawing makes and deletes no font.
        EXPECT_TRUE(t.surface.callsOf("createFont").empty());
        EXPECT_TRUE(t.surface.callsOf("deleteFont").empty());
    }
}

TEST(DrawGlyph, OrdinaryUnitsAreDrawnAsGiven)
{
    TestParts t;
    createReadingFont(t.surface, t.fonts, t.s.look);
    t.surface.clear();
    const TextPaint ink = readingText(t.fonts, t.s.look);
    drawGlyph(Canvas{t.surface, t.fonts}, ink, u'a', 3, 4);
    drawGlyph(Canvas{t.surface, t.fonts}, ink, 0x2503, 5, 6); // a heavy bar is not turned
    const auto texts = t.surface.callsOf("text");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, u"a");
    EXPECT_EQ(texts[1].text, u"\u2503");
    EXPECT_TRUE(t.surface.callsOf("createFont").empty());
}

TEST(Primitives, CentredTextDropsTheRemainder)
{
    TestParts t;
    createInterfaceFont(t.surface, t.fonts);
    for (const auto &[width, expectedX] : {std::pair{361, 164}, std::pair{360, 164}, std::pair{20, -6}}) {
        t.surface.clear();
        drawTextCentred(t.surface, interfaceText(t.fonts), u"一二", width, 9); // 32 px in the recording surface
        const auto texts = t.surface.callsOf("text");
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].a, expectedX) << width;
        EXPECT_EQ(texts[0].b, 9);
    }
}

TEST(Primitives, FillScreenRectUsesTheScreenColour)
{
    TestParts t;
    fillScreenRect(t.surface, t.s.look, 1, 2, 3, 4);
    const auto fills = t.surface.callsOf("fill");
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].colour, rgb(128, 128, 64));
    EXPECT_EQ(fills[0].c, 3);
    EXPECT_EQ(fills[0].d, 4);
}

// The path bar fills the band between the top bar and the list, leaving both
// their lines, and the path sits centred in it at the path column.
TEST(Colours, ReadingColourFromThePalette)
{
    struct Row {
        std::int16_t scheme, choice;
        Colour expected;
    };
    const Row rows[] = {
        {1, 1, rgb(255, 255, 255)},
        {1, 2, kButtonFaceColour},
        {1, 3, rgb(128, 128, 64)},
        {1, 5, rgb(0, 128, 192)},
        {1, 9, rgb(255, 255, 192)},
        {2, 1, rgb(58, 58, 58)},
        {2, 2, rgb(84, 54, 128)},
        {2, 6, rgb(58, 110, 165)},
        {2, 7, rgb(127, 127, 191)},
        {2, 9, rgb(0, 0, 96)},
        // Out-of-range values from a damaged settings file stay in the palette.
        {0, 0, kButtonFaceColour},
        {3, 12, kButtonFaceColour},
        {2, -1, rgb(84, 54, 128)},
    };
    for (const Row &r : rows) {
        ReaderState s;
        s.look.setColours(r.scheme, r.choice);
        EXPECT_EQ(s.look.readingColour(), r.expected) << r.scheme << "/" << r.choice;
        // What is kept is in range and gives the colour shown.
        EXPECT_EQ(computeReadingColour(s.look.textScheme(), s.look.backgroundChoice()), r.expected);
    }
    ReaderState s;
    s.look.panelColour = 0;
    setPanelColour(s.look);
    EXPECT_EQ(s.look.panelColour, rgb(127, 127, 191));
    // The panel colour is the exact inverse of the screen colour.
    EXPECT_EQ(s.look.panelColour, ~s.look.screenColour & 0xFFFFFF);
}
