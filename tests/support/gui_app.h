#pragma once

namespace pagora {

// Creates the one QGuiApplication of a test executable on first use (the
// offscreen platform when none is set); later calls do nothing. Tests that
// paint through the Qt surface or measure fonts call it first.
void ensureGuiApp();

} // namespace pagora
