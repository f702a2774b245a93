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
