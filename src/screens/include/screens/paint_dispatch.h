#pragma once
#include "state/colour.h"

namespace pagora {

class Desktop;
class Files;
struct Canvas;
struct ReaderState;

// What the panel is cleared with on the screen shown.
Colour panelBackground(const ReaderState &s);
// Paints the screen named by currentScreen; erase fills the panel first.
// The selection's popup reads the desktop and the character index's files.
void paintScreen(const Canvas &canvas, const ReaderState &s, Desktop &desktop, Files &files, bool erase);

} // namespace pagora
