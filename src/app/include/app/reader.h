#pragma once
#include "app/book_place.h"
#include "app/read_aloud.h"
#include "app/work_ahead.h"
#include "book/character_index.h"
#include "notes/notes_store.h"
#include "platform/desktop.h"
#include "platform/null_services.h"
#include "render/primitives.h"
#include "render/text_selection.h"
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
    Speech *speech = &noSpeech();
};

// What every operation of the panel works on: the state, the fonts made on
// the surface, and the services. The layers below take only the parts they use.
struct Reader {
    ReaderState state;
    PainterFonts fonts;
    Platform services;
    BookKeying keying;
    ReadAloud aloud;
    // Kept between events for the selection: the cells of the page shown,
    // laid out again at every drag step into the same room, and the look-up
    // index, opened the first time a card needs it.
    PageCells shownCells;
    LookUpIndex lookUp;
    WorkAhead ahead;
};

// The reader's surface and the fonts made on it, for the painters.
Canvas canvasOf(Reader &r);
// The reader's fonts made again on its surface.
void remakeInterfaceFont(Reader &r);
void remakeReadingFont(Reader &r);

} // namespace pagora
