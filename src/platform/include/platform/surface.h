#pragma once
#include "state/colour.h"
#include "state/font_handle.h"
#include "state/pixel_rect.h"

#include <functional>
#include <span>
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

// How a glyph sits in its square cell (the font's em) in a vertical column:
// turned a quarter clockwise about the cell's centre, and/or moved so that
// its ink is centred in the cell.
struct GlyphPose {
    bool turned = false;
    bool inkCentred = false;
};

// What text is drawn with. Given with every call: the surface remembers no
// font or colour from one call to the next.
struct TextPaint {
    FontHandle font = kNoFont;
    Colour colour = rgb(0, 0, 0);
};

// The drawing surface of the reader panel. Coordinates are panel pixels,
// origin top left. Text is always drawn with a transparent background and is
// placed by the top-left corner of its first character cell.
class Surface {
public:
    virtual ~Surface() = default;

    virtual FontHandle createFont(const FontRequest &request) = 0;
    virtual void deleteFont(FontHandle font) = 0;
    virtual int textWidth(FontHandle font, std::u16string_view text) = 0;
    // Whether the font's own face has a glyph for u; a glyph the platform
    // would borrow from another face does not count.
    virtual bool hasGlyph(FontHandle font, char16_t u) = 0;
    // The family the font was matched to (UTF-8), which may not be the one
    // asked for; empty when the platform cannot tell.
    virtual std::string familyOf(FontHandle font)
    {
        (void)font;
        return {};
    }

    virtual void drawText(int x, int y, std::u16string_view text, const TextPaint &paint) = 0;
    // One code unit in the cell whose top-left corner is (x, y).
    virtual void drawCellGlyph(int x, int y, char16_t u, GlyphPose pose, const TextPaint &paint) = 0;
    // Black one-pixel line; the end point itself is not painted.
    virtual void drawLine(int x1, int y1, int x2, int y2) = 0;
    // Black outline filled with fill, 10 x 10 corner ellipse.
    virtual void drawRoundRect(int left, int top, int right, int bottom, Colour fill) = 0;
    // Right and bottom edges excluded.
    virtual void fillRect(int left, int top, int right, int bottom, Colour colour) = 0;
    // Inverts every pixel of each rectangle; the rectangles do not overlap.
    virtual void invertRects(std::span<const PixelRect> rects) = 0;
    // Runs draw with every pixel outside the rectangle left as it is.
    virtual void drawClipped(int left, int top, int right, int bottom, const std::function<void()> &draw) = 0;
    // What drawing can reach now: a painter may skip what lies wholly outside.
    virtual PixelRect clipBounds() const { return {0, 0, kUnclipped, kUnclipped}; }
    static constexpr int kUnclipped = 1 << 30;

    void invertRect(int x, int y, int width, int height)
    {
        const PixelRect r{x, y, width, height};
        invertRects({&r, 1});
    }
};

// The fonts the painters draw with, made on the surface from the appearance.
// Kept beside the state, not in it: a handle means nothing without the
// surface that made it.
struct PainterFonts {
    FontHandle interfaceFont = kNoFont;
    FontHandle readingFont = kNoFont;
    // The reading font turned a quarter; made the first time a glyph needs it.
    FontHandle turnedReadingFont = kNoFont;
    // The reading font's em: the cell of the page.
    int readingCell = 0;
};

} // namespace pagora
