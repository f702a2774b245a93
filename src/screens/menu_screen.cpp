#include "screens/menu_screen.h"

#include "book/bookmark_store.h"
#include "platform/codec.h"
#include "platform/reader.h"
#include "render/indicators.h"
#include "render/primitives.h"
#include "screens/bookmark_controls.h"
#include "screens/search_controls.h"
#include "screens/shelf_screen.h"
#include "state/interface_texts.h"

#include <string>

namespace pagora {

namespace {

constexpr int kCell = 16; // interface glyph cell

const char16_t *const kDigits[9] = {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9"};

// The open book heads the menu; before the file is marked open (contents
// screen at a book's very beginning) the selected one is the same book.
std::u16string_view openBookTitle(ReaderState &s)
{
    const BookEntry *e = nullptr;
    if (s.openBook >= 0 && s.openBook < std::int16_t(s.catalogue.size()))
        e = &s.catalogue[std::size_t(s.openBook)];
    else
        e = selectedEntry(s);
    return e ? std::u16string_view(e->title) : std::u16string_view();
}

void verticalLine(Reader &r, int x, int top, int bottom)
{
    drawLine(r, x, top, x, bottom);
}

// Marks cell i of a digit row; values outside 1..cells have no cell and are
// left unmarked rather than inverting a rectangle past the row.
void markDigitCell(Reader &r, int i, int cells, int top, int height)
{
    if (i >= 1 && i <= cells)
        invertRect(r, digitCellX(r.s, i), top, kCell, height);
}

void paintMiddleBand(Reader &r)
{
    ReaderState &s = r.s;
    const int top = s.menuBandTop;
    const int bottom = s.menuBandBottom;
    const int labelY = top + (bottom - top - 2 * kCell) / 2;
    drawVerticalLabel(r, texts::back, (s.clientWidth - kCell) / 2, labelY);
    if (!s.searchMode && !s.bookmarkMode) {
        verticalLine(r, s.sixthWidth, top, bottom);
        drawVerticalLabel(r, texts::search, s.sixthInset, labelY);
        drawVerticalLabel(r, texts::bookmark, s.sixthWidth + s.sixthInset, labelY);
    } else {
        // Cells 1 and 2 merge into one highlighted cancel button for the mode.
        drawVerticalLabel(r, s.searchMode ? texts::search : texts::bookmark, s.sixthInset + 4, labelY);
        drawVerticalLabel(r, texts::cancel, s.sixthWidth + s.sixthInset - 4, labelY);
        invertRect(r, 0, top + 1, s.leftThird, bottom - top - 1);
    }
    verticalLine(r, s.rightSixth, top, bottom);
    drawVerticalLabel(r, texts::contents, s.rightThird + s.sixthInset, labelY);
    drawVerticalLabel(r, texts::shelfButton, s.rightSixth + s.sixthInset, labelY);
    // "返回" is the default button.
    invertRect(r, s.leftThird + 1, top + 1, s.rightThird - s.leftThird, bottom - top - 1);
}

void drawDigits(Reader &r, int count, int y)
{
    for (int d = 1; d <= count && d <= 9; ++d)
        drawText(r, kDigits[d - 1], digitCellX(r.s, d) + 4, y);
}

} // namespace

void paintPunctuationChoice(Reader &r)
{
    ReaderState &s = r.s;
    const int y = s.thirdRowTop + s.barTextInset;
    drawText(r, texts::punctuationLabel, s.leftMargin, y);
    drawText(r, texts::verticalPunctuation, s.slotX[0], y);
    drawText(r, texts::uprightPunctuation, s.slotX[1], y);
    markPunctuationChoice(r);
}

void markPunctuationChoice(Reader &r)
{
    const ReaderState &s = r.s;
    invertRect(r, s.slotX[s.verticalForms ? 0 : 1], s.thirdRowTop + 1, kCell, s.barHeight - 1);
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

int digitCellX(const ReaderState &s, int i)
{
    return s.digitRowLeft + s.slotX[std::size_t(i - 1)];
}

void paintMenuScreen(Reader &r)
{
    ReaderState &s = r.s;
    const int w = s.clientWidth;

    selectInterfaceFontTransparent(r);
    paintTitleBar(r, openBookTitle(s));
    clearReadingMarks(s);
    paintPunctuationChoice(r);
    // The toggle button must offer delete only for a page that carries a
    // bookmark, whatever moved the position since the last toggle.
    s.pageHasBookmark = currentPageHasBookmark(s);

    // Top and lower bands: each mode draws its own controls in both.
    if (s.searchMode) {
        paintSearchControls(r);
    } else if (s.bookmarkMode) {
        paintBookmarkControls(r);
    } else if (s.sectionCount >= 1 && s.pages.pageCount >= 1) {
        drawIndicator(r, Indicator::Page);
        drawIndicator(r, Indicator::Section);
        markSlider(r, Indicator::Page, s.pages.currentPage);
        markSlider(r, Indicator::Section, s.currentSection);
    }

    paintMiddleBand(r);

    drawLine(r, 0, s.topBarHeight, w, s.topBarHeight);
    drawLine(r, 0, s.buttonRowTop, w, s.buttonRowTop);

    // Colour row, and the digits of the font row below it.
    const int colourY = s.buttonRowTop + s.barTextInset;
    const int fontY = s.bottomBarTop + s.barTextInset;
    drawText(r, texts::textColourLabel, s.leftMargin, colourY);
    drawText(r, texts::backgroundLabel, s.digitRowLeft, colourY);
    drawDigits(r, 9, colourY);
    drawDigits(r, 9, fontY);
    markDigitCell(r, s.backgroundChoice, 9, s.buttonRowTop + 1, s.barHeight);
    drawText(r, texts::black, s.slotX[0], colourY);
    drawText(r, texts::white, s.slotX[1], colourY);
    if (s.textScheme == 1 || s.textScheme == 2)
        invertRect(r, s.slotX[std::size_t(s.textScheme - 1)], s.buttonRowTop + 1, kCell, s.barHeight);

    drawLine(r, 0, s.bottomBarTop, w - 1, s.bottomBarTop);
    drawText(r, texts::sizeLabel, s.digitRowLeft, fontY);
    markDigitCell(r, s.sizeStep, 9, s.bottomBarTop + 1, s.barHeight);

    drawLine(r, 0, s.menuBandTop, w, s.menuBandTop);
    drawLine(r, 0, s.menuBandBottom, w, s.menuBandBottom);
    verticalLine(r, s.leftThird, s.menuBandTop, s.menuBandBottom);
    verticalLine(r, s.rightThird, s.menuBandTop, s.menuBandBottom);
    drawLine(r, 0, s.thirdRowTop, w - 1, s.thirdRowTop);

    // Window row: the maximized-with-caption mode is reached only by
    // maximizing the window and has no cell here.
    const int offered = s.windowModeCount - 1;
    const int windowY = s.thirdRowTop + s.barTextInset;
    drawText(r, texts::screenLabel, s.digitRowLeft, windowY);
    drawDigits(r, offered, windowY);
    markDigitCell(r, s.windowMode, offered, s.thirdRowTop + 1, s.barHeight - 1);

    drawText(r, texts::fontLabel, s.leftMargin, fontY);
    drawText(r, utf8ToUtf16(s.fontName), s.slotX[0], fontY);
    invertRect(r, s.slotX[0], s.bottomBarTop + 1, fontNameButtonWidth(s.fontName), s.barHeight - 1);
}

} // namespace pagora
