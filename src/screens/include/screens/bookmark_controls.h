#pragma once

namespace pagora {

struct Canvas;
struct ReaderState;

// The bookmark buttons of the menu screen: toggle, and next and previous
// where the marks around the page (pageHasBookmark, next/prevMarkPage) have one.
void paintBookmarkControls(const Canvas &canvas, const ReaderState &s);

} // namespace pagora
