#pragma once
#include <array>
#include <cstdint>

namespace pagora {

// 24-bit RGB with red in the low byte, or the system button-face colour.
using Colour = std::uint32_t;

constexpr Colour rgb(unsigned r, unsigned g, unsigned b)
{
    return Colour(r & 0xFF) | (Colour(g & 0xFF) << 8) | (Colour(b & 0xFF) << 16);
}

// Resolved by the surface when drawing: the platform palette's button colour.
constexpr Colour kButtonFaceColour = 0x8000000F;

// Reading-screen palette: scheme 1 choices 1..9, then scheme 2 choices 1..9.
extern const std::array<std::array<std::uint16_t, 3>, 18> kPalette;

// The page colour of a text scheme (1 black text, 2 white) and background
// choice (1..9); damaged settings fall back to the defaults, never outside
// the palette.
Colour computeReadingColour(int textScheme, int backgroundChoice);

constexpr unsigned redOf(Colour c)
{
    return c & 0xFF;
}
constexpr unsigned greenOf(Colour c)
{
    return (c >> 8) & 0xFF;
}
constexpr unsigned blueOf(Colour c)
{
    return (c >> 16) & 0xFF;
}

} // namespace pagora
