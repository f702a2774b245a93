#pragma once

namespace pagora {

// Creates the one QApplication of a test executable on first use (the
// offscreen platform when none is set); later calls do nothing. Tests that
// paint through the Qt surface, measure fonts or run a Qt dialog call it first.
void ensureGuiApp();

} // namespace pagora
