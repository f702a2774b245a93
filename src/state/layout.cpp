#include "state/layout.h"

#include <algorithm>
#include <cstddef>

namespace pagora {

namespace {

// One fixed window size: the page area and the columns of the menu and shelf
// screens that depend on it.
struct FixedMode {
    std::int16_t baseWidth, baseHeight;
    std::int16_t titleLineChars;
    std::int16_t pathTextLeft; // before adding the cell width
    std::int16_t fontNameRight;
    std::int16_t leftMargin;
    std::int16_t digitRowLeft;
    std::int16_t slotStartAddition, slotStepAddition;
};

constexpr std::array<FixedMode, 8> kFixedModes = {{
    {296, 392, 36, 6, 126, 4, 130, 6, 0},
    {536, 392, 36, 6, 246, 4, 250, 6, 0},
    {344, 512, 40, 12, 148, 4, 160, 10, 0},
    {664, 512, 40, 12, 308, 4, 320, 10, 0},
    {456, 608, 54, 40, 202, 6, 227, 12, 5},
    {936, 608, 54, 40, 442, 6, 467, 12, 5},
    {504, 672, 60, 50, 224, 8, 254, 14, 7},
    {984, 672, 60, 50, 464, 8, 494, 14, 7},
}};

// Modes beyond the table cannot occur with 10 modes; clamp for safety.
const FixedMode &fixedMode(int mode)
{
    return kFixedModes[std::size_t(std::clamp(mode, 1, int(kFixedModes.size())) - 1)];
}

} // namespace

PageArea fixedModePageArea(int mode)
{
    const FixedMode &m = fixedMode(mode);
    return {m.baseWidth, m.baseHeight};
}

Layout computeLayout(int mode, bool fillsScreen, Cell cell, int width, int height)
{
    const int w = width;
    const int h = height;
    const int gw = cell.width;
    const int gh = cell.height;
    Layout l;
    l.leftThird = std::int16_t(w / 3 + 1);
    l.rightThird = std::int16_t(w - l.leftThird);
    l.sixthWidth = std::int16_t(l.leftThird / 2);
    l.rightSixth = std::int16_t(l.rightThird + l.sixthWidth);
    l.sixthInset = std::int16_t((l.sixthWidth - gw) / 2 + 1);
    l.columnWidth = std::int16_t(w / 16);
    l.columnInset = std::int16_t((l.columnWidth - gw) / 2);
    l.barHeight = std::int16_t(gh + (mode == 1 ? 14 : 18));
    l.menuBandTop = std::int16_t(h / 3);
    l.menuBandBottom = std::int16_t(h - h / 3 - l.barHeight);
    l.halfHeight = std::int16_t(h / 2);
    l.halfWidth = std::int16_t(w / 2);
    l.topBarHeight = 26;
    l.bottomBarTop = std::int16_t(h - l.barHeight);
    l.buttonRowTop = std::int16_t(l.bottomBarTop - l.barHeight);
    l.thirdRowTop = std::int16_t(l.buttonRowTop - l.barHeight);
    l.listTop = std::int16_t(l.topBarHeight + l.barHeight);
    if (mode <= 2) {
        l.band2Top = std::int16_t(l.listTop + (l.buttonRowTop - l.listTop) / 2);
        l.band3Top = l.buttonRowTop;
    } else {
        const int t = (l.buttonRowTop - l.listTop) / 3;
        l.band2Top = std::int16_t(l.listTop + t);
        l.band3Top = std::int16_t(l.listTop + 2 * t);
    }
    l.pageBandLabelTop = std::int16_t(l.menuBandBottom + (l.thirdRowTop - l.menuBandBottom - gh) / 2);
    l.barTextInset = std::int16_t((l.barHeight - gh) / 2);
    l.menuTitleTop = std::int16_t(l.topBarHeight + (l.menuBandTop - l.topBarHeight - gh) / 2);
    const int buttonColumns = mode == 1 ? 9 : mode == 2 ? 10 : 11;
    l.panelButtonsLeft = std::int16_t(buttonColumns * l.columnWidth);

    int slotStart = 2 * gw;
    int slotStep = gw;
    if (!fillsScreen) {
        const FixedMode &m = fixedMode(mode);
        l.titleLineChars = m.titleLineChars;
        l.pathTextLeft = m.pathTextLeft;
        l.fontNameRight = m.fontNameRight;
        l.leftMargin = m.leftMargin;
        l.digitRowLeft = m.digitRowLeft;
        slotStart += m.slotStartAddition;
        slotStep += m.slotStepAddition;
    } else {
        l.titleLineChars = 60;
        l.pathTextLeft = 50;
        l.fontNameRight = std::int16_t(l.halfWidth - 28);
        l.leftMargin = 8;
        l.digitRowLeft = std::int16_t(l.fontNameRight + 30);
        slotStart += 14;
        slotStep += 7;
    }
    l.pathTextLeft = std::int16_t(l.pathTextLeft + gw);
    l.slotX[0] = std::int16_t(slotStart);
    for (std::size_t i = 1; i < l.slotX.size(); ++i)
        l.slotX[i] = std::int16_t(l.slotX[i - 1] + slotStep);
    l.mainSlotX = std::int16_t(l.digitRowLeft + slotStart - slotStep - 2);
    return l;
}

} // namespace pagora
