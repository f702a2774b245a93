#pragma once
#include "state/colour.h"
#include "state/font_handle.h"

#include <string>
#include <string_view>

namespace pagora {

// A font request as the painters make it: the character height in pixels (the
// em, without internal leading), the turn in tenths of a degree (0 or 900) and
// a face name in UTF-8. Weight is always normal.
struct FontRequest {
    int height = 16;
    int escapement = 0;
    std::string face;
};

// How a glyph sits in its square cell (the current font's em) in a vertical
// column: turned a quarter clockwise about the cell's centre, and/or moved so
// that its ink is centred in the cell.
struct GlyphPose {
    bool turned = false;
    bool inkCentred = false;
};

// The drawing surface of the reader panel. Coordinates are panel pixels,
// origin top left. Text is always drawn with a transparent background and is
// placed by the top-left corner of its first character cell.
class Surface {
public:
    virtual ~Surface() = default;

    virtual FontHandle createFont(const FontRequest &request) = 0;
    virtual void deleteFont(FontHandle font) = 0;
    virtual void selectFont(FontHandle font) = 0;

    virtual void setTextColour(Colour colour) = 0;
    // Colour used by fillRect and drawRoundRect.
    virtual void setFillColour(Colour colour) = 0;
    // Colour the platform clears a repainted region with.
    virtual void setBackgroundColour(Colour colour) = 0;

    virtual void drawText(int x, int y, std::u16string_view text) = 0;
    virtual int textWidth(std::u16string_view text) = 0;
    // One code unit in the cell whose top-left corner is (x, y).
    virtual void drawCellGlyph(int x, int y, char16_t u, GlyphPose pose) = 0;
    // Whether the current font's own face has a glyph for u; a glyph the
    // platform would borrow from another face does not count.
    virtual bool hasGlyph(char16_t u) = 0;
    // Black one-pixel line; the end point itself is not painted.
    virtual void drawLine(int x1, int y1, int x2, int y2) = 0;
    // Black outline, filled with the fill colour, 10 x 10 corner ellipse.
    virtual void drawRoundRect(int left, int top, int right, int bottom) = 0;
    // Right and bottom edges excluded.
    virtual void fillRect(int left, int top, int right, int bottom) = 0;
    virtual void invertRect(int x, int y, int width, int height) = 0;

    // Served at once: the rectangle is cleared with the background colour and
    // the current screen is painted again inside it (paintScreen(false)).
    virtual void repaintRect(int left, int top, int right, int bottom) = 0;
};

} // namespace pagora
