// From a point on the page to the characters a drag selects.
#include "render/text_selection.h"
#include "state/reader_state.h"

#include <gtest/gtest.h>

#include <string>

using namespace pagora;

namespace {

TextArea areaFor(int width, int height, int cell)
{
    ReaderState s;
    s.window.clientWidth = std::int16_t(width);
    s.window.clientHeight = std::int16_t(height);
    s.look.baseFontSize = std::int16_t(cell - 2);
    s.look.setSizeStep(1);
    return computeTextArea(s);
}

// A 200 x 100 panel holds six columns of four 16-pixel cells, from x = 163
// leftwards by 24; the blank line leaves an 8-pixel gap where a column of
// text would be 24 wide:
//   163: 一 二 三 四   139: 五 六   107: 第 12 章   83: Ａ Ｂ
const std::u16string kText = u"一二三四五六\r\n\r\n第12章\r\nAB";

struct Drag {
    const char *name;
    int x1, y1, x2, y2;
    std::int32_t start, length;
};

class DragTest : public testing::TestWithParam<Drag> {};

TEST_P(DragTest, SelectsWholeCellsInReadingOrder)
{
    const Drag &d = GetParam();
    const PageCells page = pageCells(kText.data(), std::int32_t(kText.size()), 0, areaFor(200, 100, 16));
    EXPECT_EQ(rangeBetween(page, d.x1, d.y1, d.x2, d.y2), (TextRange{d.start, d.length}));
    EXPECT_EQ(rangeBetween(page, d.x2, d.y2, d.x1, d.y1), (TextRange{d.start, d.length})) << "endpoints swapped";
}

INSTANTIATE_TEST_SUITE_P(Page, DragTest,
                         testing::Values(Drag{"DownOneColumn", 170, 40, 170, 70, 1, 3},
                                         Drag{"AcrossLineEndAndBlankLine", 145, 40, 110, 55, 5, 9},
                                         Drag{"TwoDigitRunIsOneCell", 110, 40, 110, 40, 11, 2},
                                         Drag{"InBlankLineGapSelectsNothing", 130, 40, 130, 20, 10, 0},
                                         Drag{"ToBlankLineGapStopsAtColumnEnd", 145, 20, 130, 40, 4, 2},
                                         Drag{"BelowShortColumnStopsAtItsLastCell", 170, 20, 145, 70, 0, 6},
                                         Drag{"LastColumn", 90, 40, 90, 40, 17, 1},
                                         Drag{"PastLastColumnStopsAtLastCell", 90, 20, 0, 0, 16, 2},
                                         Drag{"RightMarginStartsAtFirstCell", 195, 50, 170, 55, 0, 3},
                                         Drag{"LeftEdgeOfCellIsInside", 163, 18, 163, 18, 0, 1},
                                         Drag{"RightEdgeOfCellIsInside", 178, 33, 178, 33, 0, 1},
                                         Drag{"PixelLeftOfCellIsColumnGap", 162, 18, 162, 18, 4, 0},
                                         Drag{"PixelAboveFirstRowIsBeforeIt", 170, 17, 170, 17, 0, 0},
                                         Drag{"BottomEdgeMeetsNextCell", 170, 34, 170, 34, 1, 1}),
                         [](const testing::TestParamInfo<Drag> &info) { return std::string(info.param.name); });

struct Panel {
    int width, height, cell;
};

class PanelTest : public testing::TestWithParam<Panel> {};

// In every window mode's panel and at two cell sizes, each cell's four corner
// pixels select exactly that cell, and the pixels just outside its left and
// top edges select nothing.
TEST_P(PanelTest, CellEdgesMapToTheirCell)
{
    const Panel &p = GetParam();
    std::u16string text;
    for (int k = 0; text.size() < 20000; ++k)
        text += k % 7 == 6 ? u"第12回 ok\r\n\r\n" : u"天地玄黃，宇宙洪荒。日月盈昃\r\n";
    const PageCells page = pageCells(text.data(), std::int32_t(text.size()), 0, areaFor(p.width, p.height, p.cell));
    ASSERT_FALSE(page.cells.empty());
    const int c = p.cell;
    for (const PlacedCell &cell : page.cells) {
        const TextRange whole{cell.offset, cell.units};
        for (auto [dx, dy] : {std::pair{0, 0}, {c - 1, 0}, {0, c - 1}, {c - 1, c - 1}})
            ASSERT_EQ(rangeBetween(page, cell.x + dx, cell.y + dy, cell.x + dx, cell.y + dy), whole)
                << "corner " << dx << "," << dy << " of the cell at " << cell.x << "," << cell.y;
        ASSERT_EQ(cellAt(page, cell.x - 1, cell.y), -1);
        if (cell.y == page.cells.front().y) {
            ASSERT_EQ(cellAt(page, cell.x, cell.y - 1), -1);
        }
    }
    // A drag over the whole panel selects the whole page.
    const auto all = rangeBetween(page, p.width - 1, 0, 0, p.height - 1);
    EXPECT_EQ(all, (TextRange{0, page.cells.back().offset + page.cells.back().units}));
}

INSTANTIATE_TEST_SUITE_P(WindowModes, PanelTest,
                         testing::Values(Panel{336, 424, 16}, Panel{576, 424, 16}, Panel{384, 544, 16},
                                         Panel{704, 544, 16}, Panel{496, 640, 16}, Panel{976, 640, 16},
                                         Panel{544, 704, 16}, Panel{1024, 704, 16}, Panel{1280, 996, 16},
                                         Panel{1920, 1080, 16}, Panel{336, 424, 34}, Panel{704, 544, 34},
                                         Panel{1024, 704, 34}, Panel{1920, 1080, 34}));

TEST(WordAt, FollowsIcuWordsAndKeepsWholeCells)
{
    const std::u16string text = u"我們喜歡讀書。第12章";
    const PageCells page = pageCells(text.data(), std::int32_t(text.size()), 0, areaFor(200, 400, 16));
    const auto word = [&](std::int32_t offset) {
        for (std::size_t k = 0; k < page.cells.size(); ++k)
            if (page.cells[k].offset == offset)
                return wordAt(text.data(), page, int(k));
        return TextRange{-1, -1};
    };
    EXPECT_EQ(word(1), (TextRange{0, 2})); // 我們
    EXPECT_EQ(word(4), (TextRange{4, 2})); // 讀書
    EXPECT_EQ(word(6), (TextRange{6, 1})); // the full stop alone
    EXPECT_EQ(word(8), (TextRange{8, 2})); // the two-digit cell whole
}

} // namespace
