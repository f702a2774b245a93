#pragma once
#include "platform/surface.h"

#include <cstdint>

namespace pagora {

class Surface;
class TextBox;
struct Canvas;
struct ReaderState;
struct ReadingModes;

// The search label and the two find buttons of the menu screen; the box
// beside the label is a child window the app places at searchBoxPlace.
void paintSearchControls(const Canvas &canvas, const ReaderState &s);
PixelRect searchBoxPlace(const ReaderState &s);
void hideSearchBox(TextBox &searchBox, const ReadingModes &menu);
// Inverts the cells of the last hit on the page shown.
void highlightMatch(Surface &surface, const ReaderState &s);

} // namespace pagora
