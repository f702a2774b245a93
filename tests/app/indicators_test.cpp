#include "gui_app.h"
#include "paged_book.h"

#include "app/navigation.h"
#include "app/show_screen.h"
#include "app/work_ahead.h"
#include "qt/qt_surface.h"
#include "render/indicators.h"
#include "render/layout_walk.h"
#include "render/primitives.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using namespace pagora;

namespace {

// ---------------------------------------------------------------- geometry

struct SliderCase {
    const char *name;
    Indicator kind;
    int count, value;
    int x, width;
};

class MarkSlider : public ::testing::TestWithParam<SliderCase> {};

TEST_P(MarkSlider, InvertsTheMarkerOfTheValue)
{
    const SliderCase &c = GetParam();
    TestReader t;
    setPagedPanel(t.r.state);
    if (c.kind == Indicator::Page)
        t.r.state.book.pages = PageTable(std::vector<std::int32_t>(std::size_t(c.count) + 2, 0), c.count);
    else
        t.r.state.book.sectionCount = std::int16_t(c.count);
    markSlider(t.surface, t.r.state, c.kind, c.value);
    const auto inverts = t.surface.callsOf("invert");
    ASSERT_GE(inverts.size(), 1u);
    if (c.kind == Indicator::Page) { // the page band, less the label's box
        const int labelTop = t.r.state.layout.pageBandLabelTop;
        int left = 360, right = 0, top = 400, bottom = 0, area = 0, overLabel = 0;
        for (const auto &r : inverts) {
            left = std::min(left, r.a), right = std::max(right, r.a + r.c);
            top = std::min(top, r.b), bottom = std::max(bottom, r.b + r.d), area += r.c * r.d;
            const int w = std::min(r.a + r.c, 240) - std::max(r.a, 120);
            const int h = std::min(r.b + r.d, labelTop + 18) - std::max(r.b, labelTop);
            overLabel += w > 0 && h > 0;
        }
        EXPECT_EQ(std::tuple(left, right - left, top, bottom - top), std::tuple(c.x, c.width, 238, 310 - 237 - 1));
        const int hidden = std::max(0, std::min(c.x + c.width, 240) - std::max(c.x, 120)) * 18;
        EXPECT_EQ(area, c.width * 72 - hidden);
        EXPECT_EQ(overLabel, 0);
    } else { // the section band below the title bar
        ASSERT_EQ(inverts.size(), 1u);
        EXPECT_EQ(inverts[0].a, c.x);
        EXPECT_EQ(inverts[0].c, c.width);
        EXPECT_EQ(inverts[0].b, 27);
        EXPECT_EQ(inverts[0].d, 133 - 26 - 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Markers, MarkSlider,
                         ::testing::Values(SliderCase{"FirstOfTwelve", Indicator::Page, 12, 1, 331, 30},
                                           SliderCase{"MiddleOfTwelve", Indicator::Page, 12, 6, 181, 30},
                                           SliderCase{"LastOfTwelve", Indicator::Page, 12, 12, 0, 30},
                                           SliderCase{"OnlyPage", Indicator::Page, 1, 1, 0, 360},
                                           SliderCase{"LastOf500IsOnePixel", Indicator::Page, 500, 500, 0, 1},
                                           SliderCase{"SecondOf500", Indicator::Page, 500, 2, 359, 1},
                                           // The first of more values than pixels would start just past
                                           // the right edge; it is kept on the panel.
                                           SliderCase{"FirstOf500StaysOnPanel", Indicator::Page, 500, 1, 359, 1},
                                           SliderCase{"SectionTwoOfThree", Indicator::Section, 3, 2, 121, 120},
                                           SliderCase{"SectionOneOfThree", Indicator::Section, 3, 1, 241, 120}),
                         [](const ::testing::TestParamInfo<SliderCase> &info) { return std::string(info.param.name); });

TEST(MarkSliderWithoutBook, DrawsNothing)
{
    TestReader t;
    setPagedPanel(t.r.state);
    t.r.state.book.pages.clear(), t.r.state.book.sectionCount = 0;
    markSlider(t.surface, t.r.state, Indicator::Page, 1);
    markSlider(t.surface, t.r.state, Indicator::Section, 0);
    EXPECT_TRUE(t.surface.calls.empty());
}

TEST(SliderValue, RightEndIsOneLeftEndIsTheCount)
{
    struct Row {
        int x, width, count, expected;
    } rows[] = {
        {-5, 336, 3, 3},  {0, 336, 3, 3},   {1, 336, 3, 3},          {200, 336, 3, 2},   {335, 336, 3, 1},
        {336, 336, 3, 1}, {900, 336, 3, 1}, {1, 360, 500, 499},      {359, 360, 500, 2}, {180, 360, 12, 7},
        {1, 360, 1, 1},   {0, 360, 1, 1},   {1, 1024, 32767, 32736},
    };
    for (const Row &row : rows)
        EXPECT_EQ(sliderValue(row.x, row.width, row.count), row.expected)
            << "x " << row.x << " width " << row.width << " count " << row.count;
}

struct ReadingIndicatorCase {
    const char *name;
    Indicator kind;
    int scheme;
    int y, height;
    Colour textColour;
    bool countKnown; // all pages laid out, else the first twelve
};

class ReadingIndicatorGeometry : public ::testing::TestWithParam<ReadingIndicatorCase> {};

TEST_P(ReadingIndicatorGeometry, BoxTextInversionAndRemoval)
{
    const ReadingIndicatorCase &c = GetParam();
    TestReader t;
    ReaderState &s = t.r.state;
    setPagedPanel(s);
    remakeInterfaceFont(t.r);
    s.currentScreen = Screen::ReadingScreen;
    s.look.setColours(std::int16_t(c.scheme), s.look.backgroundChoice());
    s.book.pages = PageTable(std::vector<std::int32_t>(14, 0), 12);
    if (!c.countKnown) {
        s.book.pages = PageTable(TextArea{});
        for (int p = 1; p <= 12; ++p)
            s.book.pages.addPage(10 * p, false);
    }
    s.book.pages.turnTo(3);
    s.book.currentSection = 10, s.book.sectionCount = 12;
    // Nine sections and a quarter of the tenth of twelve: the book's share;
    // the page alone while the count is not known.
    const std::u16string text = c.kind == Indicator::Section ? u" 10/12 " : c.countKnown ? u" 3/12 77% " : u" 3 ";
    const int w = t.surface.textWidth(t.r.fonts.interfaceFont, text);
    ASSERT_GT(w, 0);
    const int x = (360 - w) / 2;
    (c.kind == Indicator::Page ? s.menu.showPageNumber : s.menu.showSectionNumber) = 1;
    t.surface.clear();

    drawIndicator(canvasOf(t.r), t.r.state, c.kind);
    const auto fills = t.surface.callsOf("fill");
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(std::tuple(fills[0].a, fills[0].b, fills[0].c, fills[0].d), std::tuple(x, c.y, x + w, c.y + c.height));
    EXPECT_EQ(fills[0].colour, s.look.screenColour);
    const auto textCalls = t.surface.callsOf("text");
    ASSERT_EQ(textCalls.size(), 1u);
    EXPECT_EQ(textCalls[0].text, text);
    EXPECT_EQ(std::pair(textCalls[0].a, textCalls[0].b), std::pair(x, c.y));
    EXPECT_EQ(textCalls[0].colour, c.textColour);
    const auto inverts = t.surface.callsOf("invert");
    ASSERT_EQ(inverts.size(), 1u);
    EXPECT_EQ(std::tuple(inverts[0].a, inverts[0].b, inverts[0].c, inverts[0].d), std::tuple(x, c.y, w, c.height));
    EXPECT_TRUE(t.surface.callsOf("clip").empty());
    const PixelRect box = readingIndicatorBox(canvasOf(t.r), s, c.kind);
    EXPECT_EQ(std::tuple(box.x, box.y, box.width, box.height), std::tuple(x, c.y, w, c.height));

    // Turned off, the reading screen's indicator draws nothing: the page
    // beneath is repainted by whoever turned it off.
    (c.kind == Indicator::Page ? s.menu.showPageNumber : s.menu.showSectionNumber) = 0;
    t.surface.clear();
    drawIndicator(canvasOf(t.r), s, c.kind);
    EXPECT_TRUE(t.surface.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ReadingIndicatorGeometry,
    ::testing::Values(ReadingIndicatorCase{"PageBlackText", Indicator::Page, 1, 384, 16, rgb(0, 0, 0), true},
                      ReadingIndicatorCase{"PageWhiteText", Indicator::Page, 2, 384, 16, rgb(255, 255, 255), true},
                      ReadingIndicatorCase{"PageCountNotKnown", Indicator::Page, 1, 384, 16, rgb(0, 0, 0), false},
                      ReadingIndicatorCase{"SectionBlackText", Indicator::Section, 1, 0, 17, rgb(0, 0, 0), true},
                      ReadingIndicatorCase{"SectionWhiteText", Indicator::Section, 2, 0, 17, rgb(255, 255, 255), true}),
    [](const ::testing::TestParamInfo<ReadingIndicatorCase> &info) { return std::string(info.param.name); });

class MenuIndicator : public ::testing::Test {
protected:
    void SetUp() override
    {
        ReaderState &s = t.r.state;
        setPagedPanel(s);
        remakeInterfaceFont(t.r);
        s.currentScreen = Screen::MenuScreen;
        s.book.pages = PageTable(std::vector<std::int32_t>(14, 0), 12), s.book.pages.turnTo(3);
        s.book.currentSection = 2, s.book.sectionCount = 5;
        s.layout.titleLineChars = 36;
        s.book.contentsList = {u"第一節", u"第二節"};
        t.surface.clear();
    }

    std::vector<RecordingSurface::Call> textsAt() const { return t.surface.callsOf("text"); }

    TestReader t;
};

TEST_F(MenuIndicator, PageSliderEndsAndLabel)
{
    const int y = t.r.state.layout.pageBandLabelTop;
    drawIndicator(canvasOf(t.r), t.r.state, Indicator::Page);
    const auto texts = textsAt();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, u"1");
    EXPECT_EQ(std::pair(texts[0].a, texts[0].b), std::pair(360 - 16, y));
    EXPECT_EQ(texts[1].text, u"12");
    EXPECT_EQ(std::pair(texts[1].a, texts[1].b), std::pair(4, y));
    EXPECT_EQ(texts[2].text, u"第 3 頁");
    EXPECT_EQ(texts[2].b, y);
    const auto fills = t.surface.callsOf("fill");
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(std::tuple(fills[0].a, fills[0].b, fills[0].c, fills[0].d), std::tuple(120, y, 240, y + 18));
}

TEST_F(MenuIndicator, SectionSliderEndsLabelAndTitle)
{
    drawIndicator(canvasOf(t.r), t.r.state, Indicator::Section);
    const auto texts = textsAt();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0].text, u"1");
    EXPECT_EQ(std::pair(texts[0].a, texts[0].b), std::pair(344, 32));
    EXPECT_EQ(texts[1].text, u"5");
    EXPECT_EQ(std::pair(texts[1].a, texts[1].b), std::pair(4, 32));
    EXPECT_EQ(texts[2].text, u"第 2 節");
    EXPECT_EQ(texts[2].b, 32);
    EXPECT_EQ(texts[3].text, u"第二節");
    EXPECT_EQ(std::pair(texts[3].a, texts[3].b), std::pair(8, 58));
    const auto fills = t.surface.callsOf("fill");
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(std::tuple(fills[0].a, fills[0].b, fills[0].c, fills[0].d), std::tuple(120, 32, 240, 50));
    EXPECT_EQ(std::tuple(fills[1].a, fills[1].b, fills[1].c, fills[1].d), std::tuple(0, 58, 360, 129));
}

TEST_F(MenuIndicator, TitleTakesAtMostTwoLines)
{
    struct Row {
        std::size_t length;
        std::vector<std::size_t> lines; // code units per drawn line
    } rows[] = {{1, {1}}, {35, {35}}, {36, {36}}, {37, {36, 1}}, {100, {36, 64}}};
    for (const Row &row : rows) {
        t.r.state.book.contentsList = {u"一", std::u16string(row.length, u'節')};
        t.surface.clear();
        drawSectionLabel(canvasOf(t.r), t.r.state);
        auto texts = textsAt();
        ASSERT_EQ(texts.size(), 1 + row.lines.size()) << "length " << row.length;
        for (std::size_t k = 0; k < row.lines.size(); ++k)
            EXPECT_EQ(texts[1 + k].text.size(), row.lines[k]) << "length " << row.length;
        EXPECT_EQ(std::pair(texts[1].a, texts[1].b), std::pair(8, 58));
        if (row.lines.size() == 2) {
            EXPECT_EQ(std::pair(texts[2].a, texts[2].b), std::pair(16 + 8, 26 + 16 + 37));
        }
    }
}

TEST_F(MenuIndicator, MissingTitleDrawsOnlyTheLabel)
{
    t.r.state.book.contentsList = {u"第一節"}; // a damaged book listed fewer titles
    drawSectionLabel(canvasOf(t.r), t.r.state);
    const auto texts = textsAt();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, u"第 2 節");
    EXPECT_EQ(t.surface.callsOf("fill").size(), 2u); // the old title is still cleared
}

// ---------------------------------------------------------------- pixels

// A 12-page section of short columns, so the bands at the top and bottom
// edges hold only the page background and the position marks.
std::u16string shortColumns()
{
    std::u16string text;
    for (int column = 0; column < 13 * 12; ++column) {
        if (column > 0)
            text += u"\r\n";
        text += u"一二三四五";
    }
    return text;
}

struct Box {
    int left = -1, right = -1, top = -1, bottom = -1;
};

class IndicatorPixels : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        ensureGuiApp();
        surface.resize(kPagedPanelWidth, kPagedPanelHeight, 1.0);
        r.services.surface = &surface;
        ReaderState &s = r.state;
        setPagedPanel(s);
        s.look.setColours(std::int16_t(GetParam()), 2);
        setPanelColour(s.look);
        remakeInterfaceFont(r);
        remakeReadingFont(r);
        s.book.setSectionText(shortColumns());
        s.book.currentSection = s.book.sectionCount = 1;
        repaginate(r.state.book, computeTextArea(r.state));
        ASSERT_EQ(s.book.pages.pageCount(), 12);
        showPage(r, 3);
        page = surface.image().copy();
    }

    QColor at(int x, int y) const { return surface.image().pixelColor(x, y); }
    bool isBox(int x, int y) const { return at(x, y) == QColor(127, 127, 191); }

    // The box of panel colour that covers row y.
    Box boxOnRow(int y) const
    {
        Box b;
        for (int x = 0; x < kPagedPanelWidth; ++x)
            if (isBox(x, y)) {
                if (b.left < 0)
                    b.left = x;
                b.right = x;
            }
        if (b.left < 0)
            return b;
        for (int yy = 0; yy < kPagedPanelHeight; ++yy)
            if (isBox(b.left, yy) && isBox(b.right, yy)) {
                if (b.top < 0)
                    b.top = yy;
                b.bottom = yy;
            }
        return b;
    }

    // Pixels of the digits: white in scheme 1, black in scheme 2.
    int digitPixels(const Box &b) const
    {
        int n = 0;
        for (int y = b.top; y <= b.bottom; ++y)
            for (int x = b.left; x <= b.right; ++x) {
                const QColor c = at(x, y);
                const bool light = c.red() > 200 && c.green() > 200 && c.blue() > 200;
                const bool dark = c.red() < 60 && c.green() < 60 && c.blue() < 60;
                n += GetParam() == 1 ? light : dark;
            }
        return n;
    }

    void tap(int x, int y)
    {
        r.state.pointer.press();
        readingPointer(r, x, y);
    }

    QtSurface surface;
    TestReader t;
    Reader &r = t.r;
    QImage page;
};

TEST_P(IndicatorPixels, PageIndicatorIsCentredAtTheBottomAndLeavesNoTrace)
{
    tap(180, 395);
    ASSERT_EQ(r.state.menu.showPageNumber, 1);
    const Box b = boxOnRow(kPagedPanelHeight - 8);
    ASSERT_GE(b.left, 0) << "no indicator box";
    const int w = b.right - b.left + 1;
    EXPECT_EQ(b.left, (kPagedPanelWidth - w) / 2);
    EXPECT_EQ(b.top, kPagedPanelHeight - 16);
    EXPECT_EQ(b.bottom, kPagedPanelHeight - 1);
    EXPECT_EQ(w, surface.textWidth(r.fonts.interfaceFont, u" 3/12 25% "));
    EXPECT_GT(digitPixels(b), 10);
    EXPECT_EQ(at(b.left - 1, kPagedPanelHeight - 8), page.pixelColor(b.left - 1, kPagedPanelHeight - 8));

    tap(180, 395);
    EXPECT_EQ(r.state.menu.showPageNumber, 0);
    EXPECT_TRUE(surface.image() == page) << "the page was not restored exactly";
}

TEST_P(IndicatorPixels, SectionIndicatorIsCentredAtTheTopAndLeavesNoTrace)
{
    tap(180, 5);
    ASSERT_EQ(r.state.menu.showSectionNumber, 1);
    const Box b = boxOnRow(8);
    ASSERT_GE(b.left, 0) << "no indicator box";
    const int w = b.right - b.left + 1;
    EXPECT_EQ(b.left, (kPagedPanelWidth - w) / 2);
    EXPECT_EQ(b.top, 0);
    EXPECT_EQ(b.bottom, 16);
    EXPECT_EQ(w, surface.textWidth(r.fonts.interfaceFont, u" 1/1 "));
    EXPECT_GT(digitPixels(b), 10);

    tap(180, 5);
    EXPECT_EQ(r.state.menu.showSectionNumber, 0);
    EXPECT_TRUE(surface.image() == page) << "the page was not restored exactly";
}

TEST_P(IndicatorPixels, BothIndicatorsComeAndGoInAnyOrder)
{
    tap(180, 395);
    tap(180, 5);
    // A full repaint draws both again from their flags.
    const QImage both = surface.image().copy();
    repaintRect(r, 0, 0, kPagedPanelWidth, kPagedPanelHeight);
    EXPECT_TRUE(surface.image() == both);
    tap(180, 395);
    tap(180, 5);
    EXPECT_TRUE(surface.image() == page);
}

TEST_P(IndicatorPixels, CountFillsInOnceTheSectionIsLaidOut)
{
    tap(180, 395);
    const QImage whole = surface.image().copy();
    // Shown before the pages after it are laid out: no count, no page mark.
    beginSectionLayout(r, 3);
    r.state.book.pages.show(3);
    repaintRect(r, 0, 0, kPagedPanelWidth, kPagedPanelHeight);
    ASSERT_FALSE(r.state.book.pages.isComplete());
    EXPECT_FALSE(surface.image() == whole);
    while (workAhead(r)) {
    }
    EXPECT_TRUE(surface.image() == whole) << "the page differs from one laid out whole";
}

TEST_P(IndicatorPixels, PageTurnDropsTheIndicators)
{
    tap(180, 395);
    tap(180, 5);
    tap(10, 395); // next page
    EXPECT_EQ(r.state.book.pages.currentPage(), 4);
    EXPECT_EQ(r.state.menu.showPageNumber, 0);
    EXPECT_EQ(r.state.menu.showSectionNumber, 0);
    EXPECT_LT(boxOnRow(kPagedPanelHeight - 8).left, 0);
    EXPECT_LT(boxOnRow(8).left, 0);
}

INSTANTIATE_TEST_SUITE_P(Schemes, IndicatorPixels, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int> &info) {
                             return info.param == 1 ? std::string("BlackText") : std::string("WhiteText");
                         });

} // namespace
