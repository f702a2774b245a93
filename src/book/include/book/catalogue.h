#pragma once
#include <string>

namespace pagora {

struct Reader;
struct ReaderState;

// shelfPath for a shelf number: the main shelf, or its sub-folder "1".."9".
std::string shelfFolder(const std::string &mainShelfPath, int shelf);

void scanShelf(Reader &r);
void rebuildCatalogue(Reader &r);
void releaseCatalogue(Reader &r);
// The catalogue of shelfPath in place of the current one (a numbered shelf
// folder is made first); the open book's marks are stored.
void reloadShelf(Reader &r);

// Books on one shelf page: 48 in window modes 3 and up, else 32.
int shelfPageSize(const ReaderState &s);
// shelfPageStart := P x (selectedBook / P), 0 when none is selected.
void placeShelfPageOnSelection(ReaderState &s);

// The selected entry's place to and from the position fields.
void loadEntryPosition(ReaderState &s);
void storeEntryPosition(ReaderState &s);

} // namespace pagora
