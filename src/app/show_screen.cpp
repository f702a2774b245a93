#include "app/show_screen.h"

#include "app/passage_marks.h"
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
    if (screen == Screen::ReadingScreen)
        refreshShownMarks(r);
    paintScreen(r, true);
    // The search box may have held the focus.
    if (screen == Screen::ReadingScreen)
        r.p.window->focusPanel();
}

} // namespace pagora
