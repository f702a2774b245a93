#include "render/indicators.h"

#include "platform/reader.h"
#include "render/primitives.h"

#include <string>

namespace pagora {

namespace {

// Unsigned decimal without leading zeros, as the formats of the indicators
// print their numbers.
std::u16string decimal(int value)
{
    unsigned v = unsigned(value) & 0xFFFFu; // 16-bit numbers, shown unsigned
    char16_t digits[8];
    std::size_t n = sizeof digits / sizeof digits[0];
    do {
        digits[--n] = char16_t(u'0' + v % 10);
        v /= 10;
    } while (v != 0);
    return std::u16string(digits + n, digits + sizeof digits / sizeof digits[0]);
}

struct KindValues {
    int value;
    int count;
    int flag;
};

KindValues valuesOf(const ReaderState &s, Indicator kind)
{
    if (kind == Indicator::Page)
        return {s.book.pages.currentPage(), s.book.pages.pageCount(), s.menu.showPageNumber};
    return {s.book.currentSection, s.book.sectionCount, s.menu.showSectionNumber};
}

void drawReadingIndicator(Reader &r, Indicator kind, const KindValues &k)
{
    ReaderState &s = r.s;
    // Appended piece by piece: GCC 12 at -O3 warns falsely on literal + string.
    std::u16string text(1, u' ');
    text += decimal(k.value);
    text += u'/';
    text += decimal(k.count);
    text += u' ';
    selectInterfaceFont(r);
    const int w = r.p.surface->textWidth(text);
    const int x = (s.window.clientWidth - w) / 2;
    const int h = kind == Indicator::Page ? 16 : 17;
    const int y = kind == Indicator::Page ? s.window.clientHeight - h : 0;
    if (k.flag == 1) {
        fillScreenRect(r, x, y, x + w, y + h);
        r.p.surface->setTextColour(s.look.textScheme == 1 ? rgb(0, 0, 0) : rgb(255, 255, 255));
        drawText(r, text, x, y);
        invertRect(r, x, y, w, h);
    } else {
        // Inverting back would leave the box colour behind: draw the page
        // there again instead, so it comes back exactly.
        r.p.surface->repaintRect(x, y - 2, x + w, y + h + 2);
    }
}

} // namespace

void drawIndicator(Reader &r, Indicator kind)
{
    ReaderState &s = r.s;
    const KindValues k = valuesOf(s, kind);
    if (s.currentScreen == Screen::ReadingScreen) {
        drawReadingIndicator(r, kind, k);
    } else if (s.currentScreen == Screen::MenuScreen) {
        const int y = kind == Indicator::Page ? s.layout.pageBandLabelTop : s.layout.topBarHeight + 6;
        // The slider runs right to left: 1 at the right end, the count at the left.
        drawText(r, u"1", s.window.clientWidth - s.look.glyphWidth, y);
        drawText(r, decimal(k.count), 4, y);
        if (kind == Indicator::Page)
            drawPageLabel(r);
        else
            drawSectionLabel(r);
    }
}

void drawPageLabel(Reader &r)
{
    ReaderState &s = r.s;
    const int y = s.layout.pageBandLabelTop;
    fillScreenRect(r, s.window.clientWidth / 3, y, 2 * (s.window.clientWidth / 3), y + s.look.glyphHeight + 2);
    drawTextCentred(r, u"第 " + decimal(s.book.pages.currentPage()) + u" 頁", y);
}

void drawSectionLabel(Reader &r)
{
    ReaderState &s = r.s;
    const int y0 = s.layout.topBarHeight;
    fillScreenRect(r, s.window.clientWidth / 3, y0 + 6, 2 * (s.window.clientWidth / 3), y0 + s.look.glyphHeight + 8);
    drawTextCentred(r, u"第 " + decimal(s.book.currentSection) + u" 節", y0 + 6);
    fillScreenRect(r, 0, y0 + 32, s.window.clientWidth, s.layout.menuBandTop - 4);

    // A damaged book may list fewer titles than sections.
    const int index = s.book.currentSection - 1;
    if (index < 0 || std::size_t(index) >= s.book.contentsList.size())
        return;
    const std::u16string_view title = s.book.contentsList[std::size_t(index)];
    const std::size_t k = s.layout.titleLineChars > 0 ? std::size_t(s.layout.titleLineChars) : 0;
    if (title.size() <= k) {
        drawText(r, title, 8, y0 + 32);
        return;
    }
    // At most two lines; the second is indented by one cell and simply runs
    // off the panel's edge when it is too long.
    drawText(r, title.substr(0, k), 8, y0 + 32);
    drawText(r, title.substr(k), s.look.glyphWidth + 8, y0 + s.look.glyphHeight + 37);
}

void markSlider(Reader &r, Indicator kind, int value)
{
    ReaderState &s = r.s;
    const int count = kind == Indicator::Page ? s.book.pages.pageCount() : s.book.sectionCount;
    if (count < 1)
        return; // no book: no slider to mark
    int x = value == count ? 0 : (count - value) * s.window.clientWidth / count + 1;
    int width = s.window.clientWidth / count;
    if (width < 1)
        width = 1;
    // With more values than pixels the first value would start just past the
    // right edge and never show.
    if (x >= s.window.clientWidth)
        x = s.window.clientWidth - width;
    int y, height;
    if (kind == Indicator::Page) {
        y = s.layout.menuBandBottom + 1;
        height = s.layout.thirdRowTop - s.layout.menuBandBottom - 1;
    } else {
        y = s.layout.topBarHeight + 1;
        height = s.layout.menuBandTop - s.layout.topBarHeight - 1;
    }
    invertRect(r, x, y, width, height);
}

int sliderValue(int x, int clientWidth, int count)
{
    if (x <= 0)
        return count;
    if (x >= clientWidth)
        return 1;
    return int(static_cast<long long>(clientWidth - x) * count / clientWidth) + 1;
}

} // namespace pagora
