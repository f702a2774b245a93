#include "state/colour.h"

namespace pagora {

const std::array<std::array<std::uint16_t, 3>, 18> kPalette = {{
    // Scheme 1 (black text); choice 2 stands for the system button face.
    {255, 255, 255},
    {212, 208, 200},
    {128, 128, 64},
    {0, 128, 128},
    {0, 128, 192},
    {192, 192, 255},
    {255, 192, 255},
    {192, 255, 255},
    {255, 255, 192},
    // Scheme 2 (white text).
    {58, 58, 58},
    {84, 54, 128},
    {96, 84, 0},
    {0, 64, 64},
    {0, 64, 128},
    {58, 110, 165},
    {127, 127, 191},
    {0, 96, 0},
    {0, 0, 96},
}};

Colour computeReadingColour(int textScheme, int backgroundChoice)
{
    const int scheme = textScheme == 2 ? 2 : 1;
    const int choice = backgroundChoice >= 1 && backgroundChoice <= 9 ? backgroundChoice : 2;
    if (scheme == 1 && choice == 2)
        return kButtonFaceColour;
    const auto &entry = kPalette[std::size_t((scheme - 1) * 9 + choice - 1)];
    return rgb(entry[0], entry[1], entry[2]);
}

} // namespace pagora
