#pragma once
// What the screen tests ask of the recording surface, and the panel most of
// them are drawn on.
#include "test_reader.h"

#include <string_view>
#include <tuple>
#include <vector>

namespace pagora {

using Rect = std::tuple<int, int, int, int>;

// Every inverted rectangle (x, y, width, height), in drawing order.
std::vector<Rect> invertsOf(const RecordingSurface &surface);
// Every rectangle painted again from the state (x, y, width, height), in
// order; clips a painter makes inside one are not repaints.
std::vector<Rect> repaintsOf(const RecordingSurface &surface);
// The control alone painted again, held down: inverted over its usual look.
bool paintedHeldDown(const RecordingSurface &surface, Rect control);
bool drewText(const RecordingSurface &surface, std::u16string_view text, int x, int y);
// A vertical label is drawn one character per 16-pixel row.
bool drewVertical(const RecordingSurface &surface, std::u16string_view text, int x, int y);
bool drewLine(const RecordingSurface &surface, Rect line);
bool drewLine(const RecordingSurface &surface, int x1, int y1, int x2, int y2);
// The y of the first drawing of text, or -1.
int textY(const RecordingSurface &surface, std::u16string_view text);

// Window mode 1 of a screen 1280 wide: a 336 x 424 panel (bottomBarTop 394,
// buttonRowTop 364, barHeight 30, columnWidth 21, columnInset 2), with both
// fonts made.
void startModeOne(TestReader &t, int screenHeight = 1024);

} // namespace pagora
