#pragma once
#include <cstdint>

namespace pagora {

class Surface;
class TextBox;
struct Canvas;
struct ReaderState;
struct ReadingModes;

// The search box and the two find buttons of the menu screen.
void paintSearchControls(const Canvas &canvas, const ReaderState &s, TextBox &box);
void hideSearchBox(TextBox &searchBox, const ReadingModes &menu);
// Inverts the cells of the last hit on the page shown.
void highlightMatch(Surface &surface, const ReaderState &s);

} // namespace pagora
