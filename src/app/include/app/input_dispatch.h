#pragma once
#include <cstdint>

namespace pagora {

struct Reader;

enum class Key { Other, PageDown, PageUp, Space, Backspace, Left, Right, Up, Down };

void dispatchPointer(Reader &r, int x, int y);
void onPointerPressed(Reader &r, int x, int y, bool leftButton);
void onPointerMoved(Reader &r, int x, int y);
void onPointerReleased(Reader &r, int x, int y, bool leftButton);
void onKeyReleased(Reader &r, Key key);

// Keys acted on when pressed: Esc (Back), F11 (FullScreen), Ctrl+F (Find),
// F3 and Shift+F3 (FindNext, FindPrevious), Enter (Confirm) and Alt+Home
// (Shelf). False when the key means nothing on the screen shown.
enum class Command { Back, FullScreen, Find, FindNext, FindPrevious, Confirm, Shelf };
bool onCommand(Reader &r, Command command);
// down: the wheel turned towards the user.
void onWheel(Reader &r, bool down);

} // namespace pagora
