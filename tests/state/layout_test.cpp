#include "state/layout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace pagora {
namespace {

// Each window mode's panel with the interface font's 16 x 16 cell: the bars
// stack without gaps, the bands lie between them, every label is centred in
// its band and the digit slots fit the panel.
TEST(ComputeLayout, BarsBandsAndSlotsFitTogether)
{
    struct Row {
        int mode;
        bool fillsScreen;
        Cell cell;
        int width, height;
    };
    std::vector<Row> rows;
    for (int mode = 1; mode <= 8; ++mode) {
        const PageArea area = fixedModePageArea(mode);
        rows.push_back({mode, false, {16, 16}, area.width + 40, area.height + 32});
    }
    rows.insert(rows.end(), {{9, true, {16, 16}, 1280, 1024},
                             {10, true, {16, 16}, 1280, 994},
                             {5, true, {16, 16}, 800, 600},
                             {3, true, {16, 16}, 640, 480}});
    // Something `size` long, `before` pixels into a space, is centred when
    // what is left over splits evenly, up to a pixel.
    auto centred = [](int before, int size, int space) { return std::abs(space - size - 2 * before) <= 1; };
    for (const Row &r : rows) {
        const Layout l = computeLayout(r.mode, r.fillsScreen, r.cell, r.width, r.height);
        SCOPED_TRACE(testing::Message() << "mode " << r.mode << (r.fillsScreen ? " filling " : " fixed ") << r.width
                                        << " x " << r.height);
        EXPECT_EQ(l.leftThird + l.rightThird, r.width);
        EXPECT_LT(l.leftThird, l.rightThird);
        EXPECT_EQ(l.bottomBarTop + l.barHeight, r.height);
        EXPECT_EQ(l.buttonRowTop + l.barHeight, l.bottomBarTop);
        EXPECT_EQ(l.thirdRowTop + l.barHeight, l.buttonRowTop);
        EXPECT_EQ(l.listTop, l.topBarHeight + l.barHeight);
        EXPECT_LT(l.listTop, l.band2Top);
        EXPECT_LT(l.band2Top, l.band3Top);
        EXPECT_LE(l.band3Top, l.buttonRowTop);
        EXPECT_LT(l.topBarHeight, l.menuBandTop);
        EXPECT_LT(l.menuBandTop, l.menuBandBottom);
        EXPECT_LE(l.menuBandBottom, l.thirdRowTop);
        EXPECT_TRUE(centred(l.barTextInset, r.cell.height, l.barHeight));
        EXPECT_TRUE(centred(l.menuTitleTop - l.topBarHeight, r.cell.height, l.menuBandTop - l.topBarHeight));
        EXPECT_TRUE(centred(l.pageBandLabelTop - l.menuBandBottom, r.cell.height, l.thirdRowTop - l.menuBandBottom));
        EXPECT_TRUE(centred(l.columnInset, r.cell.width, l.columnWidth));
        EXPECT_LT(l.panelButtonsLeft + l.columnWidth, r.width);
        for (std::size_t i = 1; i < l.slotX.size(); ++i)
            EXPECT_EQ(l.slotX[i] - l.slotX[i - 1], l.slotX[1] - l.slotX[0]) << "slot " << i;
        EXPECT_GE(l.slotX[1] - l.slotX[0], r.cell.width);
        EXPECT_LT(l.mainSlotX + r.cell.width, l.digitRowLeft + l.slotX[0]);
        EXPECT_LE(l.digitRowLeft + l.slotX[8] + r.cell.width, r.width);
        EXPECT_LT(l.pathTextLeft, l.fontNameRight);
        EXPECT_LT(l.fontNameRight, l.digitRowLeft);
    }
}

} // namespace
} // namespace pagora
