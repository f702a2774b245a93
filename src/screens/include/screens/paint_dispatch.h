#pragma once
#include "state/colour.h"

namespace pagora {

struct Reader;
struct ReaderState;

// What the panel is cleared with on the screen shown.
Colour panelBackground(const ReaderState &s);
// Paints the screen named by currentScreen; erase fills the panel first.
void paintScreen(Reader &r, bool erase);
// Paints the screen again inside the rectangle only, on a cleared background:
// what takes a mark off that inverting back cannot (a box drawn in another
// colour). For handlers; a painter never asks for another paint.
void repaintRect(Reader &r, int left, int top, int right, int bottom);

} // namespace pagora
