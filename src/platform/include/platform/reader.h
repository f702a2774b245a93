#pragma once
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/surface.h"
#include "platform/text_box.h"
#include "platform/window_host.h"
#include "state/reader_state.h"

// The services the reader reaches through the platform layer.
struct Platform {
    Surface *surface = nullptr;
    Dialogs *dialogs = nullptr;
    WindowHost *window = nullptr;
    Files *files = nullptr;
    TextBox *searchBox = nullptr;
};

// What every operation of the panel works on: the state and the services.
struct Reader {
    ReaderState s;
    Platform p;
};
