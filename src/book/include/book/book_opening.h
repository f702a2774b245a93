#pragma once

namespace pagora {

class Shelf;
class OpenBook;
class Bookmarks;
class Search;
class Files;

// Closes the open book file; no book is open afterwards.
void closeOpenBook(Shelf &shelf, OpenBook &book);

// Opens the selected entry's file, but only while it still describes that
// entry (the file may have been replaced or removed since the scan). A
// refusal leaves everything as it was, the book open until then included.
bool openSelectedIfUnchanged(Files &files, Shelf &shelf, OpenBook &book, Search &search);

// What opening the selected book came to, for the caller to show.
enum class OpenOutcome {
    Refused,    // the file is gone or changed: nothing is open
    AtContents, // a book at its very beginning: its table of contents
    AtPosition, // currentSection and currentPage hold the entry's place
};

// Opens the selected book: its file, contents and bookmarks, and the place
// its entry remembers. The section text is not loaded yet.
OpenOutcome openSelectedEntry(Files &files, Shelf &shelf, OpenBook &book, Bookmarks &marks, Search &search);

} // namespace pagora
