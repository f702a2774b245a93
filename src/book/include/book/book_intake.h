#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace pagora {

class BookImporter;
class Files;
struct Folders;

// What becomes of a file brought to a shelf: dropped on the shelf screen or
// named on the command line.
enum class IntakeAction {
    Copy,         // a book, copied onto the shelf under a free name
    Import,       // a text or EPUB file, imported into a new .updb book
    AlreadyThere, // a book that is already on a shelf: nothing to write
    NotABook,     // named like a book but not one the reader can open
    Unsupported,  // any other file
};

struct IntakeItem {
    std::string source; // the path as given
    IntakeAction action = IntakeAction::Unsupported;
    int shelf = 0;        // the shelf the book goes to, or is on
    std::string fileName; // AlreadyThere: its name on that shelf
};

// The shelf (0 = main, 1..9) whose folder holds path, or -1.
int shelfHolding(Files &files, const Folders &folders, const std::string &path);

// Classifies each path for the shelf `shelf`. With anyShelf, a book already
// on any shelf counts as there (opening a book from the file manager); else
// only one on `shelf` itself does (a drop never duplicates a book onto the
// shelf it came from).
std::vector<IntakeItem> planIntake(Files &files, BookImporter &importer, const Folders &folders,
                                   const std::vector<std::string> &paths, int shelf, bool anyShelf);

// The file name of the book made from path: its name with .updb for an
// imported file, unchanged for a book.
std::string bookNameFor(const IntakeItem &item);

// wanted, or "stem (2).ext", "stem (3).ext", ... whichever is not yet in
// folder; empty when no free name is found.
std::string freeFileName(Files &files, const std::string &folder, const std::string &wanted);

// The name of a book in folder whose sections hold the same text as the
// book at path (a copy of it, whatever its bookmarks), or empty. A book
// file at path itself is not counted.
std::string sameBookIn(Files &files, const std::string &folder, const std::string &path);

// Ends with .pdb or .updb, any case.
bool isBookName(std::string_view name);

// The last path component.
std::string baseName(const std::string &path);

} // namespace pagora
