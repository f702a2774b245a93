#pragma once
#include <cstdint>

namespace pagora {

struct Reader;

enum class PointerButton { Left, Right, Other };
enum class SelectionKey { Escape, Menu, Copy };

// Selecting on the reading screen. Each returns true when the event was the
// selection's and must go no further; a plain left press still acts.
bool selectionPressed(Reader &r, int x, int y, PointerButton button, bool shift);
bool selectionMoved(Reader &r, int x, int y);
bool selectionReleased(Reader &r, int x, int y, PointerButton button);
bool selectionKey(Reader &r, SelectionKey key);

// Shows the range of the section (the sentence being read aloud) as the
// selection, painting again only the cells that change; length 0 shows none.
void showSpokenRange(Reader &r, std::int32_t start, std::int32_t length);

// Forgets the selection and its popup without drawing: the screen is about
// to be painted whole.
void dropSelection(Reader &r);

// The menu's actions.
void copySelection(Reader &r);
void findSelection(Reader &r);
void lookUpSelection(Reader &r);
void openSelectionInDictionary(Reader &r);

} // namespace pagora
