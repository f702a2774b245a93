#include "render/page_painter.h"

#include "render/layout_walk.h"
#include "render/note_marks.h"
#include "render/primitives.h"
#include "state/reader_state.h"

#include <algorithm>
#include <climits>

namespace pagora {

namespace {

constexpr Colour kMarkColour = rgb(255, 0, 0);

// A one-pixel red line from x to end (end not painted) at row y.
void drawMark(Surface &surface, int x, int end, int y)
{
    surface.fillRect(x, y, end, y + 1, kMarkColour);
}

void drawPositionMarks(Surface &surface, const ReaderState &s)
{
    const std::int32_t w = s.window.clientWidth;
    // Both marks move from the right edge to the left as the reader goes on;
    // the page's waits for the section's page count.
    if (s.book.pages.pageCount() >= 1 && s.book.pages.isComplete()) {
        const std::int32_t x0 = (s.book.pages.pageCount() - s.book.pages.currentPage()) * w / s.book.pages.pageCount();
        drawMark(surface, x0, x0 + w / s.book.pages.pageCount() + 1, s.window.clientHeight - 2);
    }
    if (s.book.sectionCount >= 1) {
        const std::int32_t x1 = (s.book.sectionCount - s.book.currentSection) * w / s.book.sectionCount + 1;
        drawMark(surface, x1, x1 + w / s.book.sectionCount + 1, 1);
    }
}

} // namespace

PageView pageView(const Canvas &c, const ReaderState &s, std::int32_t start)
{
    PageView v;
    v.text = s.book.usableText();
    v.start = start;
    v.area = computeTextArea(s);
    v.ink = readingText(c.fonts, s.look);
    v.verticalForms = s.look.verticalForms;
    return v;
}

void drawPageText(const Canvas &c, const PageView &page)
{
    const int cell = page.area.cell;
    const char16_t *text = page.text.data();
    const auto length = std::int32_t(std::min<std::size_t>(page.text.size(), INT32_MAX));
    // A glyph's ink may stray a little past its cell: a cell of margin.
    const PixelRect clip = c.surface.clipBounds();
    const auto outside = [&](const PlacedCell &placed) {
        return placed.x + 2 * cell <= clip.x || placed.x - cell >= clip.x + clip.width ||
               placed.y + 2 * cell <= clip.y || placed.y - cell >= clip.y + clip.height;
    };
    layoutPage(text, length, page.start, page.area, [&](const PlacedCell &placed) {
        if (outside(placed))
            return true;
        switch (placed.kind) {
        case CellKind::Full:
        case CellKind::Mapped:
            drawColumnGlyph(c, page.ink, page.verticalForms, placed.glyph, placed.x, placed.y);
            break;
        case CellKind::TwoDigits:
            drawGlyph(c, page.ink, placed.glyph, placed.x, placed.y);
            drawGlyph(c, page.ink, text[placed.offset + 1], placed.x + cell / 2, placed.y);
            break;
        case CellKind::Half: drawGlyph(c, page.ink, placed.glyph, placed.x + cell / 4, placed.y); break;
        }
        return true;
    });
}

void drawPage(const Canvas &c, const ReaderState &s, std::int32_t start)
{
    drawPositionMarks(c.surface, s);
    drawPageText(c, pageView(c, s, start));
    drawNoteMarks(c.surface, s, start);
}

} // namespace pagora
