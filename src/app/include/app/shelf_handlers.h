#pragma once

namespace pagora {

struct Reader;

// The catalogue of shelfPath, shown on the shelf screen.
void switchShelf(Reader &r);
void shelfPointer(Reader &r, int x, int y);
void nextShelfPage(Reader &r);
void previousShelfPage(Reader &r);

// The move-to-shelf panel over the shelf screen, and its gestures.
void showMoveToShelfPanel(Reader &r);
void moveToShelfPointer(Reader &r, int x, int y);
// The folder chooser; a new main shelf is scanned and shown.
void chooseMainShelf(Reader &r);

} // namespace pagora
