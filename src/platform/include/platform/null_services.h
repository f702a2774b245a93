#pragma once
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/importer.h"
#include "platform/speech.h"
#include "platform/surface.h"
#include "platform/text_box.h"
#include "platform/window_host.h"

namespace pagora {

// Services that do nothing, for a reader that needs none of a kind (a
// command-line tool, a benchmark, a test about something else). A reader
// always has every service, so no caller checks for a missing one.

// Draws nowhere; every font is kNoFont and every text 0 pixels wide.
Surface &noSurface();
// Answers every question with cancel or no.
Dialogs &noDialogs();
// A window that never changes, on a 1024 x 768 screen.
WindowHost &noWindow();
// Every call fails softly: nothing opens, folders list nothing.
Files &noFiles();
// Never created; its text is empty.
TextBox &noTextBox();
// Imports nothing: no file counts as a text or an EPUB.
BookImporter &noImporter();

} // namespace pagora
