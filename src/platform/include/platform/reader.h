#pragma once
#include "platform/desktop.h"
#include "platform/null_services.h"
#include "state/reader_state.h"

namespace pagora {

// The services the reader reaches through the platform layer. Never null:
// a service nobody set does nothing.
struct Platform {
    Surface *surface = &noSurface();
    Dialogs *dialogs = &noDialogs();
    WindowHost *window = &noWindow();
    Files *files = &noFiles();
    TextBox *searchBox = &noTextBox();
    BookImporter *importer = &noImporter();
    Desktop *desktop = &noDesktop();
    NotesStore *notes = &noNotes();
};

// What every operation of the panel works on: the state, the fonts made on
// the surface, and the services.
struct Reader {
    ReaderState s;
    PainterFonts fonts;
    Platform p;
};

} // namespace pagora
