#include "render/page_painter.h"

#include "platform/reader.h"
#include "render/layout_walk.h"
#include "render/note_marks.h"
#include "render/primitives.h"

namespace pagora {

namespace {

constexpr Colour kBlack = rgb(0, 0, 0);
constexpr Colour kWhite = rgb(255, 255, 255);
constexpr Colour kMarkColour = rgb(255, 0, 0);

// A one-pixel red line from x to end (end not painted) at row y.
void drawMark(Surface &surface, int x, int end, int y)
{
    surface.fillRect(x, y, end, y + 1);
}

void drawPositionMarks(Reader &r, Colour background)
{
    const ReaderState &s = r.s;
    Surface &surface = *r.p.surface;
    const std::int32_t w = s.window.clientWidth;
    surface.setFillColour(kMarkColour);
    // Both marks move from the right edge to the left as the reader goes on.
    if (s.book.pages.pageCount() >= 1) {
        const std::int32_t x0 = (s.book.pages.pageCount() - s.book.pages.currentPage()) * w / s.book.pages.pageCount();
        drawMark(surface, x0, x0 + w / s.book.pages.pageCount() + 1, s.window.clientHeight - 2);
    }
    if (s.book.sectionCount >= 1) {
        const std::int32_t x1 = (s.book.sectionCount - s.book.currentSection) * w / s.book.sectionCount + 1;
        drawMark(surface, x1, x1 + w / s.book.sectionCount + 1, 1);
    }
    surface.setFillColour(background);
}

} // namespace

void drawPage(Reader &r, std::int32_t start)
{
    ReaderState &s = r.s;
    Surface &surface = *r.p.surface;
    drawPositionMarks(r, s.look.readingColour);

    // The colour goes first: selecting the font must not undo it.
    surface.setTextColour(s.look.textScheme == 1 ? kBlack : kWhite);
    selectReadingFont(r);
    const TextArea area = computeTextArea(s);
    const int c = area.cell;
    const std::int32_t length = s.book.usableLength();
    layoutPage(s.book.sectionText.data(), length, start, area, [&](const PlacedCell &cell) {
        switch (cell.kind) {
        case CellKind::Full:
        case CellKind::Mapped: drawColumnGlyph(r, cell.glyph, cell.x, cell.y); break;
        case CellKind::TwoDigits:
            drawGlyph(r, cell.glyph, cell.x, cell.y);
            drawGlyph(r, s.book.sectionText[std::size_t(cell.offset) + 1], cell.x + c / 2, cell.y);
            break;
        case CellKind::Half: drawGlyph(r, cell.glyph, cell.x + c / 4, cell.y); break;
        }
        return true;
    });
    drawNoteMarks(r, start);

    // The search box may have held the focus.
    r.p.window->focusPanel();
}

} // namespace pagora
