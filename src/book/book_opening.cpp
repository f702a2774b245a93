#include "book/book_opening.h"

#include "book/bookmark_store.h"
#include "book/section_loader.h"
#include "platform/files.h"
#include "state/reader_state.h"

namespace pagora {

void closeOpenBook(Shelf &shelf, OpenBook &book)
{
    book.bookFile.close();
    shelf.setOpenBook(-1);
}

// The file may have been replaced or removed since the scan. It is read the
// way the scan read it, and only a file that still describes the selected
// entry is opened. A refusal leaves everything as it was, the book open
// until then included: the menu of that book may still be shown.
bool openSelectedIfUnchanged(Files &files, Shelf &shelf, OpenBook &book, Search &search)
{
    const BookEntry *listed = shelf.selectedEntry();
    if (!listed)
        return false;
    BookFile file = openBookAt(files, shelf.shelfPath + listed->fileName);
    BookEntry now;
    if (!file.isOpen() || !readHeaderEntry(file, now) || now.title != listed->title ||
        now.sectionCount != listed->sectionCount || now.tocOffset != listed->tocOffset)
        return false;
    book.bookFile = std::move(file);
    shelf.setOpenBook(shelf.selectedBook());
    // A hit remembered in another book is no place in this one.
    search.forgetSearchHit();
    return true;
}

OpenOutcome openSelectedEntry(Files &files, Shelf &shelf, OpenBook &book, Bookmarks &marks, Search &search)
{
    if (!openSelectedIfUnchanged(files, shelf, book, search))
        return OpenOutcome::Refused;
    BookEntry &entry = *shelf.selectedEntry();
    book.sectionCount = entry.sectionCount;
    loadContents(book, &entry);
    loadBookmarks(files, marks, shelf, book);
    book.currentSection = entry.lastSection;
    book.pages.turnTo(entry.lastPage);
    if (book.currentSection == 1 && book.pages.currentPage() == 1) {
        // A book at its very beginning starts on its table of contents.
        shelf.cameFromMenu = EnteredFrom::Shelf;
        shelf.setOpenBook(-1);
        book.contentsStart = 0;
        return OpenOutcome::AtContents;
    }
    return OpenOutcome::AtPosition;
}

} // namespace pagora
