#include "state/reader_state.h"

namespace pagora {

BookEntry *selectedEntry(ReaderState &s)
{
    if (s.selectedBook < 0 || s.selectedBook >= std::int16_t(s.catalogue.size()))
        return nullptr;
    return &s.catalogue[std::size_t(s.selectedBook)];
}

const BookEntry *selectedEntry(const ReaderState &s)
{
    return selectedEntry(const_cast<ReaderState &>(s));
}

void clearReadingMarks(ReaderState &s)
{
    s.showPageNumber = false;
    s.showSectionNumber = false;
    s.showMatch = false;
}

void forgetSearchHit(ReaderState &s)
{
    s.matchFound = false;
    s.matchSection = 0;
    s.matchOffset = 0;
}

} // namespace pagora
