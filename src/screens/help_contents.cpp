#include "screens/help_contents.h"

#include "render/primitives.h"
#include "screens/shelf_screen.h"
#include "state/interface_texts.h"
#include "state/reader_state.h"

#include <algorithm>

namespace pagora {

namespace {

constexpr int kCell = 16;          // interface glyph cell
constexpr int kTitlesPerPage = 16; // one title per column

// The middle button of the bottom bar, always shown inverted as the default.
void paintBackButton(const Canvas &canvas, const ReaderState &s)
{
    const TextPaint ink = interfaceText(canvas.fonts);
    canvas.surface.drawText(s.window.clientWidth / 2 - kCell, s.layout.bottomBarTop + s.layout.barTextInset,
                            texts::back, ink);
    canvas.surface.invertRect(s.layout.leftThird, s.layout.bottomBarTop + 1, s.layout.leftThird - 2,
                              s.layout.barHeight);
}

// The second page: a line each, from below the title bar.
void paintKeysPage(const Canvas &canvas, const ReaderState &s)
{
    const TextPaint ink = interfaceText(canvas.fonts);
    paintTitleBar(canvas, s, texts::keysHeading);
    canvas.surface.drawLine(0, s.layout.bottomBarTop, s.window.clientWidth - 1, s.layout.bottomBarTop);
    const int step = (s.layout.bottomBarTop - s.layout.topBarHeight - kCell) / int(texts::keysHelp.size());
    int y = s.layout.topBarHeight + step / 2;
    for (std::u16string_view line : texts::keysHelp) {
        canvas.surface.drawText(s.layout.leftMargin + 4, y, line, ink);
        y += step;
    }
    paintBackButton(canvas, s);
    canvas.surface.drawText(s.window.clientWidth - 3 * kCell - s.layout.leftMargin,
                            s.layout.bottomBarTop + s.layout.barTextInset, texts::previousPage, ink);
}

} // namespace

void paintHelpScreen(const Canvas &canvas, const ReaderState &s)
{
    if (s.shelf.helpPage == 1) {
        paintKeysPage(canvas, s);
        return;
    }
    const TextPaint ink = interfaceText(canvas.fonts);
    const int w = s.window.clientWidth;
    paintTitleBar(canvas, s, texts::helpHeading);
    canvas.surface.drawLine(0, s.layout.bottomBarTop, w - 1, s.layout.bottomBarTop);
    drawTextCentred(canvas.surface, ink, texts::touchHeading, s.window.clientWidth, 35);

    // The reading page's touch regions: three columns; the outer ones halved
    // (section above, page below), the middle one in thirds.
    const int d = s.layout.buttonRowTop;
    const int top = 60;
    const int bottom = d - 46;
    const int left = 40;
    const int right = w - 40;
    canvas.surface.drawLine(left, top, right, top);
    canvas.surface.drawLine(right, top, right, bottom);
    canvas.surface.drawLine(right, bottom, left, bottom);
    canvas.surface.drawLine(left, bottom, left, top);
    const int g = (w - 80) / 3;
    const int x1 = left + g;
    const int x2 = left + 2 * g;
    canvas.surface.drawLine(x1, top, x1, bottom);
    canvas.surface.drawLine(x2, top, x2, bottom);
    const int m = (d - 106) / 2;
    canvas.surface.drawLine(left, top + m, x1, top + m);
    canvas.surface.drawLine(x2, top + m, right, top + m);
    const int third = (d - 106) / 3;
    canvas.surface.drawLine(x1, top + third, x2, top + third);
    canvas.surface.drawLine(x1, top + 2 * third, x2, top + 2 * third);

    // Labels read right to left: "顯示 節數", "顯示 頁數".
    const int showX = x2 - g / 3 - 8;
    const int whatX = x1 + g / 3 - 8;
    const int inThird = (third - 2 * kCell) / 2;
    drawVerticalLabel(canvas, s, texts::show, showX, top + inThird);
    drawVerticalLabel(canvas, s, texts::sectionNumber, whatX, top + inThird);
    drawVerticalLabel(canvas, s, texts::options, left + g + g / 2 - 8, top + third + inThird);
    drawVerticalLabel(canvas, s, texts::show, showX, top + 2 * third + inThird);
    drawVerticalLabel(canvas, s, texts::pageNumber, whatX, top + 2 * third + inThird);
    const int leftColumnX = left + (g - kCell) / 2;
    const int rightColumnX = x2 + (g - kCell) / 2;
    const int inHalf = (m - 3 * kCell) / 2;
    drawVerticalLabel(canvas, s, texts::nextSection, leftColumnX, top + inHalf);
    drawVerticalLabel(canvas, s, texts::previousSection, rightColumnX, top + inHalf);
    drawVerticalLabel(canvas, s, texts::nextPage, leftColumnX, top + m + inHalf);
    drawVerticalLabel(canvas, s, texts::previousPage, rightColumnX, top + m + inHalf);

    drawTextCentred(canvas.surface, ink, texts::sectionKeys, s.window.clientWidth, d - 38);
    drawTextCentred(canvas.surface, ink, texts::pageKeys, s.window.clientWidth, d - 16);
    drawTextCentred(canvas.surface, ink, texts::wheelKeys, s.window.clientWidth, d + 6);

    paintBackButton(canvas, s);
    canvas.surface.drawText(s.layout.leftMargin, s.layout.bottomBarTop + s.layout.barTextInset, texts::nextPage, ink);
}

ContentsPage contentsPage(int sectionCount, int currentSection, std::int32_t start)
{
    ContentsPage page;
    page.sectionCount = std::int16_t(sectionCount);
    if (sectionCount <= 0)
        return page;
    if (start >= 1 && start <= sectionCount) {
        page.first = std::int16_t(start);
    } else {
        if (currentSection < 1 || currentSection > sectionCount)
            currentSection = 1;
        page.first = std::int16_t((currentSection - 1) / kTitlesPerPage * kTitlesPerPage + 1);
    }
    page.prev = page.first >= kTitlesPerPage ? std::int16_t(page.first - kTitlesPerPage) : std::int16_t(0);
    page.next =
        page.first + kTitlesPerPage <= sectionCount ? std::int16_t(page.first + kTitlesPerPage) : std::int16_t(0);
    return page;
}

void paintContentsScreen(const Canvas &canvas, const ReaderState &s)
{
    const TextPaint ink = interfaceText(canvas.fonts);
    const BookEntry *entry = s.shelf.selectedEntry();
    paintTitleBar(canvas, s, entry ? std::u16string_view(entry->title) : std::u16string_view());
    paintContentsList(canvas, s);
    paintBackButton(canvas, s);
    const int y = s.layout.bottomBarTop + s.layout.barTextInset;
    if (s.book.contentsNextPage != 0)
        canvas.surface.drawText(s.layout.leftMargin, y, texts::nextPage, ink);
    if (s.book.contentsPrevPage != 0)
        canvas.surface.drawText(s.window.clientWidth - 3 * kCell - s.layout.leftMargin, y, texts::previousPage, ink);
}

bool contentsPageHolds(const ReaderState &s, int section)
{
    return section >= s.book.contentsFirst && section < s.book.contentsFirst + kTitlesPerPage &&
           section <= s.book.sectionCount && (s.book.contentsNextPage == 0 || section < s.book.contentsNextPage);
}

void paintContentsList(const Canvas &canvas, const ReaderState &s)
{
    paintListGrid(canvas.surface, s);
    canvas.surface.drawLine(0, s.layout.bottomBarTop, s.window.clientWidth - 1, s.layout.bottomBarTop);
    if (s.book.sectionCount <= 0)
        return;

    const int first = s.book.contentsFirst;
    const int n = std::min(kTitlesPerPage, s.book.sectionCount - first + 1);
    for (int k = 0; k < n; ++k) {
        // A damaged header may announce more sections than it has titles.
        const std::size_t index = std::size_t(first + k - 1);
        if (index >= s.book.contentsList.size())
            break;
        // Latin and turned glyphs keep to their column, whatever their width.
        const int left = (15 - k) * s.layout.columnWidth + 1;
        canvas.surface.drawClipped(
            left, s.layout.topBarHeight + 1, left + s.layout.columnWidth - 1, s.layout.bottomBarTop, [&] {
                drawVerticalLabel(canvas, s, s.book.contentsList[index],
                                  s.layout.columnInset + (15 - k) * s.layout.columnWidth, s.layout.topBarHeight + 6);
            });
    }
    if (contentsPageHolds(s, s.book.currentSection))
        highlightListCell(canvas.surface, s, s.book.currentSection - first);
}

} // namespace pagora
