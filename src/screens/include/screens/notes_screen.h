#pragma once
#include "state/pixel_rect.h"

namespace pagora {

class Surface;
struct Canvas;
struct NotesList;
struct ReaderState;

// Entries on one page of the notes screen: one per column, as the contents.
constexpr int kNotesPerPage = 16;
// The export button at the right end of the title bar.
constexpr int kExportButtonWidth = 48;

// The marked passages of the open book, a column each: its section title
// (or that it was not found again), its first characters, and its note's.
void paintNotesScreen(const Canvas &canvas, const ReaderState &s);
// The first entry of the page shown: first, or 0 when it lies outside the list.
int shownNotesFirst(const NotesList &notes);
// The column of entry index, inverted to mark it; empty when it is not on
// the page shown.
PixelRect noteEntryBox(const ReaderState &s, int index);
void highlightNoteEntry(Surface &surface, const ReaderState &s, int index);
// The entry under x on the page shown, or -1 over an empty column.
int noteEntryAt(const ReaderState &s, int x);

} // namespace pagora
