#pragma once
#include <array>
#include <cstdint>

namespace pagora {

// Positions of the panel's bars, bands and rows; computeLayout makes them.
struct Layout {
    std::int16_t topBarHeight = 26;
    std::int16_t barHeight = 0, barTextInset = 0;
    std::int16_t columnWidth = 0, columnInset = 0;
    std::int16_t listTop = 0, band2Top = 0, band3Top = 0;
    std::int16_t buttonRowTop = 0, bottomBarTop = 0, thirdRowTop = 0;
    std::int16_t leftThird = 0, rightThird = 0;
    std::int16_t halfWidth = 0, halfHeight = 0;
    std::int16_t sixthWidth = 0, rightSixth = 0, sixthInset = 0;
    std::int16_t menuBandTop = 0, menuBandBottom = 0;
    std::int16_t menuTitleTop = 0, pageBandLabelTop = 0;
    std::int16_t panelButtonsLeft = 0;
    std::int16_t leftMargin = 0, pathTextLeft = 0, digitRowLeft = 0, fontNameRight = 0;
    std::array<std::int16_t, 9> slotX{};
    std::int16_t mainSlotX = 0;
    std::int16_t titleLineChars = 36;
};

// The cell of one character of the interface font.
struct Cell {
    int width = 0, height = 0;
};

// The page area (without margins) of a window mode of a fixed size, 1 to 8.
struct PageArea {
    int width = 0, height = 0;
};
PageArea fixedModePageArea(int mode);

// The panel of window mode `mode`, width x height pixels, with the interface
// font's cell. fillsScreen: one of the two modes that take the screen (or what
// the window manager gives) instead of a fixed size.
Layout computeLayout(int mode, bool fillsScreen, Cell cell, int width, int height);

} // namespace pagora
