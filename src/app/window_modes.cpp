#include "app/window_modes.h"

void offerWindowModes(Reader &)
{}

void applyWindowMode(Reader &)
{}

void computeLayout(ReaderState &)
{}

void applyAndReflow(Reader &)
{}

void onWindowState(Reader &, WindowState)
{}
