#include "app/show_screen.h"

#include "app/passage_marks.h"
#include "app/reader.h"
#include "app/selection_handlers.h"
#include "screens/paint_dispatch.h"

namespace pagora {

void enterScreen(Reader &r, Screen screen)
{
    r.s.currentScreen = screen;
    r.s.pointer.letGo();
    dropSelection(r);
}

void paintScreen(Reader &r, bool erase)
{
    paintScreen(canvasOf(r), r.s, *r.p.searchBox, *r.p.desktop, *r.p.files, erase);
}

void repaintRect(Reader &r, int left, int top, int right, int bottom)
{
    Surface &surface = *r.p.surface;
    surface.drawClipped(left, top, right, bottom, [&] {
        surface.fillRect(left, top, right, bottom, panelBackground(r.s));
        paintScreen(r, false);
    });
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
