#include "render/paint_dispatch.h"

#include "render/indicators.h"
#include "render/layout_walk.h"
#include "render/primitives.h"
#include "screens/help_contents.h"
#include "screens/menu_screen.h"
#include "screens/move_to_shelf.h"
#include "screens/search.h"
#include "screens/shelf_screen.h"

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
    const std::int32_t w = s.clientWidth;
    surface.setFillColour(kMarkColour);
    // Both marks move from the right edge to the left as the reader goes on.
    if (s.pageCount >= 1) {
        const std::int32_t x0 = (s.pageCount - s.currentPage) * w / s.pageCount;
        drawMark(surface, x0, x0 + w / s.pageCount + 1, s.clientHeight - 2);
    }
    if (s.sectionCount >= 1) {
        const std::int32_t x1 = (s.sectionCount - s.currentSection) * w / s.sectionCount + 1;
        drawMark(surface, x1, x1 + w / s.sectionCount + 1, 1);
    }
    surface.setFillColour(background);
}

} // namespace

void paintScreen(Reader &r, bool erase)
{
    ReaderState &s = r.s;
    if (!r.p.surface)
        return;
    Surface &surface = *r.p.surface;
    const bool reading = s.currentScreen == ReadingScreen;
    const Colour background = reading ? s.readingColour : s.screenColour;
    surface.setBackgroundColour(background);
    if (!reading)
        surface.setTextColour(kBlack);
    surface.setFillColour(background);
    if (erase)
        surface.fillRect(0, 0, s.clientWidth, s.clientHeight);

    switch (s.currentScreen) {
    case ShelfScreen: paintShelfScreen(r); break;
    case ReadingScreen:
        if (s.shownPageStart >= 0)
            drawPage(r, s.shownPageStart);
        if (s.showSectionNumber == 1)
            drawIndicator(r, SectionIndicator);
        if (s.showPageNumber == 1)
            drawIndicator(r, PageIndicator);
        if (s.showMatch == 1)
            highlightMatch(r);
        break;
    case MenuScreen: paintMenuScreen(r); break;
    case HelpScreen: paintHelpScreen(r); break;
    case ContentsScreen: paintContentsScreen(r); break;
    case MoveToShelfPanel:
        // The panel painter puts MoveToShelfPanel back once it has drawn.
        s.currentScreen = ShelfScreen;
        paintShelfScreen(r);
        paintMoveToShelfPanel(r);
        break;
    default: break;
    }
}

void drawPage(Reader &r, std::int32_t start)
{
    ReaderState &s = r.s;
    if (!r.p.surface)
        return;
    Surface &surface = *r.p.surface;
    drawPositionMarks(r, s.readingColour);

    // The colour goes first: selecting the font must not undo it.
    surface.setTextColour(s.textScheme == 1 ? kBlack : kWhite);
    selectReadingFont(r);
    const TextArea area = computeTextArea(s);
    const int c = area.cell;
    const std::int32_t length = usableLength(s);
    layoutPage(s.sectionText.data(), length, start, area, [&](const PlacedCell &cell) {
        switch (cell.kind) {
        case CellKind::Full:
        case CellKind::Mapped: drawColumnGlyph(r, cell.glyph, cell.x, cell.y); break;
        case CellKind::TwoDigits:
            drawGlyph(r, cell.glyph, cell.x, cell.y);
            drawGlyph(r, s.sectionText[std::size_t(cell.offset) + 1], cell.x + c / 2, cell.y);
            break;
        case CellKind::Half: drawGlyph(r, cell.glyph, cell.x + c / 4, cell.y); break;
        }
        return true;
    });

    // The search box may have held the focus.
    if (r.p.window)
        r.p.window->focusPanel();
}
