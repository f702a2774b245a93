#pragma once
#include "state/colour.h"

namespace pagora {

class Desktop;
class Files;
class LookUpIndex;
struct Canvas;
struct ReaderState;

// What the panel is cleared with on the screen shown.
Colour panelBackground(const ReaderState &s);
// Paints the screen named by currentScreen; erase fills the panel first.
// The selection's popup reads the desktop, and the look-up index opened
// from files on first use.
void paintScreen(const Canvas &canvas, const ReaderState &s, Desktop &desktop, Files &files, LookUpIndex &lookUp,
                 bool erase);

} // namespace pagora
