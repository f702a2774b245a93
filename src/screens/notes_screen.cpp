#include "screens/notes_screen.h"

#include "render/note_marks.h"
#include "render/primitives.h"
#include "screens/shelf_screen.h"
#include "state/interface_texts.h"
#include "state/reader_state.h"

#include <algorithm>

namespace pagora {

namespace {

constexpr int kCell = 16; // interface glyph cell

// text cut to rows characters, the last one an ellipsis when it is longer.
std::u16string fitted(std::u16string_view text, int rows)
{
    if (rows <= 0)
        return {};
    if (int(text.size()) <= rows)
        return std::u16string(text);
    std::size_t keep = std::size_t(rows - 1);
    if (keep > 0 && text[keep - 1] >= 0xD800 && text[keep - 1] <= 0xDBFF)
        --keep;
    return std::u16string(text.substr(0, keep)) + u"…";
}

void paintEntry(const Canvas &canvas, const ReaderState &s, const NoteEntry &e, int column)
{
    const int cw = s.layout.columnWidth;
    const int x = s.layout.columnInset + (15 - column) * cw;
    const int top = s.layout.topBarHeight + 6;
    const int rows = std::max(0, (s.layout.bottomBarTop - 4 - top) / kCell);
    // The section title heads the column, then the passage, then the note.
    std::u16string title;
    if (e.detached)
        title = u"找不到原文";
    else if (e.section >= 1 && std::size_t(e.section) <= s.book.contentsList.size())
        title = s.book.contentsList[std::size_t(e.section - 1)];
    const int titleRows = std::min<int>(int(title.size()), std::max(1, rows / 4));
    const int rest = std::max(0, rows - titleRows - 1);
    const int noteRows = e.note.empty() ? 0 : std::min<int>(int(e.note.size()), rest / 2);
    const int quoteRows = std::max(0, rest - (noteRows ? noteRows + 1 : 0));
    const std::u16string quote = fitted(e.quote, quoteRows);
    drawVerticalLabel(canvas, s, fitted(title, titleRows), x, top);
    const int quoteTop = top + (titleRows + 1) * kCell;
    drawVerticalLabel(canvas, s, quote, x, quoteTop);
    if (noteRows)
        drawVerticalLabel(canvas, s, fitted(e.note, noteRows), x, quoteTop + (quoteRows + 1) * kCell);
    // The passage's band, as on the page.
    const int band = std::min(x + kCell + 2, (16 - column) * cw - 2);
    canvas.surface.fillRect(band, quoteTop + 1, band + kMarkBandWidth, quoteTop + int(quote.size()) * kCell + 1,
                            markColour(e.colour, s.look.screenColour));
}

} // namespace

int noteEntryAt(const ReaderState &s, int x)
{
    if (s.layout.columnWidth <= 0)
        return -1;
    const int column = std::clamp(x / s.layout.columnWidth, 0, 15);
    const int index = s.book.notes.first + 15 - column;
    return index < int(s.book.notes.entries.size()) ? index : -1;
}

PixelRect noteEntryBox(const ReaderState &s, int index)
{
    const NotesList &notes = s.book.notes;
    if (index >= notes.first && index < notes.first + kNotesPerPage && index < int(notes.entries.size()))
        return listCellBox(s, index - notes.first);
    return {};
}

void highlightNoteEntry(Surface &surface, const ReaderState &s, int index)
{
    const PixelRect box = noteEntryBox(s, index);
    if (!box.isEmpty())
        surface.invertRect(box.x, box.y, box.width, box.height);
}

int shownNotesFirst(const NotesList &notes)
{
    return notes.first < 0 || notes.first >= int(notes.entries.size()) ? 0 : notes.first;
}

void paintNotesScreen(const Canvas &canvas, const ReaderState &s)
{
    Surface &surface = canvas.surface;
    const TextPaint ink = interfaceText(canvas.fonts);
    const int w = s.window.clientWidth;
    const NotesList &notes = s.book.notes;
    paintTitleBar(canvas, s, u"附註");
    // Shown in the normal colours inside the inverted bar: a button.
    surface.drawText(w - kExportButtonWidth + 8, (s.layout.topBarHeight - kCell) / 2, u"匯出", ink);
    surface.invertRect(w - kExportButtonWidth, 0, kExportButtonWidth, s.layout.topBarHeight);
    paintListGrid(surface, s);
    surface.drawLine(0, s.layout.bottomBarTop, w - 1, s.layout.bottomBarTop);

    const int count = int(notes.entries.size());
    const int first = shownNotesFirst(notes);
    if (count == 0)
        drawTextCentred(surface, ink, u"這本書還沒有畫線", w,
                        (s.layout.topBarHeight + s.layout.bottomBarTop) / 2 - kCell / 2);
    for (int k = 0; k < kNotesPerPage && first + k < count; ++k)
        paintEntry(canvas, s, notes.entries[std::size_t(first + k)], k);
    highlightNoteEntry(surface, s, notes.highlighted);

    // The bottom bar as the contents screen has it.
    const int y = s.layout.bottomBarTop + s.layout.barTextInset;
    surface.drawText(w / 2 - kCell, y, texts::back, ink);
    surface.invertRect(s.layout.leftThird, s.layout.bottomBarTop + 1, s.layout.leftThird - 2, s.layout.barHeight);
    if (first + kNotesPerPage < count)
        surface.drawText(s.layout.leftMargin, y, texts::nextPage, ink);
    if (first > 0)
        surface.drawText(w - 3 * kCell - s.layout.leftMargin, y, texts::previousPage, ink);
}

} // namespace pagora
