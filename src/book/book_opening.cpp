#include "book/book_opening.h"

#include "book/bookmark_store.h"
#include "book/section_loader.h"
#include "platform/reader.h"

namespace pagora {

void closeOpenBook(Reader &r)
{
    r.s.book.bookFile.close();
    r.s.shelf.openBook = -1;
}

// The file may have been replaced or removed since the scan. It is read the
// way the scan read it, and only a file that still describes the selected
// entry is opened. A refusal leaves everything as it was, the book open
// until then included: the menu of that book may still be shown.
bool openSelectedIfUnchanged(Reader &r)
{
    ReaderState &s = r.s;
    const BookEntry *listed = s.shelf.selectedEntry();
    if (!listed)
        return false;
    BookFile file = openBookAt(*r.p.files, s.shelf.shelfPath + listed->fileName);
    BookEntry now;
    if (!file.isOpen() || !readHeaderEntry(file, now) || now.title != listed->title ||
        now.sectionCount != listed->sectionCount || now.tocOffset != listed->tocOffset)
        return false;
    s.book.bookFile = std::move(file);
    s.shelf.openBook = s.shelf.selectedBook;
    // A hit remembered in another book is no place in this one.
    s.search.forgetSearchHit();
    return true;
}

OpenOutcome openSelectedEntry(Reader &r)
{
    ReaderState &s = r.s;
    if (!openSelectedIfUnchanged(r))
        return OpenOutcome::Refused;
    BookEntry &entry = *s.shelf.selectedEntry();
    s.book.sectionCount = entry.sectionCount;
    loadContents(s.book, &entry);
    loadBookmarks(r);
    s.book.currentSection = entry.lastSection;
    s.book.pages.turnTo(entry.lastPage);
    if (s.book.currentSection == 1 && s.book.pages.currentPage() == 1) {
        // A book at its very beginning starts on its table of contents.
        s.shelf.cameFromMenu = 0;
        s.shelf.openBook = -1;
        s.book.contentsStart = 0;
        return OpenOutcome::AtContents;
    }
    return OpenOutcome::AtPosition;
}

} // namespace pagora
