#pragma once
#include "platform/surface.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pagora {

class Appearance;
struct ReaderState;

// The interface font's em: the cell of every screen's text but the page.
constexpr int kInterfaceCell = 16;

// What painters draw on: the surface and the fonts made on it.
struct Canvas {
    Surface &surface;
    const PainterFonts &fonts;
};

// The interface font in a colour: the text of every screen but the page.
TextPaint interfaceText(const PainterFonts &fonts, Colour colour = rgb(0, 0, 0));
// The reading font in the page's text colour.
TextPaint readingText(const PainterFonts &fonts, const Appearance &look);

// The reading cell (the reading font's em) the appearance asks for.
int readingCell(const Appearance &look);
void createInterfaceFont(Surface &surface, PainterFonts &fonts);
// The reading font upright and turned, replacing the ones before.
void createReadingFont(Surface &surface, PainterFonts &fonts, const Appearance &look);
void deleteFonts(Surface &surface, PainterFonts &fonts);
// Face name for a font request: cut to 31 bytes at a character boundary.
std::string fontRequestFace(std::string_view face);

// A vertical bar, drawn turned: it reads as an ellipsis in vertical text.
inline bool isTurnedGlyph(char16_t u)
{
    return u == 0x2502 || u == 0xFFE4;
}

// rowHeight places a turned glyph within its row; 0 means the reading cell.
// A turned glyph is drawn in the turned reading font whatever paint.font is.
void drawGlyph(const Canvas &c, const TextPaint &paint, char16_t u, int x, int y, int rowHeight = 0);
// drawGlyph for a full cell of a vertical column: with verticalForms on, a
// character that has a vertical form is drawn in it. Never moves the cell.
void drawColumnGlyph(const Canvas &c, const TextPaint &paint, bool verticalForms, char16_t u, int x, int y,
                     int rowHeight = 0);
// Fills with the screen colour: the boxes behind labels and indicators.
void fillScreenRect(Surface &surface, const Appearance &look, int left, int top, int right, int bottom);
// Centred in a panel width pixels wide.
void drawTextCentred(Surface &surface, const TextPaint &paint, std::u16string_view text, int width, int y);

void setPanelColour(Appearance &look);

} // namespace pagora
