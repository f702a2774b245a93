#pragma once
#include "app/book_place.h"
#include "app/work_ahead.h"
#include "platform/desktop.h"
#include "platform/null_services.h"
#include "render/primitives.h"
#include "state/reader_state.h"

namespace pagora {

// The services the reader is assembled with. Never null: a service nobody
// set does nothing.
struct Platform {
    Surface *surface = &noSurface();
    // Draws nothing anyone sees: what is drawn ahead only fills the
    // surface's caches.
    Surface *glyphWarmer = &noSurface();
    Dialogs *dialogs = &noDialogs();
    WindowHost *window = &noWindow();
    Files *files = &noFiles();
    TextBox *searchBox = &noTextBox();
    BookImporter *importer = &noImporter();
    Desktop *desktop = &noDesktop();
    NotesStore *notes = &noNotes();
};

// What every operation of the panel works on: the state, the fonts made on
// the surface, and the services. The layers below take only the parts they use.
struct Reader {
    ReaderState s;
    PainterFonts fonts;
    Platform p;
    BookKeying keying;
    WorkAhead ahead;
};

// The reader's surface and the fonts made on it, for the painters.
Canvas canvasOf(Reader &r);
// The reader's fonts made again on its surface.
void createInterfaceFont(Reader &r);
void createReadingFont(Reader &r);

} // namespace pagora
