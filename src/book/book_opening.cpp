#include "book/book_opening.h"

#include "book/bookmark_store.h"
#include "book/section_loader.h"
#include "platform/reader.h"

namespace pagora {

void closeOpenBook(Reader &r)
{
    closeBookFile(r);
    r.s.openBook = -1;
}

// The file may have been replaced or removed since the scan. It is read the
// way the scan read it, and only a file that still describes the selected
// entry is opened; anything else leaves no file open.
bool openSelectedIfUnchanged(Reader &r)
{
    ReaderState &s = r.s;
    // The probe below opens its own stream; no other file may be open then.
    closeOpenBook(r);
    const BookEntry *entry = selectedEntry(s);
    if (!entry)
        return false;
    const std::size_t index = std::size_t(s.selectedBook);
    const std::size_t before = s.catalogue.size();
    const std::int16_t countBefore = s.bookCount;
    const std::int16_t sectionBefore = s.currentSection;
    const std::int32_t lengthBefore = s.textLength;
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
    s.bookCount = countBefore;
    s.currentSection = sectionBefore;
    s.textLength = lengthBefore;
    if (!same || !openBookFile(r)) {
        closeOpenBook(r);
        return false;
    }
    return true;
}

OpenOutcome openSelectedEntry(Reader &r)
{
    ReaderState &s = r.s;
    closeOpenBook(r);
    if (!openSelectedIfUnchanged(r))
        return OpenOutcome::Refused;
    BookEntry &entry = *selectedEntry(s);
    s.sectionCount = entry.sectionCount;
    loadContents(r);
    loadBookmarks(r);
    s.currentSection = entry.lastSection;
    s.currentPage = entry.lastPage;
    if (s.currentSection == 1 && s.currentPage == 1) {
        // A book at its very beginning starts on its table of contents.
        s.cameFromMenu = 0;
        s.openBook = -1;
        s.contentsStart = 0;
        return OpenOutcome::AtContents;
    }
    return OpenOutcome::AtPosition;
}

} // namespace pagora
