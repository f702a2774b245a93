#include "screens/paint_dispatch.h"

#include "render/indicators.h"
#include "render/page_painter.h"
#include "render/primitives.h"
#include "screens/help_contents.h"
#include "screens/menu_screen.h"
#include "screens/move_to_shelf.h"
#include "screens/notes_screen.h"
#include "screens/search_controls.h"
#include "screens/selection_popups.h"
#include "screens/shelf_screen.h"
#include "state/reader_state.h"

namespace pagora {

Colour panelBackground(const ReaderState &s)
{
    return s.currentScreen == Screen::ReadingScreen ? s.look.readingColour() : s.look.screenColour;
}

void paintScreen(const Canvas &canvas, const ReaderState &s, Desktop &desktop, Files &files, LookUpIndex &lookUp,
                 bool erase)
{
    if (erase)
        canvas.surface.fillRect(0, 0, s.window.clientWidth, s.window.clientHeight, panelBackground(s));

    switch (s.currentScreen) {
    case Screen::ShelfScreen: paintShelfScreen(canvas, s); break;
    case Screen::ReadingScreen:
        if (s.book.pages.shownPageStart() >= 0)
            drawPage(canvas, s, s.book.pages.shownPageStart());
        if (s.menu.showSectionNumber)
            drawIndicator(canvas, s, Indicator::Section);
        if (s.menu.showPageNumber)
            drawIndicator(canvas, s, Indicator::Page);
        if (s.menu.showMatch)
            highlightMatch(canvas.surface, s);
        paintSelection(canvas.surface, s);
        paintSelectionPopup(canvas, s, desktop, files, lookUp);
        break;
    case Screen::MenuScreen: paintMenuScreen(canvas, s); break;
    case Screen::HelpScreen: paintHelpScreen(canvas, s); break;
    case Screen::ContentsScreen: paintContentsScreen(canvas, s); break;
    case Screen::NotesScreen: paintNotesScreen(canvas, s); break;
    case Screen::MoveToShelfPanel:
        paintShelfScreen(canvas, s);
        paintMoveToShelfPanel(canvas, s);
        break;
    default: break;
    }
    // A control held down by the press shows inverted over whatever it is.
    if (const PixelRect &held = s.pointer.pressed(); !held.isEmpty())
        canvas.surface.invertRect(held.x, held.y, held.width, held.height);
}

} // namespace pagora
