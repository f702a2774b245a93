#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pagora {

struct Reader;
struct ReaderState;

// Reading-screen palette: scheme 1 choices 1..9, then scheme 2 choices 1..9.
extern const std::array<std::array<std::uint16_t, 3>, 18> kPalette;

void createInterfaceFont(Reader &r);
void computeReadingCell(ReaderState &s);
void createReadingFont(Reader &r);
void selectInterfaceFont(Reader &r);
void selectInterfaceFontTransparent(Reader &r);
void selectReadingFont(Reader &r);
void turnReadingFont(Reader &r);
void uprightReadingFont(Reader &r);
// Face name for a font request: cut to 31 bytes at a character boundary.
std::string fontRequestFace(std::string_view face);

// A vertical bar, drawn turned: it reads as an ellipsis in vertical text.
inline bool isTurnedGlyph(char16_t u)
{
    return u == 0x2502 || u == 0xFFE4;
}

// rowHeight places a turned glyph within its row; 0 means the reading cell.
void drawGlyph(Reader &r, char16_t u, int x, int y, int rowHeight = 0);
// drawGlyph for a full cell of a vertical column: with verticalForms on, a
// character that has a vertical form is drawn in it. Never moves the cell.
void drawColumnGlyph(Reader &r, char16_t u, int x, int y, int rowHeight = 0);
void drawText(Reader &r, std::u16string_view text, int x, int y);
void drawTextCentred(Reader &r, std::u16string_view text, int y);
void drawLine(Reader &r, int x1, int y1, int x2, int y2);
void drawRoundRect(Reader &r, int left, int top, int right, int bottom);
void fillScreenRect(Reader &r, int left, int top, int right, int bottom);
void invertRect(Reader &r, int x, int y, int width, int height);
void repaintPathBar(Reader &r);

void computeReadingColour(ReaderState &s);
void setPanelColour(ReaderState &s);

} // namespace pagora
