#pragma once

namespace pagora {

class Surface;
struct Canvas;
struct ReaderState;

// The move-to-shelf panel over the shelf screen; it also settles moveTarget
// and moveSlot on a slot that exists.
void paintMoveToShelfPanel(const Canvas &canvas, ReaderState &s);

// What a gesture on the panel asks for; the panel's own marks are already drawn.
enum class MovePanelAction { None, Cancel, Move };
// Hit-tests the slots and the two buttons; on Move, moveTarget holds the shelf.
MovePanelAction movePanelPointer(Surface &surface, ReaderState &s, int x, int y);

} // namespace pagora
