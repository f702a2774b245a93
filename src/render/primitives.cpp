#include "render/primitives.h"

void createInterfaceFont(Reader &)
{}

void computeReadingCell(ReaderState &)
{}

void createReadingFont(Reader &)
{}

void selectInterfaceFont(Reader &)
{}

void selectInterfaceFontTransparent(Reader &)
{}

void selectReadingFont(Reader &)
{}

void turnReadingFont(Reader &)
{}

void uprightReadingFont(Reader &)
{}

std::string fontRequestFace(std::string_view)
{ return {}; }

void drawGlyph(Reader &, char16_t, int, int)
{}

void drawText(Reader &, std::u16string_view, int, int)
{}

void drawTextCentred(Reader &, std::u16string_view, int)
{}

void drawLine(Reader &, int, int, int, int)
{}

void drawRoundRect(Reader &, int, int, int, int)
{}

void fillScreenRect(Reader &, int, int, int, int)
{}

void invertRect(Reader &, int, int, int, int)
{}

void repaintPathBar(Reader &)
{}

void computeReadingColour(ReaderState &)
{}

void setPanelColour(ReaderState &)
{}

const std::array<std::array<std::uint16_t, 3>, 18> kPalette = {{
    {255, 255, 255}, {212, 208, 200}, {128, 128, 64}, {0, 128, 128}, {0, 128, 192},
    {192, 192, 255}, {255, 192, 255}, {192, 255, 255}, {255, 255, 192},
    {58, 58, 58}, {84, 54, 128}, {96, 84, 0}, {0, 64, 64}, {0, 64, 128},
    {58, 110, 165}, {127, 127, 191}, {0, 96, 0}, {0, 0, 96},
}};
