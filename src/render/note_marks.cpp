#include "render/note_marks.h"

#include "render/primitives.h"
#include "render/text_selection.h"
#include "state/reader_state.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pagora {

namespace {

// Red, amber, green, blue.
constexpr std::array<Colour, kMarkColours> kDeep = {rgb(200, 0, 0), rgb(170, 100, 0), rgb(0, 130, 0), rgb(0, 0, 230)};
constexpr std::array<Colour, kMarkColours> kPale = {rgb(255, 160, 160), rgb(255, 235, 100), rgb(150, 255, 150),
                                                    rgb(160, 220, 255)};

double linear(unsigned channel)
{
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(Colour c)
{
    return 0.2126 * linear(redOf(c)) + 0.7152 * linear(greenOf(c)) + 0.0722 * linear(blueOf(c));
}

} // namespace

Colour markColour(int colour, Colour background)
{
    // The system face is a light grey wherever the reader runs.
    if (background == kButtonFaceColour)
        background = rgb(kPalette[1][0], kPalette[1][1], kPalette[1][2]);
    const std::size_t k = std::size_t(std::clamp(colour, 1, kMarkColours) - 1);
    return luminance(background) > 0.4 ? kDeep[k] : kPale[k];
}

void drawNoteMarks(Surface &surface, const ReaderState &s, std::int32_t start)
{
    const SectionMarks &shown = s.book.shownMarks;
    if (shown.marks.empty() || !shown.describes(s.book.fingerprint, s.book.currentSection) || start < 0)
        return;
    const PageCells page = pageCells(s, start);
    if (page.cells.empty())
        return;
    // Marks are by start: those that end before the page are skipped at once.
    const std::int32_t first = page.cells.front().offset;
    const int c = page.cell;
    for (const PassageMark &m : shown.marks) {
        if (m.start >= page.end)
            break;
        if (m.end() <= first)
            continue;
        const Colour colour = markColour(m.colour, s.look.readingColour());
        const PlacedCell *last = nullptr;
        for (const PlacedCell &cell : page.cells) {
            if (!m.contains(cell.offset))
                continue;
            // Beside the cell, in the gap between its column and the one before.
            surface.fillRect(cell.x + c + 1, cell.y + 1, cell.x + c + 1 + kMarkBandWidth, cell.y + c + 1, colour);
            last = &cell;
        }
        if (last && m.hasNote && m.end() <= page.end)
            surface.fillRect(last->x + c + 1, last->y + c + 2, last->x + c + 1 + kNoteMarkSize,
                             last->y + c + 2 + kNoteMarkSize, colour);
    }
}

} // namespace pagora
