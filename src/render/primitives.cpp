#include "render/primitives.h"

#include "platform/reader.h"
#include "render/vertical_forms.h"
#include "state/interface_texts.h"
#include "text/codec.h"

namespace pagora {

namespace {

constexpr int kInterfaceCell = 16;
// A font request holds 31 bytes of face name plus the terminator.
constexpr std::size_t kFaceNameBytes = 31;

FontHandle recreateFont(Reader &r, FontHandle old, const FontRequest &request)
{
    if (old != kNoFont)
        r.p.surface->deleteFont(old);
    return r.p.surface->createFont(request);
}

FontRequest readingFontRequest(const ReaderState &s, int escapement)
{
    FontRequest request;
    request.height = 2 * s.look.sizeStep + s.look.baseFontSize;
    request.escapement = escapement;
    request.face = fontRequestFace(s.look.fontName);
    return request;
}

void setReadingEscapement(Reader &r, int escapement)
{
    ReaderState &s = r.s;
    computeReadingCell(s);
    s.look.readingFontEscapement = escapement;
    s.look.readingFont = recreateFont(r, s.look.readingFont, readingFontRequest(s, escapement));
    r.p.surface->selectFont(s.look.readingFont);
}

} // namespace

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

void createInterfaceFont(Reader &r)
{
    ReaderState &s = r.s;
    s.look.glyphWidth = s.look.glyphHeight = kInterfaceCell;
    FontRequest request;
    request.height = kInterfaceCell;
    request.face = std::string(texts::defaultFaceUtf8);
    s.look.interfaceFont = recreateFont(r, s.look.interfaceFont, request);
}

void computeReadingCell(ReaderState &s)
{
    const int c = 2 * s.look.sizeStep + s.look.baseFontSize;
    s.look.glyphWidth = s.look.glyphHeight = std::int16_t(c);
}

void createReadingFont(Reader &r)
{
    ReaderState &s = r.s;
    computeReadingCell(s);
    s.look.readingFontEscapement = 0;
    s.look.readingFont = recreateFont(r, s.look.readingFont, readingFontRequest(s, 0));
}

void selectInterfaceFont(Reader &r)
{
    r.s.look.glyphWidth = r.s.look.glyphHeight = kInterfaceCell;
    r.p.surface->selectFont(r.s.look.interfaceFont);
}

void selectInterfaceFontTransparent(Reader &r)
{
    // Every surface draws text transparently; nothing more to switch.
    selectInterfaceFont(r);
}

void selectReadingFont(Reader &r)
{
    computeReadingCell(r.s);
    r.p.surface->selectFont(r.s.look.readingFont);
}

void turnReadingFont(Reader &r)
{
    setReadingEscapement(r, 900);
}

void uprightReadingFont(Reader &r)
{
    setReadingEscapement(r, 0);
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

void drawGlyph(Reader &r, char16_t u, int x, int y, int rowHeight)
{
    if (isTurnedGlyph(u)) {
        // A vertical bar reads as a turned ellipsis in vertical text.
        turnReadingFont(r);
        // Turned text hangs from its baseline: the row's bottom edge.
        if (rowHeight <= 0)
            rowHeight = r.s.look.glyphHeight;
        const char16_t ellipsis = 0x2026;
        r.p.surface->drawText(x, y + rowHeight, std::u16string_view(&ellipsis, 1));
        uprightReadingFont(r);
        return;
    }
    r.p.surface->drawText(x, y, std::u16string_view(&u, 1));
}

void drawColumnGlyph(Reader &r, char16_t u, int x, int y, int rowHeight)
{
    const VerticalForm *form = r.s.look.verticalForms ? verticalFormOf(u) : nullptr;
    if (!form || isTurnedGlyph(u)) {
        drawGlyph(r, u, x, y, rowHeight);
        return;
    }
    Surface &surface = *r.p.surface;
    if (form->encodedForm != 0 && surface.hasGlyph(form->encodedForm))
        surface.drawCellGlyph(x, y, form->encodedForm, {false, form->inkCentred});
    else
        surface.drawCellGlyph(x, y, form->glyph, {form->turned, form->inkCentred});
}

void drawText(Reader &r, std::u16string_view text, int x, int y)
{
    r.p.surface->drawText(x, y, text);
}

void drawTextCentred(Reader &r, std::u16string_view text, int y)
{
    const int w = r.p.surface->textWidth(text);
    r.p.surface->drawText((r.s.window.clientWidth - w) / 2, y, text);
}

void drawLine(Reader &r, int x1, int y1, int x2, int y2)
{
    r.p.surface->drawLine(x1, y1, x2, y2);
}

void drawRoundRect(Reader &r, int left, int top, int right, int bottom)
{
    r.p.surface->drawRoundRect(left, top, right, bottom);
}

void fillScreenRect(Reader &r, int left, int top, int right, int bottom)
{
    r.p.surface->setFillColour(r.s.look.screenColour);
    r.p.surface->fillRect(left, top, right, bottom);
}

void invertRect(Reader &r, int x, int y, int width, int height)
{
    r.p.surface->invertRect(x, y, width, height);
}

void repaintPathBar(Reader &r)
{
    ReaderState &s = r.s;
    r.p.surface->setTextColour(rgb(255, 255, 255));
    selectInterfaceFontTransparent(r);
    r.p.surface->setFillColour(s.look.panelColour);
    r.p.surface->fillRect(0, s.layout.topBarHeight + 1, s.window.clientWidth, s.layout.listTop - 2);
    drawText(r, utf8ToUtf16(s.shelf.shelfPath), s.layout.pathTextLeft, s.layout.topBarHeight + s.layout.barTextInset);
}

void computeReadingColour(ReaderState &s)
{
    // Damaged settings must not index outside the palette.
    const int scheme = s.look.textScheme == 2 ? 2 : 1;
    const int choice = s.look.backgroundChoice >= 1 && s.look.backgroundChoice <= 9 ? s.look.backgroundChoice : 2;
    const auto &entry = kPalette[std::size_t((scheme - 1) * 9 + choice - 1)];
    s.look.readingColour = rgb(entry[0] & 0xFF, entry[1] & 0xFF, entry[2] & 0xFF);
    if (scheme == 1 && choice == 2)
        s.look.readingColour = kButtonFaceColour;
}

void setPanelColour(ReaderState &s)
{
    s.look.panelColour = rgb(127, 127, 191);
}

} // namespace pagora
