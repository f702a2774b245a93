#pragma once
#include "render/text_selection.h"
#include "state/pixel_rect.h"

#include <span>
#include <string>
#include <vector>

namespace pagora {

class Desktop;
class Files;
class Surface;
struct Canvas;
struct Folders;
struct ReaderState;
struct Selection;
class CharacterIndex;
class LookUpIndex;
enum class SelectionPopup : std::int8_t;

enum class MenuEntry { Copy, Find, LookUp, Dictionary, Mark, Note, EditNote, Recolour, Unmark, ReadAloud };

// The context menu's entries; the dictionary only when one is installed;
// reading aloud from the selection's start; on a marked passage what can be
// done to its mark, else marking the selection.
std::vector<MenuEntry> menuEntries(Desktop &desktop, const Selection &sel);
// The entry under a point of the open menu, or -1.
int menuEntryAt(Desktop &desktop, const Selection &sel, int x, int y);
// The colour 1..4 of the swatch under a point of the open row of swatches, or 0.
int swatchAt(const Selection &sel, int x, int y);

struct PopupRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// Where a popup goes: the menu at the pointer (anchored), the card beside the
// selection and never over it where the panel has room; always in the panel.
// The card's index is opened from files on first use.
PopupRect placePopup(Desktop &desktop, Files &files, LookUpIndex &lookUp, const ReaderState &s, SelectionPopup kind,
                     bool anchored, int x, int y);

// The selected text as the book stores it.
std::u16string selectedText(const ReaderState &s);

// The box around the cells of the page that lie in exactly one of the two
// ranges: what must be painted again when the selection goes from one to the
// other. Empty when none do.
PixelRect changedCellsBounds(const PageCells &page, TextRange from, TextRange to);
// Inverts the cells of the page that lie in exactly one of the two ranges:
// turns what is shown for from into what is shown for to.
void invertChangedCells(Surface &surface, const PageCells &page, TextRange from, TextRange to);
// The selection's cells over the page as drawn.
void paintSelection(Surface &surface, const ReaderState &s);
// The open popup alone, over whatever is drawn: the menu's entries, or the
// card's rows from index (nullptr: the data is missing).
void paintSelectionPopup(const Canvas &canvas, const ReaderState &s, std::span<const MenuEntry> entries,
                         const CharacterIndex *index);
// The same with the entries the desktop offers and the index found beside
// the executable, opened from files on first use.
void paintSelectionPopup(const Canvas &canvas, const ReaderState &s, Desktop &desktop, Files &files,
                         LookUpIndex &lookUp);

} // namespace pagora
