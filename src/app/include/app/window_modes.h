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

} // namespace pagora
