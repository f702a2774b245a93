#pragma once
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
