#include "render/primitives.h"

#include "render/vertical_forms.h"
#include "state/interface_texts.h"
#include "state/reader_state.h"
#include "text/codec.h"

namespace pagora {

namespace {

// A font request holds 31 bytes of face name plus the terminator.
constexpr std::size_t kFaceNameBytes = 31;

void replaceFont(Surface &surface, FontHandle &font, const FontRequest &request)
{
    if (font != kNoFont)
        surface.deleteFont(font);
    font = surface.createFont(request);
}

} // namespace

TextPaint interfaceText(const PainterFonts &fonts, Colour colour)
{
    return {fonts.interfaceFont, colour};
}

TextPaint readingText(const PainterFonts &fonts, const Appearance &look)
{
    return {fonts.readingFont, look.textScheme() == 1 ? rgb(0, 0, 0) : rgb(255, 255, 255)};
}

int readingCell(const Appearance &look)
{
    return 2 * look.sizeStep() + look.baseFontSize;
}

void createInterfaceFont(Surface &surface, PainterFonts &fonts)
{
    FontRequest request;
    request.height = kInterfaceCell;
    request.face = std::string(texts::defaultFaceUtf8);
    replaceFont(surface, fonts.interfaceFont, request);
}

void createReadingFont(Surface &surface, PainterFonts &fonts, const Appearance &look)
{
    fonts.readingCell = readingCell(look);
    FontRequest request;
    request.height = fonts.readingCell;
    request.face = fontRequestFace(look.fontName);
    replaceFont(surface, fonts.readingFont, request);
    request.escapement = 900;
    replaceFont(surface, fonts.turnedReadingFont, request);
}

void deleteFonts(Surface &surface, PainterFonts &fonts)
{
    for (FontHandle *font : {&fonts.interfaceFont, &fonts.readingFont, &fonts.turnedReadingFont}) {
        if (*font != kNoFont)
            surface.deleteFont(*font);
        *font = kNoFont;
    }
}

std::string fontRequestFace(std::string_view face)
{
    if (face.size() <= kFaceNameBytes)
        return std::string(face);
    // Never cut inside a UTF-8 sequence: back off over continuation bytes.
    std::size_t n = kFaceNameBytes;
    while (n > 0 && (static_cast<unsigned char>(face[n]) & 0xC0) == 0x80)
        --n;
    return std::string(face.substr(0, n));
}

void drawGlyph(const Canvas &c, const TextPaint &paint, char16_t u, int x, int y, int rowHeight)
{
    if (isTurnedGlyph(u)) {
        // A vertical bar reads as a turned ellipsis in vertical text. Turned
        // text hangs from its baseline: the row's bottom edge.
        if (rowHeight <= 0)
            rowHeight = c.fonts.readingCell;
        const char16_t ellipsis = 0x2026;
        c.surface.drawText(x, y + rowHeight, std::u16string_view(&ellipsis, 1),
                           {c.fonts.turnedReadingFont, paint.colour});
        return;
    }
    c.surface.drawText(x, y, std::u16string_view(&u, 1), paint);
}

void drawColumnGlyph(const Canvas &c, const TextPaint &paint, bool verticalForms, char16_t u, int x, int y,
                     int rowHeight)
{
    const VerticalForm *form = verticalForms ? verticalFormOf(u) : nullptr;
    if (!form || isTurnedGlyph(u)) {
        drawGlyph(c, paint, u, x, y, rowHeight);
        return;
    }
    if (form->encodedForm != 0 && c.surface.hasGlyph(paint.font, form->encodedForm))
        c.surface.drawCellGlyph(x, y, form->encodedForm, {false, form->inkCentred}, paint);
    else
        c.surface.drawCellGlyph(x, y, form->glyph, {form->turned, form->inkCentred}, paint);
}

void fillScreenRect(Surface &surface, const Appearance &look, int left, int top, int right, int bottom)
{
    surface.fillRect(left, top, right, bottom, look.screenColour);
}

void drawTextCentred(Surface &surface, const TextPaint &paint, std::u16string_view text, int width, int y)
{
    const int w = surface.textWidth(paint.font, text);
    surface.drawText((width - w) / 2, y, text, paint);
}

void setPanelColour(Appearance &look)
{
    look.panelColour = rgb(127, 127, 191);
}

} // namespace pagora
