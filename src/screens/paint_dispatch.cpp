#include "screens/paint_dispatch.h"

#include "platform/reader.h"
#include "render/indicators.h"
#include "render/page_painter.h"
#include "screens/help_contents.h"
#include "screens/menu_screen.h"
#include "screens/move_to_shelf.h"
#include "screens/notes_screen.h"
#include "screens/search_controls.h"
#include "screens/selection_popups.h"
#include "screens/shelf_screen.h"

namespace pagora {

namespace {

constexpr Colour kBlack = rgb(0, 0, 0);

} // namespace

void paintScreen(Reader &r, bool erase)
{
    const ReaderState &s = r.s;
    Surface &surface = *r.p.surface;
    const bool reading = s.currentScreen == Screen::ReadingScreen;
    const Colour background = reading ? s.look.readingColour : s.look.screenColour;
    surface.setBackgroundColour(background);
    if (!reading)
        surface.setTextColour(kBlack);
    surface.setFillColour(background);
    if (erase)
        surface.fillRect(0, 0, s.window.clientWidth, s.window.clientHeight);

    switch (s.currentScreen) {
    case Screen::ShelfScreen: paintShelfScreen(r); break;
    case Screen::ReadingScreen:
        if (s.book.pages.shownPageStart() >= 0)
            drawPage(r, s.book.pages.shownPageStart());
        if (s.menu.showSectionNumber)
            drawIndicator(r, Indicator::Section);
        if (s.menu.showPageNumber)
            drawIndicator(r, Indicator::Page);
        if (s.menu.showMatch)
            highlightMatch(r);
        paintSelection(r);
        break;
    case Screen::MenuScreen: paintMenuScreen(r); break;
    case Screen::HelpScreen: paintHelpScreen(r); break;
    case Screen::ContentsScreen: paintContentsScreen(r); break;
    case Screen::NotesScreen: paintNotesScreen(r); break;
    case Screen::MoveToShelfPanel:
        paintShelfScreen(r);
        paintMoveToShelfPanel(r);
        break;
    default: break;
    }
}

} // namespace pagora
