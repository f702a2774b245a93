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
    std::int16_t openBook, bookCount, sectionCount, currentSection;
    std::int32_t textLength;

    explicit OpenFileState(const ReaderState &s)
        : bookFile(s.bookFile), openBook(s.openBook), bookCount(s.bookCount), sectionCount(s.sectionCount),
          currentSection(s.currentSection), textLength(s.textLength)
    {
    }
    void restore(ReaderState &s)
    {
        s.bookFile = std::move(bookFile);
        s.openBook = openBook, s.bookCount = bookCount, s.sectionCount = sectionCount;
        s.currentSection = currentSection, s.textLength = textLength;
    }
};

} // namespace

void closeOpenBook(Reader &r)
{
    closeBookFile(r);
    r.s.openBook = -1;
}

// The file may have been replaced or removed since the scan. It is read the
// way the scan read it, and only a file that still describes the selected
// entry is opened. A refusal leaves everything as it was, the book open
// until then included: the menu of that book may still be shown.
bool openSelectedIfUnchanged(Reader &r)
{
    ReaderState &s = r.s;
    const BookEntry *entry = selectedEntry(s);
    if (!entry)
        return false;
    OpenFileState kept(s);
    // The probe and the open use bookStream; the open book's stays aside.
    s.bookFile.bookStream = -1;
    const std::size_t index = std::size_t(s.selectedBook);
    const std::size_t before = s.catalogue.size();
    const std::string fileName = entry->fileName;

    bool same = addBook(r, fileName);
    if (s.catalogue.size() > before) {
        // addBook appended: compare, then take the probe back out.
        const BookEntry &probe = s.catalogue.back();
        const BookEntry &listed = s.catalogue[index];
        same = same && probe.title == listed.title && probe.sectionCount == listed.sectionCount &&
               probe.tocOffset == listed.tocOffset;
        s.catalogue.resize(before);
    }
    s.bookCount = kept.bookCount;
    if (!same || !openBookFile(r)) {
        closeBookFile(r);
        kept.restore(s);
        return false;
    }
    if (kept.bookFile.bookStream >= 0)
        r.p.files->close(kept.bookFile.bookStream);
    s.bookCount = kept.bookCount;
    s.currentSection = kept.currentSection;
    s.textLength = kept.textLength;
    // A hit remembered in another book is no place in this one.
    forgetSearchHit(s);
    return true;
}

OpenOutcome openSelectedEntry(Reader &r)
{
    ReaderState &s = r.s;
    if (!openSelectedIfUnchanged(r))
        return OpenOutcome::Refused;
    BookEntry &entry = *selectedEntry(s);
    s.sectionCount = entry.sectionCount;
    loadContents(r);
    loadBookmarks(r);
    s.currentSection = entry.lastSection;
    s.pages.currentPage = entry.lastPage;
    if (s.currentSection == 1 && s.pages.currentPage == 1) {
        // A book at its very beginning starts on its table of contents.
        s.cameFromMenu = 0;
        s.openBook = -1;
        s.contentsStart = 0;
        return OpenOutcome::AtContents;
    }
    return OpenOutcome::AtPosition;
}

} // namespace pagora
