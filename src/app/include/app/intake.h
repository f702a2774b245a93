#pragma once
#include <string>
#include <vector>

namespace pagora {

struct Reader;
struct ReaderState;

// Files dropped on the shelf screen: books are copied onto the current shelf,
// texts and EPUBs imported into it; then the shelf is listed again with the
// last new book selected. False when the shelf screen does not take drops.
bool acceptsDrops(const ReaderState &s);
// Named like something a shelf takes: a book, a text or an EPUB.
bool canTakeIn(Reader &r, const std::string &path);
void dropFiles(Reader &r, const std::vector<std::string> &paths);
// Ctrl+O: on the shelf screen, the files chosen in the platform's file
// dialog, for dropFiles; elsewhere, or when cancelled, none.
std::vector<std::string> chooseFilesToTakeIn(Reader &r);

// Files named on the command line: a book already on a shelf opens there;
// anything else is copied or imported into the main shelf and the last one
// opened, as if chosen on the shelf.
void openFiles(Reader &r, const std::vector<std::string> &paths);

} // namespace pagora
