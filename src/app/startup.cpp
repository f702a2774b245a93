#include "app/startup.h"

#include "app/book_place.h"
#include "app/install_mode.h"
#include "app/settings_file.h"
#include "app/shelf_operations.h"
#include "app/window_modes.h"
#include "book/catalogue.h"
#include "platform/reader.h"
#include "render/primitives.h"
#include "state/interface_texts.h"

namespace pagora {

void constructPanel(Reader &r, const std::string &exeFolder)
{
    ReaderState &s = r.s;
    s.mainShelfPath.clear();
    s.fontName.clear();
    s.exeFolder = exeFolder;
    if (!s.exeFolder.empty() && s.exeFolder.back() != '/')
        s.exeFolder += '/';
    if (s.settingsFolder.empty())
        s.settingsFolder = s.exeFolder;
    if (s.defaultShelfPath.empty())
        s.defaultShelfPath = s.exeFolder;
    s.screenColour = rgb(128, 128, 64);
    r.p.surface->setBackgroundColour(s.screenColour);
}

void startUp(Reader &r)
{
    ReaderState &s = r.s;
    s.shelfPath = s.defaultShelfPath;
    s.fontName = std::string(texts::defaultFaceUtf8);
    readSettings(r);
    // An installed reader makes its per-user books folder on first start.
    if (s.installed && s.shelfPath == s.defaultShelfPath)
        makeDirectories(*r.p.files, s.shelfPath);
    computeReadingColour(s);
    setPanelColour(s);
    createInterfaceFont(r);
    createReadingFont(r);
    offerWindowModes(r);
    s.startWindowMode = s.windowMode;
    applyWindowMode(r);
    s.mainShelfPath = s.shelfPath;
    // Only the main shelf and its folders 1 to 9 are shelves; a damaged
    // settings file must not point the scan at some other folder.
    if (s.currentShelf < 0 || s.currentShelf > 9)
        s.currentShelf = 0;
    if (s.currentShelf > 0)
        s.shelfPath = shelfFolder(s.mainShelfPath, s.currentShelf);
    s.contentsList.clear();
    s.catalogue.clear();
    rebuildCatalogue(r);
    reopenLastBook(r);
}

bool shutDown(Reader &r)
{
    // On the shelf the place was kept when the book was left.
    rememberPlaceWhileReading(r);
    writeSettings(r);
    releaseCatalogue(r);
    r.s.contentsList.clear();
    return true;
}

void destroyPanel(Reader &r)
{
    if (r.s.readingFont != kNoFont)
        r.p.surface->deleteFont(r.s.readingFont);
    if (r.s.interfaceFont != kNoFont)
        r.p.surface->deleteFont(r.s.interfaceFont);
    r.s.readingFont = r.s.interfaceFont = kNoFont;
}

void showMessage(Reader &r, std::u16string_view text)
{
    r.p.dialogs->showMessage(text);
}

bool askYesNo(Reader &r, std::u16string_view text)
{
    return r.p.dialogs->askYesNo(text);
}

} // namespace pagora
