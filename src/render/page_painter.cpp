#include "render/page_painter.h"

#include "render/layout_walk.h"
#include "render/note_marks.h"
#include "render/primitives.h"
#include "state/reader_state.h"

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
    // Both marks move from the right edge to the left as the reader goes on.
    if (s.book.pages.pageCount() >= 1) {
        const std::int32_t x0 = (s.book.pages.pageCount() - s.book.pages.currentPage()) * w / s.book.pages.pageCount();
        drawMark(surface, x0, x0 + w / s.book.pages.pageCount() + 1, s.window.clientHeight - 2);
    }
    if (s.book.sectionCount >= 1) {
        const std::int32_t x1 = (s.book.sectionCount - s.book.currentSection) * w / s.book.sectionCount + 1;
        drawMark(surface, x1, x1 + w / s.book.sectionCount + 1, 1);
    }
}

} // namespace

void drawPage(const Canvas &c, const ReaderState &s, std::int32_t start)
{
    drawPositionMarks(c.surface, s);
    const TextPaint ink = readingText(c.fonts, s.look);
    const bool verticalForms = s.look.verticalForms;
    const TextArea area = computeTextArea(s);
    const int cell = area.cell;
    const std::int32_t length = s.book.textLength();
    layoutPage(s.book.sectionText().data(), length, start, area, [&](const PlacedCell &placed) {
        switch (placed.kind) {
        case CellKind::Full:
        case CellKind::Mapped: drawColumnGlyph(c, ink, verticalForms, placed.glyph, placed.x, placed.y); break;
        case CellKind::TwoDigits:
            drawGlyph(c, ink, placed.glyph, placed.x, placed.y);
            drawGlyph(c, ink, s.book.sectionText()[std::size_t(placed.offset) + 1], placed.x + cell / 2, placed.y);
            break;
        case CellKind::Half: drawGlyph(c, ink, placed.glyph, placed.x + cell / 4, placed.y); break;
        }
        return true;
    });
    drawNoteMarks(c.surface, s, start);
}

} // namespace pagora
