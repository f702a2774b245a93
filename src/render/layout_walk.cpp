#include "render/layout_walk.h"

#include "render/primitives.h"
#include "state/reader_state.h"

#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

namespace pagora {

const std::array<char16_t, 60> fullWidthMap = [] {
    std::array<char16_t, 60> m{};
    for (int k = 0; k < 26; ++k) {
        m[std::size_t(k)] = char16_t(0xFF21 + k);
        m[std::size_t(26 + k)] = char16_t(0xFF41 + k);
    }
    const char16_t tail[8] = {0xFE35, 0xFE36, 0xFF5C, 0xFF0C, 0xFF1A, 0xFF1B, 0xFF1F, 0xFF01};
    for (int k = 0; k < 8; ++k)
        m[std::size_t(52 + k)] = tail[k];
    return m;
}();

TextArea computeTextArea(const ReaderState &s)
{
    TextArea a;
    a.cell = 2 * s.look.sizeStep() + s.look.baseFontSize;
    if (a.cell < 1)
        a.cell = 1;
    a.rows = (s.window.clientHeight - 2 * s.window.verticalMargin) / a.cell;
    if (a.rows < 0)
        a.rows = 0;
    a.textTop = (s.window.clientHeight - a.rows * a.cell) / 2;
    a.textBottom = s.window.clientHeight - a.textTop;
    a.rightLimit = s.window.clientWidth - s.window.horizontalMargin;
    a.horizontalMargin = s.window.horizontalMargin;
    return a;
}

static bool isDigit(char16_t u)
{
    return u >= u'0' && u <= u'9';
}

bool isTwoDigitRun(const char16_t *text, std::int32_t length, std::int32_t i)
{
    return (i == 0 || !isDigit(text[i - 1])) && i + 1 < length && isDigit(text[i + 1]) &&
           (i + 2 == length || !isDigit(text[i + 2]));
}

std::int32_t layoutPageEnd(const char16_t *text, std::int32_t length, std::int32_t start, const TextArea &area)
{
    return layoutPage(text, length, start, area, [](const PlacedCell &) { return true; });
}

PageTable paginate(std::u16string_view text, const TextArea &area)
{
    const auto length = std::int32_t(std::min<std::size_t>(text.size(), INT32_MAX));
    std::vector<std::int32_t> starts(kInitialPageCapacity, 0);
    int page = 1;
    std::int32_t i = 0;
    for (;;) {
        starts[std::size_t(page)] = i;
        const std::int32_t next = layoutPageEnd(text.data(), length, i, area);
        // Page numbers are 16-bit: a section that would need more ends with
        // the last page that can be numbered, and that page ends where its
        // walk stopped, so drawing it still agrees with the table.
        if (next >= length || page >= kMaxPages) {
            i = next;
            break;
        }
        i = next;
        ++page;
        if (std::size_t(page) >= starts.size() - 2)
            starts.resize(starts.size() + 100, 0);
    }
    starts[std::size_t(page) + 1] = i;
    return PageTable(std::move(starts), page);
}

void repaginate(ReaderState &s)
{
    s.book.pages.repaginate(paginate(s.book.usableText(), computeTextArea(s)));
}

void relayoutKeepingPosition(Surface &surface, PainterFonts &fonts, ReaderState &s)
{
    const int current = s.book.pages.currentPage();
    const std::int32_t start = (current >= 1 && current <= s.book.pages.pageCount()) ? s.book.pages.start(current) : 0;
    createReadingFont(surface, fonts, s.look);
    repaginate(s);
    // The page whose range holds the old first character; when it opens a
    // page exactly that page is shown, so an unchanged layout keeps the page.
    s.book.pages.turnTo(s.book.pages.pageHolding(start));
}

} // namespace pagora
