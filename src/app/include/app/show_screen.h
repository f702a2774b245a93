#pragma once
#include <cstdint>
#include <functional>

namespace pagora {

struct PixelRect;
struct Reader;
struct ReaderState;
enum class Screen : std::int16_t;

// The only ways to change screens. Both release the press that led here and
// drop the selection, which belongs to the page it was made on.

// The screen, painted whole.
void showScreen(Reader &r, Screen screen);
// The screen without a paint of its own: before the panel's first paint, or
// for a panel its caller draws over the screen below.
void enterScreen(Reader &r, Screen screen);

// Paints the screen named by currentScreen; erase fills the panel first.
void paintShownScreen(Reader &r, bool erase);
// Paints the screen again inside the rectangle only, on a cleared background:
// what takes a mark off that inverting back cannot (a box drawn in another
// colour). For handlers; a painter never asks for another paint.
void repaintRect(Reader &r, int left, int top, int right, int bottom);
// The rectangle painted again; an empty one paints nothing.
void repaintBox(Reader &r, const PixelRect &box);
// The control under a press held down, or let up again: the state changes
// and the control is painted again from it.
void holdDown(Reader &r, const PixelRect &control);
void letUp(Reader &r);

// Works out from the state what the screen shown lists and marks (the page
// of a list and where the next and previous pages start, the bookmarks
// around the page, the move panel's slot) and stores it: what a paint and
// the handlers after it read.
void settleScreen(ReaderState &s);
// The screen shown painted again, settled first, whole (cleared) or inside
// a rectangle; in search mode the menu's box stands over it with the focus.
void repaintShown(Reader &r);
void repaintShownRect(Reader &r, int left, int top, int right, int bottom);

// The bottom bar of a paged list (contents, notes): "下一頁" at the left,
// "返回" in the middle, "上一頁" at the right. A press inverts the button,
// the release acts; a page button with no page to go to does nothing.
struct ListBar {
    bool hasNext = false;
    bool hasPrevious = false;
    std::function<void()> next, previous, back;
};
void listBottomBar(Reader &r, int x, const ListBar &bar);

} // namespace pagora
