#include "screens/menu_screen.h"

#include "book/bookmark_store.h"
#include "platform/reader.h"
#include "render/indicators.h"
#include "render/primitives.h"
#include "screens/bookmark_controls.h"
#include "screens/search_controls.h"
#include "screens/shelf_screen.h"
#include "state/interface_texts.h"
#include "text/codec.h"

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
    if (s.shelf.openBook >= 0 && s.shelf.openBook < std::int16_t(s.shelf.catalogue.size()))
        e = &s.shelf.catalogue[std::size_t(s.shelf.openBook)];
    else
        e = s.shelf.selectedEntry();
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
    const int top = s.layout.menuBandTop;
    const int bottom = s.layout.menuBandBottom;
    const int labelY = top + (bottom - top - 2 * kCell) / 2;
    drawVerticalLabel(r, texts::back, (s.window.clientWidth - kCell) / 2, labelY);
    if (!s.menu.searchMode && !s.menu.bookmarkMode) {
        verticalLine(r, s.layout.sixthWidth, top, bottom);
        drawVerticalLabel(r, texts::search, s.layout.sixthInset, labelY);
        drawVerticalLabel(r, texts::bookmark, s.layout.sixthWidth + s.layout.sixthInset, labelY);
    } else {
        // Cells 1 and 2 merge into one highlighted cancel button for the mode.
        drawVerticalLabel(r, s.menu.searchMode ? texts::search : texts::bookmark, s.layout.sixthInset + 4, labelY);
        drawVerticalLabel(r, texts::cancel, s.layout.sixthWidth + s.layout.sixthInset - 4, labelY);
        invertRect(r, 0, top + 1, s.layout.leftThird, bottom - top - 1);
    }
    verticalLine(r, s.layout.rightSixth, top, bottom);
    drawVerticalLabel(r, texts::contents, s.layout.rightThird + s.layout.sixthInset, labelY);
    drawVerticalLabel(r, texts::shelfButton, s.layout.rightSixth + s.layout.sixthInset, labelY);
    // "返回" is the default button.
    invertRect(r, s.layout.leftThird + 1, top + 1, s.layout.rightThird - s.layout.leftThird, bottom - top - 1);
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
    const int y = s.layout.thirdRowTop + s.layout.barTextInset;
    drawText(r, texts::punctuationLabel, s.layout.leftMargin, y);
    drawText(r, texts::verticalPunctuation, s.layout.slotX[0], y);
    drawText(r, texts::uprightPunctuation, s.layout.slotX[1], y);
    markPunctuationChoice(r);
}

void markPunctuationChoice(Reader &r)
{
    const ReaderState &s = r.s;
    invertRect(r, s.layout.slotX[s.look.verticalForms ? 0 : 1], s.layout.thirdRowTop + 1, kCell,
               s.layout.barHeight - 1);
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
    return s.layout.digitRowLeft + s.layout.slotX[std::size_t(i - 1)];
}

void paintMenuScreen(Reader &r)
{
    ReaderState &s = r.s;
    const int w = s.window.clientWidth;

    selectInterfaceFontTransparent(r);
    paintTitleBar(r, openBookTitle(s));
    s.menu.clearReadingMarks();
    paintPunctuationChoice(r);
    // The toggle button must offer delete only for a page that carries a
    // bookmark, whatever moved the position since the last toggle.
    s.marks.pageHasBookmark = currentPageHasBookmark(s);

    // Top and lower bands: each mode draws its own controls in both.
    if (s.menu.searchMode) {
        paintSearchControls(r);
    } else if (s.menu.bookmarkMode) {
        paintBookmarkControls(r);
    } else if (s.book.sectionCount >= 1 && s.book.pages.pageCount() >= 1) {
        drawIndicator(r, Indicator::Page);
        drawIndicator(r, Indicator::Section);
        markSlider(r, Indicator::Page, s.book.pages.currentPage());
        markSlider(r, Indicator::Section, s.book.currentSection);
    }

    paintMiddleBand(r);

    drawLine(r, 0, s.layout.topBarHeight, w, s.layout.topBarHeight);
    drawLine(r, 0, s.layout.buttonRowTop, w, s.layout.buttonRowTop);

    // Colour row, and the digits of the font row below it.
    const int colourY = s.layout.buttonRowTop + s.layout.barTextInset;
    const int fontY = s.layout.bottomBarTop + s.layout.barTextInset;
    drawText(r, texts::textColourLabel, s.layout.leftMargin, colourY);
    drawText(r, texts::backgroundLabel, s.layout.digitRowLeft, colourY);
    drawDigits(r, 9, colourY);
    drawDigits(r, 9, fontY);
    markDigitCell(r, s.look.backgroundChoice, 9, s.layout.buttonRowTop + 1, s.layout.barHeight);
    drawText(r, texts::black, s.layout.slotX[0], colourY);
    drawText(r, texts::white, s.layout.slotX[1], colourY);
    if (s.look.textScheme == 1 || s.look.textScheme == 2)
        invertRect(r, s.layout.slotX[std::size_t(s.look.textScheme - 1)], s.layout.buttonRowTop + 1, kCell,
                   s.layout.barHeight);

    drawLine(r, 0, s.layout.bottomBarTop, w - 1, s.layout.bottomBarTop);
    drawText(r, texts::sizeLabel, s.layout.digitRowLeft, fontY);
    markDigitCell(r, s.look.sizeStep, 9, s.layout.bottomBarTop + 1, s.layout.barHeight);

    drawLine(r, 0, s.layout.menuBandTop, w, s.layout.menuBandTop);
    drawLine(r, 0, s.layout.menuBandBottom, w, s.layout.menuBandBottom);
    verticalLine(r, s.layout.leftThird, s.layout.menuBandTop, s.layout.menuBandBottom);
    verticalLine(r, s.layout.rightThird, s.layout.menuBandTop, s.layout.menuBandBottom);
    drawLine(r, 0, s.layout.thirdRowTop, w - 1, s.layout.thirdRowTop);

    // Window row: the maximized-with-caption mode is reached only by
    // maximizing the window and has no cell here.
    const int offered = s.window.windowModeCount - 1;
    const int windowY = s.layout.thirdRowTop + s.layout.barTextInset;
    drawText(r, texts::screenLabel, s.layout.digitRowLeft, windowY);
    drawDigits(r, offered, windowY);
    markDigitCell(r, s.window.windowMode, offered, s.layout.thirdRowTop + 1, s.layout.barHeight - 1);

    drawText(r, texts::fontLabel, s.layout.leftMargin, fontY);
    drawText(r, utf8ToUtf16(s.look.fontName), s.layout.slotX[0], fontY);
    invertRect(r, s.layout.slotX[0], s.layout.bottomBarTop + 1, fontNameButtonWidth(s.look.fontName),
               s.layout.barHeight - 1);
}

} // namespace pagora
