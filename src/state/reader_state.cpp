#include "state/reader_state.h"

#include <algorithm>
#include <climits>

namespace pagora {

std::int32_t PageTable::start(int p) const
{
    if (p < 1 || std::size_t(p) >= pageStarts.size())
        return 0;
    return pageStarts[std::size_t(p)];
}

int PageTable::pageHolding(std::int32_t offset) const
{
    int p = 1;
    while (p < pageCount && offset >= start(p + 1))
        ++p;
    return p;
}

int PageTable::shownPage() const
{
    return std::clamp<int>(currentPage, 1, std::max<int>(pageCount, 1));
}

void PageTable::show(int p)
{
    currentPage = std::int16_t(p);
    shownPageStart = start(p);
}

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

std::int32_t usableLength(const ReaderState &s)
{
    return std::clamp<std::int32_t>(s.textLength, 0,
                                    std::int32_t(std::min<std::size_t>(s.sectionText.size(), INT32_MAX)));
}

} // namespace pagora
