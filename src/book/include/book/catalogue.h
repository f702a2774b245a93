#pragma once
#include <string>
#include <string_view>

namespace pagora {

struct ReaderState;
class Shelf;
class OpenBook;
class Files;

// shelfPath for a shelf number: the main shelf, or its sub-folder "1".."9".
std::string shelfFolder(const std::string &mainShelfPath, int shelf);

// Adds the books of shelfPath to the catalogue: the .updb files, then the .pdb.
// The order of a shelf within each extension group: numbers by their value
// ("2" before "10"), a name before the same name with more ("唐詩" before
// "唐詩 (2)"), the rest by bytes.
bool comesBefore(std::string_view a, std::string_view b);
void scanShelf(Files &files, Shelf &shelf);
void rebuildCatalogue(Files &files, ReaderState &s);
void releaseCatalogue(Files &files, ReaderState &s);
// The catalogue of shelfPath in place of the current one (a numbered shelf
// folder is made first); the open book's marks are stored.
void reloadShelf(Files &files, ReaderState &s);

// Books on one shelf page: 48 in window modes 3 and up, else 32.
int shelfPageSize(int windowMode);
// shelfPageStart := P x (selectedBook / P), 0 when none is selected.
void placeShelfPageOnSelection(Shelf &shelf, int windowMode);

// The selected entry's place to and from the position fields.
void loadEntryPosition(const Shelf &shelf, OpenBook &book);
void storeEntryPosition(Shelf &shelf, const OpenBook &book);

} // namespace pagora
