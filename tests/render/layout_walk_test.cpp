#include "test_platform.h"

#include "render/layout_walk.h"
#include "render/page_painter.h"
#include "render/primitives.h"
#include "state/layout.h"
#include "text/codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <tuple>

using namespace pagora;

namespace {

// 360 x 400 with the default cell: 23 rows, 13 columns from x = 323 to 35.
constexpr int kX0 = 323;
constexpr int kPitch = 24;
constexpr int kTop = 16;

void setPanel(ReaderState &s, int width, int height)
{
    s.window.clientWidth = std::int16_t(width);
    s.window.clientHeight = std::int16_t(height);
    s.window.verticalMargin = 16;
    s.window.horizontalMargin = 20;
    s.look.setSizeStep(1);
    s.look.baseFontSize = 14;
}

void setText(ReaderState &s, std::u16string text)
{
    s.book.setSectionText(std::move(text));
}

struct Walk {
    std::vector<PlacedCell> cells;
    std::int32_t next = 0;
};

Walk walk(const std::u16string &text, const TextArea &area, std::int32_t start = 0)
{
    Walk w;
    w.next = layoutPage(text.data(), std::int32_t(text.size()), start, area, [&](const PlacedCell &c) {
        w.cells.push_back(c);
        return true;
    });
    return w;
}

TextArea defaultArea()
{
    ReaderState s;
    setPanel(s, 360, 400);
    return computeTextArea(s);
}

std::u16string repeat(char16_t u, int n)
{
    return std::u16string(std::size_t(n), u);
}

} // namespace

TEST(LayoutWalk, WorkedExampleGrid)
{
    const TextArea a = defaultArea();
    EXPECT_EQ(a.cell, 16);
    EXPECT_EQ(a.rows, 23);
    EXPECT_EQ(a.textTop, 16);
    EXPECT_EQ(a.textBottom, 384);
    EXPECT_EQ(a.rightLimit, 340);

    const Walk w = walk(repeat(u'字', 13 * 23 + 5), a);
    ASSERT_EQ(w.cells.size(), 13u * 23u);
    EXPECT_EQ(w.next, 13 * 23);
    for (std::size_t k = 0; k < w.cells.size(); ++k) {
        const int column = int(k) / 23, row = int(k) % 23;
        EXPECT_EQ(w.cells[k].x, kX0 - column * kPitch) << k;
        EXPECT_EQ(w.cells[k].y, kTop + row * 16) << k;
    }
    EXPECT_EQ(w.cells.back().x, 35);
}

TEST(LayoutWalk, ColumnExactlyOnTheMarginIsKept)
{
    for (const auto &[width, columns, lastX] : {std::tuple{345, 13, 20}, std::tuple{344, 12, 43}}) {
        ReaderState s;
        setPanel(s, width, 400);
        const Walk w = walk(repeat(u'字', 400), computeTextArea(s));
        EXPECT_EQ(int(w.cells.size()), columns * 23) << width;
        EXPECT_EQ(w.cells.back().x, lastX) << width;
    }
}

TEST(LayoutWalk, OddLeftoverHeightGoesBelow)
{
    ReaderState s;
    setPanel(s, 360, 401); // 369 px usable: 23 rows, one spare pixel
    const TextArea a = computeTextArea(s);
    EXPECT_EQ(a.textTop, 16);
    EXPECT_EQ(a.textBottom, 385);
}

TEST(LayoutWalk, TwoDigitRunRule)
{
    struct Row {
        std::u16string text;
        std::int32_t i;
        bool expected;
    };
    const Row rows[] = {
        {u"12", 0, true},
        {u"第12章", 1, true},
        {u"第123章", 1, false},
        {u"第123章", 2, false},
        {u"第1章", 1, false},
        {u"1", 0, false},
        {u"a12", 1, true},
        {u"12a", 0, true},
        {u"1234", 0, false},
        {u"1234", 2, false},
        {u"x9", 1, false},
        // Full-width digits are not ASCII digits and do not join a run.
        {u"１2３", 1, false},
        {u"1２", 0, false},
    };
    for (const Row &r : rows)
        EXPECT_EQ(isTwoDigitRun(r.text.data(), std::int32_t(r.text.size()), r.i), r.expected)
            << std::string(r.text.begin(), r.text.end()) << " at " << r.i;
}

TEST(LayoutWalk, CellKinds)
{
    const TextArea a = defaultArea();
    {
        const Walk w = walk(u"第12章", a);
        ASSERT_EQ(w.cells.size(), 3u);
        EXPECT_EQ(w.cells[1].kind, CellKind::TwoDigits);
        EXPECT_EQ(w.cells[1].units, 2);
        EXPECT_EQ(w.cells[1].glyph, u'1');
        EXPECT_EQ(w.cells[2].y, kTop + 32);
    }
    {
        const Walk w = walk(u"第123章", a);
        ASSERT_EQ(w.cells.size(), 5u);
        for (int k = 1; k <= 3; ++k)
            EXPECT_EQ(w.cells[std::size_t(k)].kind, CellKind::Half) << k;
    }
    {
        const Walk w = walk(u"Az(-!. é", a);
        ASSERT_EQ(w.cells.size(), 8u);
        EXPECT_EQ(w.cells[0].glyph, u'Ａ');
        EXPECT_EQ(w.cells[1].glyph, u'ｚ');
        EXPECT_EQ(w.cells[2].glyph, u'︵');
        EXPECT_EQ(w.cells[3].glyph, u'｜');
        EXPECT_EQ(w.cells[4].glyph, u'！');
        EXPECT_EQ(w.cells[4].kind, CellKind::Mapped);
        for (std::size_t k = 5; k < 8; ++k)
            EXPECT_EQ(w.cells[k].kind, CellKind::Half) << k;
    }
    {
        // A character outside the BMP takes one cell per code unit.
        const Walk w = walk(u"\U00020000", a);
        ASSERT_EQ(w.cells.size(), 2u);
        EXPECT_EQ(w.cells[0].glyph, 0xD840);
        EXPECT_EQ(w.cells[1].y, kTop + 16);
    }
}

TEST(LayoutWalk, FullWidthMapTable)
{
    EXPECT_EQ(fullWidthMap[0], 0xFF21);
    EXPECT_EQ(fullWidthMap[25], 0xFF3A);
    EXPECT_EQ(fullWidthMap[26], 0xFF41);
    EXPECT_EQ(fullWidthMap[51], 0xFF5A);
    const char16_t tail[] = {0xFE35, 0xFE36, 0xFF5C, 0xFF0C, 0xFF1A, 0xFF1B, 0xFF1F, 0xFF01};
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(fullWidthMap[std::size_t(52 + k)], tail[k]);
}

// Where the last cell of a text lands, for the line-end rules.
TEST(LayoutWalk, LineEnds)
{
    const TextArea a = defaultArea();
    struct Row {
        const char *name;
        std::u16string text;
        std::int32_t start;
        int x, y; // of the last cell
        std::size_t cells;
    };
    const std::u16string fullColumn = repeat(u'一', 23);
    const Row rows[] = {
        {"CR LF ends the column", u"一\r\n二", 0, kX0 - kPitch, kTop, 2},
        {"LF alone takes no cell", u"一\n二", 0, kX0, kTop + 16, 2},
        {"text without CR runs on", u"一\n二\n三", 0, kX0, kTop + 32, 3},
        {"blank line moves 8 px", u"一\r\n\r\n二", 0, kX0 - kPitch - 8, kTop, 2},
        {"two blank lines", u"一\r\n\r\n\r\n二", 0, kX0 - kPitch - 16, kTop, 2},
        {"CR first in the text is ignored", u"\r一", 0, kX0, kTop, 1},
        {"CR at the top of a fresh column", fullColumn + u"\r\n二", 0, kX0 - kPitch, kTop, 24},
        {"page starting at CR after LF", u"一\r\n\r\n二", 3, kX0 - 8, kTop, 1},
        {"page starting at CR after a glyph", u"一\r\n二", 1, kX0, kTop, 1},
        {"a negative start reads from the beginning", u"一二", -5, kX0, kTop + 16, 2},
    };
    for (const Row &r : rows) {
        const Walk w = walk(r.text, a, r.start);
        ASSERT_EQ(w.cells.size(), r.cells) << r.name;
        EXPECT_EQ(w.cells.back().x, r.x) << r.name;
        EXPECT_EQ(w.cells.back().y, r.y) << r.name;
        EXPECT_EQ(w.next, std::int32_t(r.text.size())) << r.name;
    }
}

TEST(LayoutWalk, RowsZeroTakesOneUnitPerColumn)
{
    ReaderState s;
    setPanel(s, 360, 40); // (40 - 32) / 16 = 0 rows
    const TextArea a = computeTextArea(s);
    EXPECT_EQ(a.rows, 0);
    const Walk w = walk(u"一二三", a);
    ASSERT_EQ(w.cells.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(w.cells[k].y, a.textTop);
        EXPECT_EQ(w.cells[k].x, kX0 - int(k) * kPitch);
    }
}

TEST(Pagination, PageBoundaries)
{
    struct Row {
        const char *name;
        std::u16string text;
        std::vector<std::int32_t> starts; // pageStarts[1 .. pageCount + 1]
    };
    const int page = 13 * 23;
    const std::u16string twelveColumns = repeat(u'一', 12 * 23);
    const Row rows[] = {
        {"empty text gives one empty page", u"", {0, 0}},
        {"one page", u"一二三", {0, 3}},
        {"exactly one page", repeat(u'一', page), {0, page}},
        {"one unit more", repeat(u'一', page + 1), {0, page, page + 1}},
        // The CR in the last column moves past the page; the LF begins an
        // empty last page.
        {"page beginning at LF", twelveColumns + u"一\r\n", {0, 12 * 23 + 2, 12 * 23 + 3}},
        {"full page then CR LF", repeat(u'一', page) + u"\r\n", {0, page, page + 2}},
    };
    for (const Row &r : rows) {
        TestParts t;
        setPanel(t.s, 360, 400);
        setText(t.s, r.text);
        repaginate(t.s.book, computeTextArea(t.s));
        const ReaderState &s = t.s;
        ASSERT_EQ(s.book.pages.pageCount(), std::int16_t(r.starts.size() - 1)) << r.name;
        EXPECT_EQ(s.book.pages.currentPage(), s.book.pages.pageCount()) << r.name;
        for (std::size_t p = 0; p < r.starts.size(); ++p)
            EXPECT_EQ(s.book.pages.start(p + 1), r.starts[p]) << r.name << " entry " << p + 1;
        EXPECT_EQ(readingCell(s.look), 16);
    }
}

TEST(Pagination, TrustsOnlyTheTextHeld)
{
    TestParts t;
    ReaderState &s = t.s;
    setPanel(s, 360, 400);
    setText(s, u"一二三");
    s.book.markTextUnloaded(); // a failed load keeps the old text
    repaginate(t.s.book, computeTextArea(t.s));
    EXPECT_EQ(s.book.pages.pageCount(), 1);
    EXPECT_EQ(s.book.pages.start(2), 0);
    setText(s, u"一二三");
    repaginate(t.s.book, computeTextArea(t.s));
    EXPECT_EQ(s.book.pages.start(2), 3);
}

TEST(Pagination, TableGrowsByHundredAndKeepsStarts)
{
    TestParts t;
    ReaderState &s = t.s;
    // One column of one cell per page: every unit is a page.
    setPanel(s, 60, 40);
    struct Row {
        int units;
        std::size_t capacity;
    };
    for (const Row &r : {Row{253, 256}, Row{254, 356}, Row{353, 356}, Row{354, 456}}) {
        setText(s, repeat(u'一', r.units));
        repaginate(t.s.book, computeTextArea(t.s));
        EXPECT_EQ(s.book.pages.pageCount(), r.units) << r.units;
        EXPECT_EQ(s.book.pages.capacity(), r.capacity) << r.units;
        for (int p = 1; p <= r.units + 1; ++p)
            ASSERT_EQ(s.book.pages.start(std::size_t(p)), p - 1) << r.units;
    }
}

TEST(Pagination, StopsAtTheLastPageNumber)
{
    TestParts t;
    ReaderState &s = t.s;
    setPanel(s, 60, 40);
    setText(s, repeat(u'一', 40000));
    repaginate(t.s.book, computeTextArea(t.s));
    EXPECT_EQ(s.book.pages.pageCount(), kMaxPages);
    EXPECT_EQ(s.book.pages.start(std::size_t(kMaxPages)), kMaxPages - 1);
    // The last page ends where its walk ends, so drawing agrees with the table.
    EXPECT_EQ(s.book.pages.start(std::size_t(kMaxPages) + 1), kMaxPages);
}

// Laid out only as far as the page first shown, then the rest in idle
// slices or at once, a section gets exactly the starts of a whole pagination.
TEST(Pagination, InPartsAgreesWithTheWhole)
{
    std::u16string prose;
    for (std::size_t k = 0; prose.size() < 700000; ++k)
        prose += u"子曰：「學而時習之，不亦說乎？」" + repeat(u'文', int(k % 37)) + u"（1912）ab, c\r\n" +
                 (k % 5 ? u"" : u"\r\n");
    const std::u16string oneCellPages = repeat(u'一', 40000), shortText = prose.substr(0, 900), empty;
    struct Row {
        const char *name;
        const std::u16string *text;
        int width, height;
        bool breaks;
        int throughPage;       // the page shown first
        std::int32_t atOffset; // or the page holding this offset; -1: none
        bool inSlices;         // the rest while idle, else at once
    } rows[] = {
        {"first page", &prose, 360, 400, false, 1, -1, true},
        {"later page by the rules", &prose, 360, 400, true, 7, -1, false},
        {"page holding an offset", &prose, 1024, 704, true, 1, 300001, true},
        {"past a short text's end", &shortText, 360, 400, false, 999, -1, true},
        {"empty text", &empty, 360, 400, false, 1, -1, true},
        {"page numbers run out", &oneCellPages, 60, 40, false, 32000, -1, true},
    };
    for (const Row &r : rows) {
        ReaderState s;
        setPanel(s, r.width, r.height);
        s.look.chineseBreaks = r.breaks;
        setText(s, *r.text);
        const TextArea area = computeTextArea(s);
        const PageTable whole = paginate(*r.text, area);
        const PageTable &part = s.book.pages;
        const auto sameStarts = [&](const char *when) {
            for (int p = 1; p <= part.pageCount() + 1; ++p)
                ASSERT_EQ(part.start(p), whole.start(p)) << r.name << ", " << when << ", page " << p;
        };
        beginLayout(s.book, area, r.throughPage);
        if (r.atOffset >= 0) {
            layOutThroughOffset(s.book, r.atOffset);
            EXPECT_EQ(part.pageHolding(r.atOffset), whole.pageHolding(r.atOffset)) << r.name;
        }
        const int asked = r.atOffset >= 0 ? whole.pageHolding(r.atOffset) : r.throughPage;
        EXPECT_EQ(part.pageCount(), std::min<int>(asked, whole.pageCount())) << r.name << ": no page more";
        EXPECT_EQ(part.isComplete(), part.pageCount() == whole.pageCount()) << r.name;
        sameStarts("first paint");
        int slices = 0;
        while (r.inSlices && layOutSlice(s.book))
            ASSERT_LT(++slices, 100) << r.name;
        finishLayout(s.book);
        EXPECT_TRUE(part.isComplete()) << r.name;
        EXPECT_EQ(part.pageCount(), whole.pageCount()) << r.name;
        sameStarts("finished");
    }
}

TEST(Relayout, KeepsThePageHoldingTheOldFirstCharacter)
{
    TestParts t;
    ReaderState &s = t.s;
    setPanel(s, 360, 400);
    setText(s, repeat(u'一', 4000));
    repaginate(t.s.book, computeTextArea(t.s));
    ASSERT_EQ(s.book.pages.start(3), 598);

    struct Row {
        const char *name;
        std::int16_t sizeStep;
        std::int16_t page;     // shown before
        std::int16_t expected; // shown after
    };
    // With a cell of 18 px: 20 rows, 12 columns, 240 units a page.
    const Row rows[] = {
        {"old start inside page 3", 2, 3, 3}, // 598 in 480..719
        {"first page stays first", 2, 1, 1},
        {"same layout keeps the page", 1, 3, 3},           // 598 starts page 3 exactly
        {"old start opens a new page exactly", 7, 10, 24}, // cell 28: 117 a page; 2691 = 23 x 117
    };
    for (const Row &r : rows) {
        s.look.setSizeStep(1);
        repaginate(t.s.book, computeTextArea(t.s));
        s.book.pages.turnTo(r.page);
        s.look.setSizeStep(r.sizeStep);
        relayoutKeepingPosition(t.surface, t.fonts, t.s.book, t.s.look, computeTextArea(t.s));
        EXPECT_EQ(s.book.pages.currentPage(), r.expected) << r.name;
    }

    // The reading font was made for the new cell.
    EXPECT_NE(t.fonts.readingFont, kNoFont);
    EXPECT_EQ(t.fonts.readingCell, readingCell(s.look));
}

// Pagination from offset 0 and drawing page by page from the table agree:
// every drawn page ends where the next begins, and together the pages show
// every glyph of the text once, in order.
TEST(Equivalence, PaginationAgreesWithDrawing)
{
    std::mt19937 rng(20240611);
    const std::u16string alphabet = u"一二三四五六七八九十，。「」AbZ(-!?.;: 0123456789é\r\n\r\n\n│￤";
    auto expectedGlyphs = [](const std::u16string &text) {
        std::u16string out;
        const auto n = std::int32_t(text.size());
        for (std::int32_t i = 0; i < n; ++i) {
            const char16_t u = text[std::size_t(i)];
            if (u == u'\r' || u == u'\n')
                continue;
            if (u == 0x2502 || u == 0xFFE4) {
                out += u'…';
            } else if (u > 0xFF) {
                out += u;
            } else if (int k = mappedIndex(u); k >= 0) {
                out += fullWidthMap[std::size_t(k)];
            } else if (u >= u'0' && u <= u'9' && isTwoDigitRun(text.data(), n, i)) {
                out += u;
                out += text[std::size_t(++i)];
            } else {
                out += u;
            }
        }
        return out;
    };
    struct Panel {
        int w, h, step, base;
    };
    // The last two have no whole row: one unit a column.
    const Panel panels[] = {{360, 400, 1, 14}, {336, 424, 9, 72}, {200, 90, 3, 8},
                            {1024, 704, 1, 8}, {300, 40, 1, 14},  {300, 47, 1, 14}};
    for (int round = 0; round < 30; ++round) {
        std::u16string text;
        const int n = 50 + int(rng() % 4000);
        for (int k = 0; k < n; ++k)
            text += alphabet[rng() % alphabet.size()];
        if (round % 3 == 0)
            text += u"\U0002000B";
        const Panel &panel = panels[std::size_t(round) % std::size(panels)];

        TestParts t;
        ReaderState &s = t.s;
        setPanel(s, panel.w, panel.h);
        s.look.setSizeStep(std::int16_t(panel.step));
        s.look.baseFontSize = std::int16_t(panel.base);
        setText(s, text);
        s.book.sectionCount = 1;
        s.book.currentSection = 1;
        s.look.verticalForms = 0; // the characters themselves are compared below
        repaginate(t.s.book, computeTextArea(t.s));
        ASSERT_EQ(s.book.pages.start(std::size_t(s.book.pages.pageCount()) + 1), s.book.textLength());

        std::u16string drawn;
        for (int p = 1; p <= s.book.pages.pageCount(); ++p) {
            const TextArea area = computeTextArea(s);
            const std::int32_t end = layoutPageEnd(s.book.sectionText().data(), s.book.textLength(),
                                                   s.book.pages.start(std::size_t(p)), area);
            ASSERT_EQ(end, s.book.pages.start(std::size_t(p) + 1)) << "round " << round << " page " << p;
            t.surface.clear();
            s.book.pages.turnTo(p);
            drawPage(Canvas{t.surface, t.fonts}, s, s.book.pages.start(std::size_t(p)));
            for (const auto &c : t.surface.callsOf("text"))
                drawn += c.text;
        }
        ASSERT_EQ(drawn, expectedGlyphs(text)) << "round " << round;
    }
}

namespace {

// The sample books' sections as a book holds them (CR LF line ends).
std::vector<std::u16string> sampleSections()
{
    const char *source = std::getenv("PAGORA_SOURCE_DIR");
    std::vector<std::string> paths;
    if (source)
        for (const auto &entry : std::filesystem::directory_iterator(std::filesystem::path(source) / "samples"))
            paths.push_back(entry.path().string());
    std::sort(paths.begin(), paths.end());
    std::vector<std::u16string> sections;
    for (const std::string &path : paths) {
        std::u16string text;
        for (char16_t u : utf8ToUtf16(readFile(path)))
            text += u == u'\n' ? std::u16string(u"\r\n") : std::u16string(1, u);
        sections.push_back(std::move(text));
    }
    return sections;
}

} // namespace

TEST(ChineseBreaks, NoColumnOpensWithAClosingMarkNorEndsWithAnOpeningOne)
{
    const std::vector<std::u16string> samples = sampleSections();
    ASSERT_EQ(samples.size(), 12u) << "PAGORA_SOURCE_DIR must name the source folder (ctest sets it)";
    // Runs of marks meeting the column's foot at every offset, a dash and an
    // ellipsis that must not be split, and Latin text mapped to marks.
    std::u16string runs;
    for (int k = 0; k < 40; ++k)
        runs += u"子曰：「" + std::u16string(std::size_t(k % 29), u'學') + u"。」『（書）』——" +
                std::u16string(std::size_t(k % 7), u'文') + u"……(ab),c\r\n";
    // Nothing but marks: no column can obey, yet every page must progress.
    const std::u16string onlyMarks(3000, u'，');
    const std::u16string closing = u"，。、；：？！」』）》〉…︶﹂";
    const std::u16string opening = u"「『（《〈︵﹁";

    // The fixed window modes' panels, and two screens.
    std::vector<std::pair<int, int>> panels;
    for (int mode = 1; mode <= 8; ++mode)
        panels.emplace_back(fixedModePageArea(mode).width + 40, fixedModePageArea(mode).height + 32);
    panels.insert(panels.end(), {{1366, 768}, {1920, 1080}});

    std::uint64_t offDigest = 0xcbf29ce484222325u;
    std::vector<std::u16string> texts = samples;
    texts.insert(texts.end(), {runs, onlyMarks});
    for (const bool on : {false, true})
        for (std::size_t t = 0; t < texts.size(); ++t)
            for (const auto &[width, height] : panels)
                for (int step = 1; step <= 9; ++step) {
                    ReaderState s;
                    setPanel(s, width, height);
                    s.look.setSizeStep(step);
                    s.look.chineseBreaks = on;
                    const TextArea area = computeTextArea(s);
                    const std::u16string &text = texts[t];
                    const PageTable pages = paginate(text, area);
                    const std::string where = std::to_string(width) + "x" + std::to_string(height) + " step " +
                                              std::to_string(step) + " text " + std::to_string(t);
                    if (!on) {
                        for (int p = 1; p <= pages.pageCount() + 1 && t < samples.size(); ++p)
                            offDigest = (offDigest ^ std::uint64_t(pages.start(p))) * 0x100000001b3u;
                        continue;
                    }
                    // Every unit is laid out once, page after page, and the
                    // columns keep the rule wherever the text allows it.
                    std::int32_t next = 0;
                    for (int p = 1; p <= pages.pageCount(); ++p) {
                        ASSERT_EQ(pages.start(p), next) << where << " page " << p;
                        const Walk w = walk(text, area, next);
                        for (std::size_t k = 0; k < w.cells.size() && t + 1 < texts.size(); ++k) {
                            const bool top = k == 0 || w.cells[k - 1].x != w.cells[k].x;
                            const bool foot = k + 1 == w.cells.size() || w.cells[k + 1].x != w.cells[k].x;
                            const char16_t g = w.cells[k].glyph;
                            EXPECT_FALSE(top && closing.find(g) != std::u16string::npos)
                                << where << " column opens with a closing mark at " << w.cells[k].offset;
                            EXPECT_FALSE(foot && opening.find(g) != std::u16string::npos)
                                << where << " column ends with an opening mark at " << w.cells[k].offset;
                        }
                        ASSERT_GT(w.next, next) << where;
                        next = w.next;
                    }
                    EXPECT_EQ(next, std::int32_t(text.size())) << where;
                }
    // Taken from the layout before the rule existed: off, nothing moves.
    EXPECT_EQ(offDigest, 0xf902ab425d39f34fu);
}
