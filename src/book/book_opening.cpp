#include "book/book_opening.h"

#include "book/bookmark_store.h"
#include "book/section_loader.h"
#include "platform/reader.h"

#include <utility>

namespace pagora {

namespace {

// The fields of the state that a probe or an open overwrite.
struct OpenFileState {
    BookFile bookFile;
    std::int16_t openBook, sectionCount, currentSection;
    std::int32_t textLength;

    explicit OpenFileState(const ReaderState &s)
        : bookFile(s.book.bookFile), openBook(s.shelf.openBook), sectionCount(s.book.sectionCount),
          currentSection(s.book.currentSection), textLength(s.book.textLength)
    {
    }
    void restore(ReaderState &s)
    {
        s.book.bookFile = std::move(bookFile);
        s.shelf.openBook = openBook, s.book.sectionCount = sectionCount;
        s.book.currentSection = currentSection, s.book.textLength = textLength;
    }
};

} // namespace

void closeOpenBook(Reader &r)
{
    closeBookFile(r);
    r.s.shelf.openBook = -1;
}

// The file may have been replaced or removed since the scan. It is read the
// way the scan read it, and only a file that still describes the selected
// entry is opened. A refusal leaves everything as it was, the book open
// until then included: the menu of that book may still be shown.
bool openSelectedIfUnchanged(Reader &r)
{
    ReaderState &s = r.s;
    const BookEntry *entry = s.shelf.selectedEntry();
    if (!entry)
        return false;
    OpenFileState kept(s);
    // The probe and the open use bookStream; the open book's stays aside.
    s.book.bookFile.bookStream = -1;
    const std::size_t index = std::size_t(s.shelf.selectedBook);
    const std::size_t before = s.shelf.catalogue.size();
    const std::string fileName = entry->fileName;

    bool same = addBook(r, fileName);
    if (s.shelf.catalogue.size() > before) {
        // addBook appended: compare, then take the probe back out.
        const BookEntry &probe = s.shelf.catalogue.back();
        const BookEntry &listed = s.shelf.catalogue[index];
        same = same && probe.title == listed.title && probe.sectionCount == listed.sectionCount &&
               probe.tocOffset == listed.tocOffset;
        s.shelf.catalogue.resize(before);
    }
    if (!same || !openBookFile(r)) {
        closeBookFile(r);
        kept.restore(s);
        return false;
    }
    if (kept.bookFile.bookStream >= 0)
        r.p.files->close(kept.bookFile.bookStream);
    s.book.currentSection = kept.currentSection;
    s.book.textLength = kept.textLength;
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
    loadContents(r);
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
