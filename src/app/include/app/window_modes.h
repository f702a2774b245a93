#pragma once
#include "platform/window_host.h"

namespace pagora {

struct Reader;
struct ReaderState;

void offerWindowModes(Reader &r);
void applyWindowMode(Reader &r);
void computeLayout(ReaderState &s);
void applyAndReflow(Reader &r);
void onWindowState(Reader &r, WindowState state);
// The window manager gave the form's client area another size.
void onFormResized(Reader &r, int width, int height);

} // namespace pagora
