#include "app/selection_handlers.h"

#include "app/passage_mark_commands.h"
#include "app/read_aloud.h"
#include "app/reader.h"
#include "app/search.h"
#include "app/show_screen.h"
#include "screens/selection_popups.h"

#include <cstdlib>

namespace pagora {

namespace {

// Pixels a press must travel before it drags rather than clicks.
constexpr int kDragDistance = 4;

bool isReading(const Reader &r)
{
    return r.state.currentScreen == Screen::ReadingScreen && r.state.book.pages.shownPageStart() >= 0;
}

// The cells of the page shown. A drag asks on every pointer move; the room
// of a full page is kept instead of being allocated and touched anew.
const PageCells &shownCells(Reader &r)
{
    layOutPageCells(r.state, r.state.book.pages.shownPageStart(), r.shownCells);
    return r.shownCells;
}

// Shows range as the selection, painting again only where cells change.
void select(Reader &r, const PageCells &page, TextRange range)
{
    Selection &sel = r.state.book.selection;
    const PixelRect changed = changedCellsBounds(page, {sel.start, sel.length}, range);
    sel.start = range.start;
    sel.length = range.length;
    repaintBox(r, changed);
}

void closePopup(Reader &r)
{
    Selection &sel = r.state.book.selection;
    if (sel.popup == SelectionPopup::None)
        return;
    sel.popup = SelectionPopup::None;
    repaintRect(r, sel.popupLeft, sel.popupTop, sel.popupRight, sel.popupBottom);
}

void openPopup(Reader &r, SelectionPopup kind, bool anchored, int x, int y)
{
    closePopup(r);
    Selection &sel = r.state.book.selection;
    if (sel.isEmpty())
        return;
    const PopupRect box = placePopup(*r.services.desktop, *r.services.files, r.lookUp, r.state, kind, anchored, x, y);
    sel.popup = kind;
    sel.popupLeft = box.left;
    sel.popupTop = box.top;
    sel.popupRight = box.right;
    sel.popupBottom = box.bottom;
    repaintRect(r, box.left, box.top, box.right, box.bottom);
}

void clearSelection(Reader &r)
{
    closePopup(r);
    if (r.state.book.selection.isEmpty())
        return;
    select(r, shownCells(r), {});
    r.services.desktop->setPrimarySelection({});
}

// A mark was added, changed or removed: the page is drawn again from the
// state, without the selection that chose the passage.
void showMarksChanged(Reader &r)
{
    dropSelection(r);
    const ReaderState &s = r.state;
    repaintRect(r, 0, 0, s.window.clientWidth, s.window.clientHeight);
}

void chooseEntry(Reader &r, int index)
{
    const auto entries = menuEntries(*r.services.desktop, r.state.book.selection);
    Selection &sel = r.state.book.selection;
    const int left = sel.popupLeft, top = sel.popupTop;
    closePopup(r);
    bool changed = false;
    switch (entries[std::size_t(index)]) {
    case MenuEntry::Copy: copySelection(r); break;
    case MenuEntry::Find: findSelection(r); break;
    case MenuEntry::LookUp: lookUpSelection(r); break;
    case MenuEntry::Dictionary: openSelectionInDictionary(r); break;
    case MenuEntry::Mark:
    case MenuEntry::Recolour: openPopup(r, SelectionPopup::Swatches, true, left - 2, top - 2); break;
    case MenuEntry::Note: changed = noteSelection(r); break;
    case MenuEntry::EditNote: changed = editMarkNote(r, sel.markId); break;
    case MenuEntry::Unmark: changed = removeMark(r, sel.markId); break;
    case MenuEntry::ReadAloud: readAloudFrom(r, sel.start); break;
    }
    if (changed)
        showMarksChanged(r);
}

void chooseSwatch(Reader &r, int colour)
{
    const std::int64_t id = r.state.book.selection.markId;
    closePopup(r);
    if (id != 0 ? recolourMark(r, id, colour) : markSelection(r, colour, {}))
        showMarksChanged(r);
}

// The mark a menu opened at a click acts on: the one under the click, else
// one that holds the whole selection.
std::int64_t markUnderMenu(const Reader &r, const PageCells &page, int cell)
{
    const ReaderState &s = r.state;
    const Selection &sel = s.book.selection;
    if (cell >= 0)
        if (const PassageMark *m = markHolding(s, page.cells[std::size_t(cell)].offset))
            return m->id;
    const PassageMark *first = sel.isEmpty() ? nullptr : markHolding(s, sel.start);
    return first && first->contains(sel.start + sel.length - 1) ? first->id : 0;
}

} // namespace

bool selectionPressed(Reader &r, int x, int y, PointerButton button, bool shift)
{
    // A tap on the page while it is read aloud only stops the speech.
    if (stopReadingAloud(r))
        return true;
    if (!isReading(r))
        return false;
    Selection &sel = r.state.book.selection;
    if (sel.popup != SelectionPopup::None && button == PointerButton::Left) {
        // A click on the popup acts there; anywhere else it only closes it.
        const int entry = menuEntryAt(*r.services.desktop, sel, x, y);
        const int swatch = swatchAt(sel, x, y);
        const bool onPopup = x >= sel.popupLeft && x < sel.popupRight && y >= sel.popupTop && y < sel.popupBottom;
        if (entry >= 0)
            chooseEntry(r, entry);
        else if (swatch > 0)
            chooseSwatch(r, swatch);
        else if (!onPopup)
            closePopup(r);
        return true;
    }
    closePopup(r);
    if (button == PointerButton::Right || (button == PointerButton::Left && shift)) {
        sel.dragging = true;
        sel.moved = false;
        sel.byRightButton = button == PointerButton::Right;
        sel.pressX = x;
        sel.pressY = y;
        return true;
    }
    if (button == PointerButton::Left)
        clearSelection(r);
    return false;
}

bool selectionMoved(Reader &r, int x, int y)
{
    Selection &sel = r.state.book.selection;
    if (!sel.dragging || !isReading(r))
        return false;
    if (!sel.moved && std::abs(x - sel.pressX) + std::abs(y - sel.pressY) < kDragDistance)
        return true;
    sel.moved = true;
    const PageCells &page = shownCells(r);
    select(r, page, rangeBetween(page, sel.pressX, sel.pressY, x, y));
    return true;
}

bool selectionReleased(Reader &r, int x, int y, PointerButton button)
{
    Selection &sel = r.state.book.selection;
    if (!sel.dragging || !isReading(r))
        return false;
    if ((button == PointerButton::Right) != sel.byRightButton)
        return true;
    sel.dragging = false;
    const PageCells &page = shownCells(r);
    if (sel.moved) {
        select(r, page, rangeBetween(page, sel.pressX, sel.pressY, x, y));
    } else {
        // A click: the word under it, unless it is already selected; on a
        // marked passage the whole passage, which the menu then acts on.
        const int cell = cellAt(page, sel.pressX, sel.pressY);
        const bool inSelection = cell >= 0 && sel.contains(page.cells[std::size_t(cell)].offset);
        const PassageMark *mark = cell >= 0 && sel.byRightButton && !inSelection
                                      ? markHolding(r.state, page.cells[std::size_t(cell)].offset)
                                      : nullptr;
        if (mark)
            select(r, page, {mark->start, mark->length});
        else if (cell >= 0 && !inSelection)
            select(r, page,
                   sel.byRightButton ? wordAt(r.state.book.sectionText().data(), page, cell)
                                     : rangeBetween(page, x, y, x, y));
        if (sel.byRightButton) {
            sel.markId = markUnderMenu(r, page, inSelection ? -1 : cell);
            openPopup(r, SelectionPopup::Menu, true, x, y);
        }
    }
    if (!sel.isEmpty())
        r.services.desktop->setPrimarySelection(selectedText(r.state));
    return true;
}

bool selectionKey(Reader &r, SelectionKey key)
{
    Selection &sel = r.state.book.selection;
    if (!isReading(r) || sel.isEmpty())
        return false;
    switch (key) {
    case SelectionKey::Escape:
        if (sel.popup != SelectionPopup::None)
            closePopup(r);
        else
            clearSelection(r);
        return true;
    case SelectionKey::Menu:
        sel.markId = markUnderMenu(r, shownCells(r), -1);
        openPopup(r, SelectionPopup::Menu, false, 0, 0);
        return true;
    case SelectionKey::Copy: copySelection(r); return true;
    }
    return false;
}

void showSpokenRange(Reader &r, std::int32_t start, std::int32_t length)
{
    if (!isReading(r))
        return;
    closePopup(r);
    select(r, shownCells(r), {start, length});
}

void dropSelection(Reader &r)
{
    if (!r.state.book.selection.isEmpty())
        r.services.desktop->setPrimarySelection({});
    r.state.book.selection = Selection{};
}

void copySelection(Reader &r)
{
    const std::u16string text = selectedText(r.state);
    if (!text.empty())
        r.services.desktop->copyToClipboard(text);
}

void findSelection(Reader &r)
{
    ReaderState &s = r.state;
    std::u16string text = selectedText(s);
    // The search box holds one line.
    text = text.substr(0, text.find_first_of(u"\r\n"));
    if (text.empty())
        return;
    r.services.searchBox->setText(text.substr(0, std::size_t(kSearchTextMax)));
    // The selection itself is the hit to step past.
    s.search.rememberHit(s.book.currentSection, s.book.selection.start);
    findNext(r);
}

void lookUpSelection(Reader &r)
{
    openPopup(r, SelectionPopup::Card, false, 0, 0);
}

void openSelectionInDictionary(Reader &r)
{
    std::u16string text = selectedText(r.state);
    text = text.substr(0, text.find_first_of(u"\r\n"));
    if (!text.empty())
        r.services.desktop->openDictionary(text);
}

} // namespace pagora
