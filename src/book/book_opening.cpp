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
bool openSelectedIfUnchanged(Files &files, ReaderState &s)
{
    const BookEntry *listed = s.shelf.selectedEntry();
    if (!listed)
        return false;
    BookFile file = openBookAt(files, s.shelf.shelfPath + listed->fileName);
    BookEntry now;
    if (!file.isOpen() || !readHeaderEntry(file, now) || now.title != listed->title ||
        now.sectionCount != listed->sectionCount || now.tocOffset != listed->tocOffset)
        return false;
    s.book.bookFile = std::move(file);
    s.shelf.setOpenBook(s.shelf.selectedBook());
    // A hit remembered in another book is no place in this one.
    s.search.forgetSearchHit();
    return true;
}

OpenOutcome openSelectedEntry(Files &files, ReaderState &s)
{
    if (!openSelectedIfUnchanged(files, s))
        return OpenOutcome::Refused;
    BookEntry &entry = *s.shelf.selectedEntry();
    s.book.sectionCount = entry.sectionCount;
    loadContents(s.book, &entry);
    loadBookmarks(files, s.marks, s.shelf, s.book);
    s.book.currentSection = entry.lastSection;
    s.book.pages.turnTo(entry.lastPage);
    if (s.book.currentSection == 1 && s.book.pages.currentPage() == 1) {
        // A book at its very beginning starts on its table of contents.
        s.shelf.cameFromMenu = 0;
        s.shelf.setOpenBook(-1);
        s.book.contentsStart = 0;
        return OpenOutcome::AtContents;
    }
    return OpenOutcome::AtPosition;
}

} // namespace pagora
