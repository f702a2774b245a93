#include "state/reader_state.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace pagora {

PageTable::PageTable(std::vector<std::int32_t> starts, int pageCount)
    : pageStarts_(std::move(starts)), pageCount_(std::int16_t(pageCount)), currentPage_(std::int16_t(pageCount))
{
}

std::int32_t PageTable::start(int p) const
{
    if (p < 1 || std::size_t(p) >= pageStarts_.size())
        return 0;
    return pageStarts_[std::size_t(p)];
}

int PageTable::pageHolding(std::int32_t offset) const
{
    int p = 1;
    while (p < pageCount_ && offset >= start(p + 1))
        ++p;
    return p;
}

int PageTable::shownPage() const
{
    return std::clamp<int>(currentPage_, 1, std::max<int>(pageCount_, 1));
}

void PageTable::show(int p)
{
    currentPage_ = std::int16_t(p);
    shownPageStart_ = start(p);
}

void PageTable::turnTo(int p)
{
    currentPage_ = std::int16_t(p);
}

void PageTable::repaginate(PageTable fresh)
{
    const std::int32_t shown = shownPageStart_;
    *this = std::move(fresh);
    shownPageStart_ = shown;
}

void PageTable::clear()
{
    pageCount_ = 0;
    currentPage_ = 0;
    shownPageStart_ = -1;
    pageStarts_.assign(std::max(pageStarts_.size(), std::size_t(kInitialPageCapacity)), 0);
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
