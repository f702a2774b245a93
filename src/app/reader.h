#pragma once
#include "app/reader_state.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/importer.h"
#include "platform/surface.h"
#include "platform/text_box.h"
#include "platform/window_host.h"

// The services the reader reaches through the platform layer.
struct Platform {
    Surface *surface = nullptr;
    Dialogs *dialogs = nullptr;
    WindowHost *window = nullptr;
    Files *files = nullptr;
    TextBox *searchBox = nullptr;
    BookImporter *importer = nullptr;
};

// What every operation of the panel works on: the state and the services.
struct Reader {
    ReaderState s;
    Platform p;
};
