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
// down: the wheel turned towards the user.
void onWheel(Reader &r, bool down);

} // namespace pagora
