#pragma once

namespace pagora {

struct Canvas;
struct ReaderState;

// The bookmark buttons of the menu screen: toggle, next and previous; it
// notes the page's bookmark and its neighbours.
void paintBookmarkControls(const Canvas &canvas, ReaderState &s);

} // namespace pagora
