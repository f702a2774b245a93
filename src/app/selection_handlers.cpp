#include "app/selection_handlers.h"

#include "app/search.h"
#include "platform/reader.h"
#include "screens/selection_popups.h"

#include <cstdlib>

namespace pagora {

namespace {

// Pixels a press must travel before it drags rather than clicks.
constexpr int kDragDistance = 4;

bool isReading(const Reader &r)
{
    return r.s.currentScreen == Screen::ReadingScreen && r.s.book.pages.shownPageStart() >= 0;
}

PageCells shownCells(const Reader &r)
{
    return pageCells(r.s, r.s.book.pages.shownPageStart());
}

// Shows range as the selection, inverting only the cells that change.
void select(Reader &r, const PageCells &page, TextRange range)
{
    Selection &sel = r.s.book.selection;
    invertChangedCells(r, page, {sel.start, sel.length}, range);
    sel.start = range.start;
    sel.length = range.length;
}

void closePopup(Reader &r)
{
    Selection &sel = r.s.book.selection;
    if (sel.popup == SelectionPopup::None)
        return;
    sel.popup = SelectionPopup::None;
    r.p.surface->repaintRect(sel.popupLeft, sel.popupTop, sel.popupRight, sel.popupBottom);
}

void openPopup(Reader &r, SelectionPopup kind, bool anchored, int x, int y)
{
    closePopup(r);
    Selection &sel = r.s.book.selection;
    if (sel.isEmpty())
        return;
    const PopupRect box = placePopup(r, kind, anchored, x, y);
    sel.popup = kind;
    sel.popupLeft = box.left;
    sel.popupTop = box.top;
    sel.popupRight = box.right;
    sel.popupBottom = box.bottom;
    // Opaque: drawn over the page, nothing beneath needs painting again.
    paintSelectionPopup(r);
}

void clearSelection(Reader &r)
{
    closePopup(r);
    if (r.s.book.selection.isEmpty())
        return;
    select(r, shownCells(r), {});
    r.p.desktop->setPrimarySelection({});
}

void chooseEntry(Reader &r, int index)
{
    const auto entries = menuEntries(r);
    closePopup(r);
    switch (entries[std::size_t(index)]) {
    case MenuEntry::Copy: copySelection(r); break;
    case MenuEntry::Find: findSelection(r); break;
    case MenuEntry::LookUp: lookUpSelection(r); break;
    case MenuEntry::Dictionary: openSelectionInDictionary(r); break;
    }
}

} // namespace

bool selectionPressed(Reader &r, int x, int y, PointerButton button, bool shift)
{
    if (!isReading(r))
        return false;
    Selection &sel = r.s.book.selection;
    if (sel.popup != SelectionPopup::None && button == PointerButton::Left) {
        // A click on the popup acts there; anywhere else it only closes it.
        const int entry = menuEntryAt(r, x, y);
        const bool onPopup = x >= sel.popupLeft && x < sel.popupRight && y >= sel.popupTop && y < sel.popupBottom;
        if (entry >= 0)
            chooseEntry(r, entry);
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
    Selection &sel = r.s.book.selection;
    if (!sel.dragging || !isReading(r))
        return false;
    if (!sel.moved && std::abs(x - sel.pressX) + std::abs(y - sel.pressY) < kDragDistance)
        return true;
    sel.moved = true;
    const PageCells page = shownCells(r);
    select(r, page, rangeBetween(page, sel.pressX, sel.pressY, x, y));
    return true;
}

bool selectionReleased(Reader &r, int x, int y, PointerButton button)
{
    Selection &sel = r.s.book.selection;
    if (!sel.dragging || !isReading(r))
        return false;
    if ((button == PointerButton::Right) != sel.byRightButton)
        return true;
    sel.dragging = false;
    const PageCells page = shownCells(r);
    if (sel.moved) {
        select(r, page, rangeBetween(page, sel.pressX, sel.pressY, x, y));
    } else {
        // A click: the word under it, unless it is already selected.
        const int cell = cellAt(page, sel.pressX, sel.pressY);
        if (cell >= 0 && !sel.contains(page.cells[std::size_t(cell)].offset))
            select(r, page,
                   sel.byRightButton ? wordAt(r.s.book.sectionText.data(), page, cell)
                                     : rangeBetween(page, x, y, x, y));
        if (sel.byRightButton)
            openPopup(r, SelectionPopup::Menu, true, x, y);
    }
    if (!sel.isEmpty())
        r.p.desktop->setPrimarySelection(selectedText(r.s));
    return true;
}

bool selectionKey(Reader &r, SelectionKey key)
{
    Selection &sel = r.s.book.selection;
    if (!isReading(r) || sel.isEmpty())
        return false;
    switch (key) {
    case SelectionKey::Escape:
        if (sel.popup != SelectionPopup::None)
            closePopup(r);
        else
            clearSelection(r);
        return true;
    case SelectionKey::Menu: openPopup(r, SelectionPopup::Menu, false, 0, 0); return true;
    case SelectionKey::Copy: copySelection(r); return true;
    }
    return false;
}

void dropSelection(Reader &r)
{
    if (!r.s.book.selection.isEmpty())
        r.p.desktop->setPrimarySelection({});
    r.s.book.selection = Selection{};
}

void copySelection(Reader &r)
{
    const std::u16string text = selectedText(r.s);
    if (!text.empty())
        r.p.desktop->copyToClipboard(text);
}

void findSelection(Reader &r)
{
    ReaderState &s = r.s;
    std::u16string text = selectedText(s);
    // The search box holds one line.
    text = text.substr(0, text.find_first_of(u"\r\n"));
    if (text.empty())
        return;
    r.p.searchBox->setText(text.substr(0, std::size_t(kSearchTextMax)));
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
    std::u16string text = selectedText(r.s);
    text = text.substr(0, text.find_first_of(u"\r\n"));
    if (!text.empty())
        r.p.desktop->openDictionary(text);
}

} // namespace pagora
