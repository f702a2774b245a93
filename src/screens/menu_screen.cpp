#include "screens/menu_screen.h"

#include "render/indicators.h"
#include "render/primitives.h"
#include "screens/bookmark_controls.h"
#include "screens/search_controls.h"
#include "screens/shelf_screen.h"
#include "state/interface_texts.h"
#include "state/reader_state.h"
#include "text/codec.h"

#include <algorithm>
#include <string>

namespace pagora {

namespace {

constexpr int kCell = 16; // interface glyph cell

const char16_t *const kDigits[9] = {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9"};

// The open book heads the menu; before the file is marked open (contents
// screen at a book's very beginning) the selected one is the same book.
std::u16string_view openBookTitle(const ReaderState &s)
{
    const BookEntry *e = nullptr;
    if (s.shelf.openBook() >= 0 && s.shelf.openBook() < std::int16_t(s.shelf.catalogue().size()))
        e = &s.shelf.catalogue()[std::size_t(s.shelf.openBook())];
    else
        e = s.shelf.selectedEntry();
    return e ? std::u16string_view(e->title) : std::u16string_view();
}

void verticalLine(Surface &surface, int x, int top, int bottom)
{
    surface.drawLine(x, top, x, bottom);
}

// Marks cell i of a digit row; values outside 1..cells have no cell and are
// left unmarked rather than inverting a rectangle past the row.
void markDigitCell(Surface &surface, const ReaderState &s, int i, int cells, int top, int height)
{
    if (i >= 1 && i <= cells)
        surface.invertRect(digitCellX(s, i), top, kCell, height);
}

void paintMiddleBand(const Canvas &canvas, const ReaderState &s)
{
    const int top = s.layout.menuBandTop;
    const int bottom = s.layout.menuBandBottom;
    const int labelY = top + (bottom - top - 2 * kCell) / 2;
    drawVerticalLabel(canvas, s, texts::back, (s.window.clientWidth - kCell) / 2, labelY);
    if (!s.menu.searchMode && !s.menu.bookmarkMode) {
        verticalLine(canvas.surface, s.layout.sixthWidth, top, bottom);
        drawVerticalLabel(canvas, s, texts::search, s.layout.sixthInset, labelY);
        drawVerticalLabel(canvas, s, texts::bookmark, s.layout.sixthWidth + s.layout.sixthInset, labelY);
    } else {
        // Cells 1 and 2 merge into one highlighted cancel button for the mode.
        drawVerticalLabel(canvas, s, s.menu.searchMode ? texts::search : texts::bookmark, s.layout.sixthInset + 4,
                          labelY);
        drawVerticalLabel(canvas, s, texts::cancel, s.layout.sixthWidth + s.layout.sixthInset - 4, labelY);
        invertBandButton(canvas.surface, s, MenuBandButton::ModeCancel);
    }
    verticalLine(canvas.surface, s.layout.rightSixth, top, bottom);
    drawVerticalLabel(canvas, s, texts::contents, s.layout.rightThird + s.layout.sixthInset, labelY);
    drawVerticalLabel(canvas, s, texts::shelfButton, s.layout.rightSixth + s.layout.sixthInset, labelY);
    // "返回" is the default button.
    invertBandButton(canvas.surface, s, MenuBandButton::Back);
}

void drawDigits(const Canvas &canvas, const ReaderState &s, int count, int y)
{
    const TextPaint ink = interfaceText(canvas.fonts);
    for (int d = 1; d <= count && d <= 9; ++d)
        canvas.surface.drawText(digitCellX(s, d) + 4, y, kDigits[d - 1], ink);
}

} // namespace

void paintPunctuationChoice(const Canvas &canvas, const ReaderState &s)
{
    const TextPaint ink = interfaceText(canvas.fonts);
    const int y = s.layout.thirdRowTop + s.layout.barTextInset;
    canvas.surface.drawText(s.layout.leftMargin, y, texts::punctuationLabel, ink);
    canvas.surface.drawText(s.layout.slotX[0], y, texts::verticalPunctuation, ink);
    canvas.surface.drawText(s.layout.slotX[1], y, texts::uprightPunctuation, ink);
    markPunctuationChoice(canvas.surface, s);
    canvas.surface.drawText(notesButtonLeft(s) + 2, y, u"附註", ink);
    canvas.surface.invertRect(notesButtonLeft(s), s.layout.thirdRowTop + 1, kNotesButtonWidth, s.layout.barHeight - 1);
    const PixelRect aloud = readAloudButton(s);
    if (aloud.width >= kReadAloudWidth)
        canvas.surface.drawText(aloud.x + 2, y, u"朗讀", ink);
    else if (aloud.width >= kCell)
        canvas.surface.drawText(aloud.x + (aloud.width - kCell) / 2, y, u"讀", ink);
    invertReadAloudButton(canvas.surface, s);
}

int notesButtonLeft(const ReaderState &s)
{
    return (s.layout.slotX[2] + s.layout.digitRowLeft - kNotesButtonWidth) / 2;
}

void markPunctuationChoice(Surface &surface, const ReaderState &s)
{
    surface.invertRect(s.layout.slotX[s.look.verticalForms ? 0 : 1], s.layout.thirdRowTop + 1, kCell,
                       s.layout.barHeight - 1);
}

PixelRect readAloudButton(const ReaderState &s)
{
    const auto &l = s.layout;
    const int top = l.thirdRowTop + 1, height = l.barHeight - 1;
    const int notesRight = notesButtonLeft(s) + kNotesButtonWidth;
    if (l.digitRowLeft - notesRight >= kReadAloudWidth + 8)
        return {(notesRight + l.digitRowLeft - kReadAloudWidth) / 2, top, kReadAloudWidth, height};
    const int cells = std::clamp(s.window.windowModeCount - 1, 0, 9);
    const int right = cells > 0 ? digitCellX(s, cells) + kCell : l.digitRowLeft + l.slotX[0];
    const int room = s.window.clientWidth - right;
    const int width = std::clamp(room - 4, 0, kReadAloudWidth);
    return {right + (room - width) / 2, top, width, height};
}

bool overReadAloudButton(const ReaderState &s, int x, int y)
{
    const PixelRect b = readAloudButton(s);
    return y >= s.layout.thirdRowTop && y < s.layout.buttonRowTop && x >= b.x && x < b.x + b.width;
}

void invertReadAloudButton(Surface &surface, const ReaderState &s)
{
    const PixelRect b = readAloudButton(s);
    if (b.width > 0)
        surface.invertRect(b.x, b.y, b.width, b.height);
}

int breaksSwitchLeft(const ReaderState &s)
{
    return (s.layout.slotX[2] + s.layout.digitRowLeft - kBreaksSwitchWidth) / 2;
}

void markBreaksSwitch(Surface &surface, const ReaderState &s)
{
    if (s.look.chineseBreaks)
        surface.invertRect(breaksSwitchLeft(s), s.layout.buttonRowTop + 1, kBreaksSwitchWidth, s.layout.barHeight);
}

int fontNameButtonWidth(std::string_view fontName)
{
    int bytes = 0;
    for (unsigned char c : fontName) {
        if (c < 0x80)
            bytes += 1;
        else if ((c & 0xC0) != 0x80) // lead byte of a multi-byte character
            bytes += 2;
    }
    return bytes / 2 * kCell + 4;
}

std::u16string shownFaceName(Surface &surface, const PainterFonts &fonts, const ReaderState &s)
{
    const std::string family = surface.familyOf(fonts.readingFont);
    return utf8ToUtf16(family.empty() ? s.look.fontName : family);
}

int faceButtonWidth(Surface &surface, const PainterFonts &fonts, const ReaderState &s)
{
    const std::u16string name = shownFaceName(surface, fonts, s);
    const int width =
        std::max(fontNameButtonWidth(utf16ToUtf8(name)), surface.textWidth(fonts.interfaceFont, name) + 4);
    return std::clamp(width, 4, std::max(4, s.layout.fontNameRight - s.layout.slotX[0]));
}

PixelRect menuBandButton(const ReaderState &s, MenuBandButton button)
{
    const auto &l = s.layout;
    const int top = l.menuBandTop + 1;
    const int h = l.menuBandBottom - l.menuBandTop - 1;
    switch (button) {
    case MenuBandButton::ModeCancel: return {0, top, l.leftThird, h};
    case MenuBandButton::Search: return {0, top, l.sixthWidth - 1, h};
    case MenuBandButton::Bookmark: return {l.sixthWidth + 1, top, l.sixthWidth - 1, h};
    case MenuBandButton::Back: return {l.leftThird + 1, top, l.rightThird - l.leftThird - 1, h};
    case MenuBandButton::Contents: return {l.rightThird + 1, top, l.rightSixth - l.rightThird - 1, h};
    case MenuBandButton::Shelf: return {l.rightSixth + 1, top, s.window.clientWidth - l.rightSixth - 1, h};
    }
    return {};
}

MenuBandButton menuBandButtonAt(const ReaderState &s, int x)
{
    const bool inMode = s.menu.searchMode || s.menu.bookmarkMode;
    if (inMode && x < s.layout.leftThird)
        return MenuBandButton::ModeCancel; // one button over both cells
    if (x < s.layout.sixthWidth)
        return MenuBandButton::Search;
    if (x < s.layout.leftThird)
        return MenuBandButton::Bookmark;
    if (x < s.layout.rightThird)
        return MenuBandButton::Back;
    if (x < s.layout.rightSixth)
        return MenuBandButton::Contents;
    return MenuBandButton::Shelf;
}

void invertBandButton(Surface &surface, const ReaderState &s, MenuBandButton button)
{
    const PixelRect r = menuBandButton(s, button);
    surface.invertRect(r.x, r.y, r.width, r.height);
}

int digitCellX(const ReaderState &s, int i)
{
    return s.layout.digitRowLeft + s.layout.slotX[std::size_t(i - 1)];
}

void paintMenuScreen(const Canvas &canvas, const ReaderState &s)
{
    const TextPaint ink = interfaceText(canvas.fonts);
    const int w = s.window.clientWidth;

    paintTitleBar(canvas, s, openBookTitle(s));
    paintPunctuationChoice(canvas, s);

    // Top and lower bands: each mode draws its own controls in both.
    if (s.menu.searchMode) {
        paintSearchControls(canvas, s);
    } else if (s.menu.bookmarkMode) {
        paintBookmarkControls(canvas, s);
    } else if (s.book.sectionCount >= 1 && s.book.pages.pageCount() >= 1) {
        drawIndicator(canvas, s, Indicator::Page);
        drawIndicator(canvas, s, Indicator::Section);
        markSlider(canvas.surface, s, Indicator::Page, s.book.pages.currentPage());
        markSlider(canvas.surface, s, Indicator::Section, s.book.currentSection);
    }

    paintMiddleBand(canvas, s);

    canvas.surface.drawLine(0, s.layout.topBarHeight, w, s.layout.topBarHeight);
    canvas.surface.drawLine(0, s.layout.buttonRowTop, w, s.layout.buttonRowTop);

    // Colour row, and the digits of the font row below it.
    const int colourY = s.layout.buttonRowTop + s.layout.barTextInset;
    const int fontY = s.layout.bottomBarTop + s.layout.barTextInset;
    canvas.surface.drawText(s.layout.leftMargin, colourY, texts::textColourLabel, ink);
    canvas.surface.drawText(s.layout.digitRowLeft, colourY, texts::backgroundLabel, ink);
    drawDigits(canvas, s, 9, colourY);
    drawDigits(canvas, s, 9, fontY);
    markDigitCell(canvas.surface, s, s.look.backgroundChoice(), 9, s.layout.buttonRowTop + 1, s.layout.barHeight);
    canvas.surface.drawText(s.layout.slotX[0], colourY, texts::black, ink);
    canvas.surface.drawText(s.layout.slotX[1], colourY, texts::white, ink);
    if (s.look.textScheme() == 1 || s.look.textScheme() == 2)
        canvas.surface.invertRect(s.layout.slotX[std::size_t(s.look.textScheme() - 1)], s.layout.buttonRowTop + 1,
                                  kCell, s.layout.barHeight);
    canvas.surface.drawText(breaksSwitchLeft(s) + 2, colourY, texts::chineseBreaks, ink);
    markBreaksSwitch(canvas.surface, s);

    canvas.surface.drawLine(0, s.layout.bottomBarTop, w - 1, s.layout.bottomBarTop);
    canvas.surface.drawText(s.layout.digitRowLeft, fontY, texts::sizeLabel, ink);
    markDigitCell(canvas.surface, s, s.look.sizeStep(), 9, s.layout.bottomBarTop + 1, s.layout.barHeight);

    canvas.surface.drawLine(0, s.layout.menuBandTop, w, s.layout.menuBandTop);
    canvas.surface.drawLine(0, s.layout.menuBandBottom, w, s.layout.menuBandBottom);
    verticalLine(canvas.surface, s.layout.leftThird, s.layout.menuBandTop, s.layout.menuBandBottom);
    verticalLine(canvas.surface, s.layout.rightThird, s.layout.menuBandTop, s.layout.menuBandBottom);
    canvas.surface.drawLine(0, s.layout.thirdRowTop, w - 1, s.layout.thirdRowTop);

    // Window row: the maximized-with-caption mode is reached only by
    // maximizing the window and has no cell here.
    const int offered = s.window.windowModeCount - 1;
    const int windowY = s.layout.thirdRowTop + s.layout.barTextInset;
    canvas.surface.drawText(s.layout.digitRowLeft, windowY, texts::screenLabel, ink);
    drawDigits(canvas, s, offered, windowY);
    markDigitCell(canvas.surface, s, s.window.windowMode, offered, s.layout.thirdRowTop + 1, s.layout.barHeight - 1);

    canvas.surface.drawText(s.layout.leftMargin, fontY, texts::fontLabel, ink);
    // A long family name is cut at its button's edge.
    const int faceWidth = faceButtonWidth(canvas.surface, canvas.fonts, s);
    canvas.surface.drawClipped(s.layout.slotX[0], s.layout.bottomBarTop + 1, s.layout.slotX[0] + faceWidth,
                               s.layout.bottomBarTop + s.layout.barHeight, [&] {
                                   canvas.surface.drawText(s.layout.slotX[0], fontY,
                                                           shownFaceName(canvas.surface, canvas.fonts, s), ink);
                               });
    canvas.surface.invertRect(s.layout.slotX[0], s.layout.bottomBarTop + 1, faceWidth, s.layout.barHeight - 1);
}

} // namespace pagora
