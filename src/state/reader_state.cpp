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

BookEntry *Shelf::selectedEntry()
{
    if (selectedBook < 0 || selectedBook >= std::int16_t(catalogue.size()))
        return nullptr;
    return &catalogue[std::size_t(selectedBook)];
}

const BookEntry *Shelf::selectedEntry() const
{
    return const_cast<Shelf *>(this)->selectedEntry();
}

void ReadingModes::clearReadingMarks()
{
    showPageNumber = false;
    showSectionNumber = false;
    showMatch = false;
}

void Search::forgetSearchHit()
{
    matchFound = false;
    matchSection = 0;
    matchOffset = 0;
}

std::int32_t OpenBook::usableLength() const
{
    return std::clamp<std::int32_t>(textLength, 0, std::int32_t(std::min<std::size_t>(sectionText.size(), INT32_MAX)));
}

} // namespace pagora
