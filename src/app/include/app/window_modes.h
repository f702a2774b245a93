#pragma once
#include "platform/window_host.h"

namespace pagora {

struct Reader;
struct ReaderState;

void offerWindowModes(Reader &r);
void applyWindowMode(Reader &r);
void applyAndReflow(Reader &r);
void onWindowState(Reader &r, WindowState state);
// The window manager gave the form's client area another size.
void onFormResized(Reader &r, int width, int height);
// Borderless full screen, or back to the size it was entered from.
void toggleFullScreen(Reader &r);
// The fixed size a window with caption returns to when restored.
std::int16_t restoredWindowMode(const ReaderState &s);
// The mode the settings file keeps: a window sized by dragging or tiling
// starts next time at the size it returns to, not in full screen.
std::int16_t storedWindowMode(const ReaderState &s);

} // namespace pagora
