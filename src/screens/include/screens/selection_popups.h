#pragma once
#include "render/text_selection.h"

#include <string>
#include <vector>

namespace pagora {

struct Reader;
struct ReaderState;
class CharacterIndex;
enum class SelectionPopup : std::int8_t;

enum class MenuEntry { Copy, Find, LookUp, Dictionary, Mark, Note, EditNote, Recolour, Unmark };

// The context menu's entries; the dictionary only when one is installed; on
// a marked passage what can be done to its mark, else marking the selection.
std::vector<MenuEntry> menuEntries(Reader &r);
// The entry under a point of the open menu, or -1.
int menuEntryAt(Reader &r, int x, int y);
// The colour 1..4 of the swatch under a point of the open row of swatches, or 0.
int swatchAt(const Reader &r, int x, int y);

struct PopupRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// Where a popup goes: the menu at the pointer (anchored), the card beside the
// selection and never over it where the panel has room; always in the panel.
PopupRect placePopup(Reader &r, SelectionPopup kind, bool anchored, int x, int y);

// The index the card reads, opened on first use; nullptr without the data.
const CharacterIndex *characterIndex(Reader &r);

// The selected text as the book stores it.
std::u16string selectedText(const ReaderState &s);

// Inverts the cells of the page that lie in exactly one of the two ranges:
// turns what is shown for from into what is shown for to.
void invertChangedCells(Reader &r, const PageCells &page, TextRange from, TextRange to);
// The selection's cells and the open popup, over the page as drawn.
void paintSelection(Reader &r);
// The open popup alone, over whatever is drawn.
void paintSelectionPopup(Reader &r);

} // namespace pagora
