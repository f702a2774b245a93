#pragma once
#include <cstdint>

namespace pagora {

struct Reader;
enum class Screen : std::int16_t;

// The only ways to change screens. Both release the press that led here and
// drop the selection, which belongs to the page it was made on.

// The screen, painted whole.
void showScreen(Reader &r, Screen screen);
// The screen without a paint of its own: before the panel's first paint, or
// for a panel its caller draws over the screen below.
void enterScreen(Reader &r, Screen screen);

// Paints the screen named by currentScreen; erase fills the panel first.
void paintScreen(Reader &r, bool erase);
// Paints the screen again inside the rectangle only, on a cleared background:
// what takes a mark off that inverting back cannot (a box drawn in another
// colour). For handlers; a painter never asks for another paint.
void repaintRect(Reader &r, int left, int top, int right, int bottom);

} // namespace pagora
