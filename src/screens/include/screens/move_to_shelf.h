#pragma once
#include "platform/surface.h"

#include <cstdint>

namespace pagora {

class Surface;
struct Canvas;
struct ReaderState;
class Shelf;

// The panel's choice settled on a slot that exists: a target outside 0..9
// is the main shelf, and a book on the main shelf goes to shelf 1 at first.
struct MoveChoice {
    std::int16_t target = 0;
    std::int16_t slot = 1;
};
MoveChoice settledMoveChoice(const Shelf &shelf);

// The move-to-shelf panel over the shelf screen, moveSlot marked.
void paintMoveToShelfPanel(const Canvas &canvas, const ReaderState &s);

// What a gesture on the panel asks for.
enum class MovePanelAction { None, Cancel, Move };
struct MovePanelStep {
    MovePanelAction action = MovePanelAction::None;
    // The choice after the gesture, for the shelf's moveTarget and moveSlot:
    // the slot marked (1..8), and on Move the shelf to move to.
    MoveChoice choice;
    // The button a press holds down; empty for anything else.
    PixelRect held;
};
// Hit-tests the slots and the two buttons.
MovePanelStep movePanelPointer(const ReaderState &s, int x, int y);

// Where the panel's slot (1..9) and its two buttons take a press, and the
// shelf a slot offers (0 the main shelf), for what reads the panel out.
PixelRect moveSlotPlace(const ReaderState &s, int slot);
PixelRect moveButtonPlace(const ReaderState &s, bool ok);
int moveSlotShelf(const ReaderState &s, int slot);

} // namespace pagora
