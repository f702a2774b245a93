#pragma once
#include <string>
#include <string_view>

namespace pagora {

class Shelf;
class OpenBook;
class Bookmarks;
struct ReadingModes;
class Search;
class Files;

// shelfPath for a shelf number: the main shelf, or its sub-folder "1".."9".
std::string shelfFolder(const std::string &mainShelfPath, int shelf);

// Adds the books of shelfPath to the catalogue: the .updb files, then the .pdb.
// The order of a shelf within each extension group: numbers by their value
// ("2" before "10"), a name before the same name with more ("唐詩" before
// "唐詩 (2)"), the rest by bytes.
bool comesBefore(std::string_view a, std::string_view b);
void scanShelf(Files &files, Shelf &shelf);
// The catalogue of shelfPath scanned anew: nothing open or chosen in it, no
// indicator or search hit left from the book read before.
void rebuildCatalogue(Files &files, Shelf &shelf, OpenBook &book, Bookmarks &marks, ReadingModes &menu, Search &search);
// The open book's bookmarks stored, its file closed, the entries freed.
void releaseCatalogue(Files &files, Shelf &shelf, OpenBook &book, Bookmarks &marks);
// The catalogue of shelfPath in place of the current one (a numbered shelf
// folder is made first); the open book's marks are stored.
void reloadShelf(Files &files, Shelf &shelf, OpenBook &book, Bookmarks &marks, ReadingModes &menu, Search &search);

// Books on one shelf page: 48 in window modes 3 and up, else 32.
int shelfPageSize(int windowMode);
// shelfPageStart := P x (selectedBook / P), 0 when none is selected.
void placeShelfPageOnSelection(Shelf &shelf, int windowMode);

// The selected entry's place to and from the position fields.
void loadEntryPosition(const Shelf &shelf, OpenBook &book);
void storeEntryPosition(Shelf &shelf, const OpenBook &book);

} // namespace pagora
