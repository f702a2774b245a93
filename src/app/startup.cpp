#include "app/startup.h"

#include "app/book_place.h"
#include "app/install_mode.h"
#include "app/read_aloud.h"
#include "app/reader.h"
#include "app/settings_file.h"
#include "app/shelf_operations.h"
#include "app/window_modes.h"
#include "book/catalogue.h"
#include "render/primitives.h"
#include "state/interface_texts.h"

namespace pagora {

void constructPanel(Reader &r, const std::string &exeFolder)
{
    ReaderState &s = r.state;
    s.folders.mainShelfPath.clear();
    s.look.fontName.clear();
    s.folders.exeFolder = exeFolder;
    if (!s.folders.exeFolder.empty() && s.folders.exeFolder.back() != '/')
        s.folders.exeFolder += '/';
    if (s.folders.settingsFolder.empty())
        s.folders.settingsFolder = s.folders.exeFolder;
    if (s.folders.defaultShelfPath.empty())
        s.folders.defaultShelfPath = s.folders.exeFolder;
    s.look.screenColour = rgb(128, 128, 64);
}

void startUp(Reader &r)
{
    ReaderState &s = r.state;
    s.shelf.shelfPath = s.folders.defaultShelfPath;
    s.look.fontName = std::string(texts::defaultFaceUtf8);
    readSettings(r);
    // An installed reader makes its per-user books folder on first start.
    if (s.folders.installed && s.shelf.shelfPath == s.folders.defaultShelfPath)
        makeDirectories(*r.services.files, s.shelf.shelfPath);
    setPanelColour(s.look);
    remakeInterfaceFont(r);
    remakeReadingFont(r);
    offerWindowModes(r);
    s.window.startWindowMode = s.window.windowMode;
    applyWindowMode(r);
    s.folders.mainShelfPath = s.shelf.shelfPath;
    // Only the main shelf and its folders 1 to 9 are shelves; a damaged
    // settings file must not point the scan at some other folder.
    if (s.shelf.currentShelf < 0 || s.shelf.currentShelf > 9)
        s.shelf.currentShelf = 0;
    if (s.shelf.currentShelf > 0)
        s.shelf.shelfPath = shelfFolder(s.folders.mainShelfPath, s.shelf.currentShelf);
    s.book.contentsList.clear();
    s.shelf.clearCatalogue();
    rebuildCatalogue(*r.services.files, s.shelf, s.book, s.bookmarks, s.menu, s.search);
    reopenLastBook(r);
}

bool shutDown(Reader &r)
{
    stopReadingAloud(r);
    // On the shelf the place was kept when the book was left.
    rememberPlaceWhileReading(r);
    writeSettings(r);
    releaseCatalogue(*r.services.files, r.state.shelf, r.state.book, r.state.bookmarks);
    r.state.book.contentsList.clear();
    return true;
}

void destroyPanel(Reader &r)
{
    deleteFonts(*r.services.surface, r.fonts);
}

} // namespace pagora
