#include "app/show_screen.h"

#include "app/selection_handlers.h"
#include "platform/reader.h"
#include "screens/paint_dispatch.h"

namespace pagora {

void enterScreen(Reader &r, Screen screen)
{
    r.s.currentScreen = screen;
    r.s.pointer.letGo();
    dropSelection(r);
}

void showScreen(Reader &r, Screen screen)
{
    enterScreen(r, screen);
    paintScreen(r, true);
}

} // namespace pagora
