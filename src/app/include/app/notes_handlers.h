#pragma once

namespace pagora {

struct Reader;

// The notes screen of the open book: its marks read (and found again in its
// text) from the notes store, the page holding the place being read shown.
void openNotesScreen(Reader &r);
void notesPointer(Reader &r, int x, int y);
void nextNotesPage(Reader &r);
void previousNotesPage(Reader &r);
// Entry index of the list: its page with the passage selected; a passage
// not found again shows its text and note instead.
void goToNote(Reader &r, int index);
// The book's marks as Markdown, written where the save dialog says.
void exportNotes(Reader &r);

} // namespace pagora
