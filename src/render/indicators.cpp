#include "render/indicators.h"

#include "render/primitives.h"
#include "state/reader_state.h"

#include <algorithm>
#include <string>
#include <vector>

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
    int count; // -1: not known yet
    int flag;
    int share; // of the book read, in percent; -1: not shown
};

// The share of the book up to the end of the page shown, in whole percent:
// sections weigh what their records hold where the file is open, else the same.
int bookShareRead(const ReaderState &s)
{
    const int sections = s.book.sectionCount;
    const int section = s.book.currentSection;
    const int pages = s.book.pages.pageCount();
    if (sections < 1 || section < 1 || section > sections || pages < 1 || !s.book.pages.isComplete())
        return -1;
    const double inSection = double(std::clamp(int(s.book.pages.currentPage()), 0, pages)) / pages;
    double before = section - 1, current = 1, total = sections;
    if (s.book.bookFile.isOpen()) {
        double sizedBefore = 0, sizedCurrent = 0, sizedTotal = 0;
        bool sized = true;
        for (int i = 1; i <= sections && sized; ++i) {
            std::int64_t start = 0, end = 0;
            sized = s.book.bookFile.recordRange(i, start, end);
            const double size = double(end - start);
            sizedTotal += size;
            if (i < section)
                sizedBefore += size;
            else if (i == section)
                sizedCurrent = size;
        }
        if (sized && sizedTotal > 0)
            before = sizedBefore, current = sizedCurrent, total = sizedTotal;
    }
    return std::clamp(int((before + current * inSection) / total * 100), 0, 100);
}

KindValues valuesOf(const ReaderState &s, Indicator kind)
{
    if (kind == Indicator::Page)
        return {s.book.pages.currentPage(), s.book.pages.isComplete() ? s.book.pages.pageCount() : -1,
                s.menu.showPageNumber, bookShareRead(s)};
    return {s.book.currentSection, s.book.sectionCount, s.menu.showSectionNumber, -1};
}

std::u16string readingIndicatorText(const KindValues &k)
{
    // Appended piece by piece: GCC 12 at -O3 warns falsely on literal + string.
    std::u16string text(1, u' ');
    text += decimal(k.value);
    // Until the section's pages are all laid out, the page number alone.
    if (k.count >= 0) {
        text += u'/';
        text += decimal(k.count);
    }
    text += u' ';
    if (k.share >= 0) {
        text += decimal(k.share);
        text += u"% ";
    }
    return text;
}

} // namespace

PixelRect readingIndicatorBox(const Canvas &c, const ReaderState &s, Indicator kind)
{
    const int w = c.surface.textWidth(c.fonts.interfaceFont, readingIndicatorText(valuesOf(s, kind)));
    const int h = kind == Indicator::Page ? 16 : 17;
    return {(s.window.clientWidth - w) / 2, kind == Indicator::Page ? s.window.clientHeight - h : 0, w, h};
}

void drawIndicator(const Canvas &c, const ReaderState &s, Indicator kind)
{
    const KindValues k = valuesOf(s, kind);
    const TextPaint ink = interfaceText(c.fonts);
    if (s.currentScreen == Screen::ReadingScreen) {
        if (k.flag != 1)
            return;
        const PixelRect box = readingIndicatorBox(c, s, kind);
        fillScreenRect(c.surface, s.look, box.x, box.y, box.x + box.width, box.y + box.height);
        c.surface.drawText(box.x, box.y, readingIndicatorText(k),
                           interfaceText(c.fonts, readingText(c.fonts, s.look).colour));
        c.surface.invertRect(box.x, box.y, box.width, box.height);
    } else if (s.currentScreen == Screen::MenuScreen) {
        const int y = kind == Indicator::Page ? s.layout.pageBandLabelTop : s.layout.topBarHeight + 6;
        // The slider runs right to left: 1 at the right end, the count at the left.
        c.surface.drawText(s.window.clientWidth - kInterfaceCell, y, u"1", ink);
        if (k.count >= 0)
            c.surface.drawText(4, y, decimal(k.count), ink);
        if (kind == Indicator::Page)
            drawPageLabel(c, s);
        else
            drawSectionLabel(c, s);
    }
}

void drawPageLabel(const Canvas &c, const ReaderState &s)
{
    const int y = s.layout.pageBandLabelTop;
    fillScreenRect(c.surface, s.look, s.window.clientWidth / 3, y, 2 * (s.window.clientWidth / 3),
                   y + kInterfaceCell + 2);
    drawTextCentred(c.surface, interfaceText(c.fonts), u"第 " + decimal(s.book.pages.currentPage()) + u" 頁",
                    s.window.clientWidth, y);
}

void drawSectionLabel(const Canvas &c, const ReaderState &s)
{
    const TextPaint ink = interfaceText(c.fonts);
    const int y0 = s.layout.topBarHeight;
    const int w = s.window.clientWidth;
    fillScreenRect(c.surface, s.look, w / 3, y0 + 6, 2 * (w / 3), y0 + kInterfaceCell + 8);
    drawTextCentred(c.surface, ink, u"第 " + decimal(s.book.currentSection) + u" 節", w, y0 + 6);
    fillScreenRect(c.surface, s.look, 0, y0 + 32, w, s.layout.menuBandTop - 4);

    // A damaged book may list fewer titles than sections.
    const int index = s.book.currentSection - 1;
    if (index < 0 || std::size_t(index) >= s.book.contentsList.size())
        return;
    const std::u16string_view title = s.book.contentsList[std::size_t(index)];
    const std::size_t k = s.layout.titleLineChars > 0 ? std::size_t(s.layout.titleLineChars) : 0;
    if (title.size() <= k) {
        c.surface.drawText(8, y0 + 32, title, ink);
        return;
    }
    // At most two lines; the second is indented by one cell and simply runs
    // off the panel's edge when it is too long.
    c.surface.drawText(8, y0 + 32, title.substr(0, k), ink);
    c.surface.drawText(kInterfaceCell + 8, y0 + kInterfaceCell + 37, title.substr(k), ink);
}

void markSlider(Surface &surface, const ReaderState &s, Indicator kind, int value)
{
    const int count = kind == Indicator::Page ? s.book.pages.pageCount() : s.book.sectionCount;
    if (count < 1 || (kind == Indicator::Page && !s.book.pages.isComplete()))
        return; // no book, or its pages not all known: no slider to mark
    int x = value == count ? 0 : (count - value) * s.window.clientWidth / count + 1;
    int width = s.window.clientWidth / count;
    if (width < 1)
        width = 1;
    // With more values than pixels the first value would start just past the
    // right edge and never show.
    if (x >= s.window.clientWidth)
        x = s.window.clientWidth - width;
    if (kind == Indicator::Section) {
        surface.invertRect(x, s.layout.topBarHeight + 1, width, s.layout.menuBandTop - s.layout.topBarHeight - 1);
        return;
    }
    // The page marker leaves the "第 N 頁" label's box as it is: beside the
    // box it runs the band's height, over it only above and below.
    const int y = s.layout.menuBandBottom + 1;
    const int bottom = s.layout.thirdRowTop;
    const int labelLeft = s.window.clientWidth / 3, labelRight = 2 * (s.window.clientWidth / 3);
    const int labelTop = std::max(y, int(s.layout.pageBandLabelTop));
    const int labelBottom = std::min(bottom, s.layout.pageBandLabelTop + kInterfaceCell + 2);
    const int overLeft = std::clamp(x, labelLeft, labelRight), overRight = std::clamp(x + width, labelLeft, labelRight);
    std::vector<PixelRect> rects;
    const auto add = [&](int left, int right, int top, int end) {
        if (left < right && top < end)
            rects.push_back({left, top, right - left, end - top});
    };
    if (overLeft >= overRight || labelTop >= labelBottom) {
        add(x, x + width, y, bottom);
    } else {
        add(x, overLeft, y, bottom);
        add(overLeft, overRight, y, labelTop);
        add(overLeft, overRight, labelBottom, bottom);
        add(overRight, x + width, y, bottom);
    }
    surface.invertRects(rects);
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
