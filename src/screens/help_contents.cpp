#include "screens/help_contents.h"

#include "platform/reader.h"
#include "render/primitives.h"
#include "screens/shelf_screen.h"
#include "state/interface_texts.h"

#include <algorithm>

namespace pagora {

namespace {

constexpr int kCell = 16;          // interface glyph cell
constexpr int kTitlesPerPage = 16; // one title per column

// The middle button of the bottom bar, always shown inverted as the default.
void paintBackButton(Reader &r)
{
    ReaderState &s = r.s;
    drawText(r, texts::back, s.window.clientWidth / 2 - kCell, s.layout.bottomBarTop + s.layout.barTextInset);
    invertRect(r, s.layout.leftThird, s.layout.bottomBarTop + 1, s.layout.leftThird - 2, s.layout.barHeight);
}

} // namespace

void paintHelpScreen(Reader &r)
{
    ReaderState &s = r.s;
    const int w = s.window.clientWidth;
    selectInterfaceFontTransparent(r);
    paintTitleBar(r, texts::helpHeading);
    drawLine(r, 0, s.layout.bottomBarTop, w - 1, s.layout.bottomBarTop);
    drawTextCentred(r, texts::touchHeading, 35);

    // The reading page's touch regions: three columns; the outer ones halved
    // (section above, page below), the middle one in thirds.
    const int d = s.layout.buttonRowTop;
    const int top = 60;
    const int bottom = d - 46;
    const int left = 40;
    const int right = w - 40;
    drawLine(r, left, top, right, top);
    drawLine(r, right, top, right, bottom);
    drawLine(r, right, bottom, left, bottom);
    drawLine(r, left, bottom, left, top);
    const int g = (w - 80) / 3;
    const int x1 = left + g;
    const int x2 = left + 2 * g;
    drawLine(r, x1, top, x1, bottom);
    drawLine(r, x2, top, x2, bottom);
    const int m = (d - 106) / 2;
    drawLine(r, left, top + m, x1, top + m);
    drawLine(r, x2, top + m, right, top + m);
    const int third = (d - 106) / 3;
    drawLine(r, x1, top + third, x2, top + third);
    drawLine(r, x1, top + 2 * third, x2, top + 2 * third);

    // Labels read right to left: "顯示 節數", "顯示 頁數".
    const int showX = x2 - g / 3 - 8;
    const int whatX = x1 + g / 3 - 8;
    const int inThird = (third - 2 * kCell) / 2;
    drawVerticalLabel(r, texts::show, showX, top + inThird);
    drawVerticalLabel(r, texts::sectionNumber, whatX, top + inThird);
    drawVerticalLabel(r, texts::options, left + g + g / 2 - 8, top + third + inThird);
    drawVerticalLabel(r, texts::show, showX, top + 2 * third + inThird);
    drawVerticalLabel(r, texts::pageNumber, whatX, top + 2 * third + inThird);
    const int leftColumnX = left + (g - kCell) / 2;
    const int rightColumnX = x2 + (g - kCell) / 2;
    const int inHalf = (m - 3 * kCell) / 2;
    drawVerticalLabel(r, texts::nextSection, leftColumnX, top + inHalf);
    drawVerticalLabel(r, texts::previousSection, rightColumnX, top + inHalf);
    drawVerticalLabel(r, texts::nextPage, leftColumnX, top + m + inHalf);
    drawVerticalLabel(r, texts::previousPage, rightColumnX, top + m + inHalf);

    drawTextCentred(r, texts::sectionKeys, d - 38);
    drawTextCentred(r, texts::pageKeys, d - 16);
    drawTextCentred(r, texts::wheelKeys, d + 6);

    paintBackButton(r);
}

void paintContentsScreen(Reader &r)
{
    ReaderState &s = r.s;
    selectInterfaceFontTransparent(r);
    const BookEntry *entry = s.shelf.selectedEntry();
    paintTitleBar(r, entry ? std::u16string_view(entry->title) : std::u16string_view());
    paintContentsList(r, s.book.contentsStart);
    paintBackButton(r);
    const int y = s.layout.bottomBarTop + s.layout.barTextInset;
    if (s.book.contentsNextPage != 0)
        drawText(r, texts::nextPage, s.layout.leftMargin, y);
    if (s.book.contentsPrevPage != 0)
        drawText(r, texts::previousPage, s.window.clientWidth - 3 * kCell - s.layout.leftMargin, y);
}

bool contentsPageHolds(const ReaderState &s, int section)
{
    return section >= s.book.contentsFirst && section < s.book.contentsFirst + kTitlesPerPage &&
           section <= s.book.sectionCount && (s.book.contentsNextPage == 0 || section < s.book.contentsNextPage);
}

void paintContentsList(Reader &r, std::int32_t start)
{
    ReaderState &s = r.s;
    paintListGrid(r);
    drawLine(r, 0, s.layout.bottomBarTop, s.window.clientWidth - 1, s.layout.bottomBarTop);

    const BookEntry *entry = s.shelf.selectedEntry();
    s.book.sectionCount = entry ? entry->sectionCount : 0;
    if (s.book.sectionCount <= 0) {
        s.book.contentsNextPage = s.book.contentsPrevPage = 0;
        return;
    }

    // A requested page outside this book (left over from another book) falls
    // back to the page holding the current section.
    if (start >= 1 && start <= s.book.sectionCount) {
        s.book.contentsFirst = std::int16_t(start);
    } else {
        int current = s.book.currentSection;
        if (current < 1 || current > s.book.sectionCount)
            current = 1;
        s.book.contentsFirst = std::int16_t((current - 1) / kTitlesPerPage * kTitlesPerPage + 1);
    }

    const int first = s.book.contentsFirst;
    const int n = std::min(kTitlesPerPage, s.book.sectionCount - first + 1);
    for (int k = 0; k < n; ++k) {
        // A damaged header may announce more sections than it has titles.
        const std::size_t index = std::size_t(first + k - 1);
        if (index >= s.book.contentsList.size())
            break;
        drawVerticalLabel(r, s.book.contentsList[index], s.layout.columnInset + (15 - k) * s.layout.columnWidth,
                          s.layout.topBarHeight + 6);
    }

    s.book.contentsPrevPage = first >= kTitlesPerPage ? std::int16_t(first - kTitlesPerPage) : std::int16_t(0);
    s.book.contentsNextPage =
        first + kTitlesPerPage <= s.book.sectionCount ? std::int16_t(first + kTitlesPerPage) : std::int16_t(0);

    if (contentsPageHolds(s, s.book.currentSection))
        highlightListCell(r, s.book.currentSection - first);
}

} // namespace pagora
