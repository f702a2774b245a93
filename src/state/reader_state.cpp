#include "state/reader_state.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace pagora {

PageTable::PageTable(std::vector<std::int32_t> starts, int pageCount)
    : pageStarts_(std::move(starts)), pageCount_(std::int16_t(pageCount)), currentPage_(std::int16_t(pageCount))
{
}

PageTable::PageTable(const TextArea &area) : complete_(false), area_(area) {}

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
    complete_ = true;
    pageStarts_.assign(std::max(pageStarts_.size(), std::size_t(kInitialPageCapacity)), 0);
}

void PageTable::addPage(std::int32_t next, bool last)
{
    if (complete_)
        return;
    // Only an empty text's one page is empty; a walk that stands still (the
    // text changed under the table) ends it where it is.
    const std::int32_t from = laidOutTo();
    if (next < from || (next == from && pageCount_ > 0)) {
        complete_ = true;
        return;
    }
    ++pageCount_;
    // Two entries to spare: the end of this page and the start of the next.
    if (std::size_t(pageCount_) + 2 >= pageStarts_.size())
        pageStarts_.resize(pageStarts_.size() + 100, 0);
    pageStarts_[std::size_t(pageCount_) + 1] = next;
    complete_ = last || pageCount_ >= kMaxPages;
}

namespace {

std::int16_t entryOrNone(int book, std::size_t count)
{
    return book >= 0 && std::size_t(book) < count ? std::int16_t(book) : std::int16_t(-1);
}

} // namespace

BookEntry *Shelf::selectedEntry()
{
    return selectedBook_ < 0 ? nullptr : &catalogue_[std::size_t(selectedBook_)];
}

void Shelf::select(int book)
{
    selectedBook_ = entryOrNone(book, catalogue_.size());
}

void Shelf::setOpenBook(int book)
{
    openBook_ = entryOrNone(book, catalogue_.size());
}

bool Shelf::addEntry(BookEntry entry)
{
    if (catalogue_.size() >= std::size_t(INT16_MAX))
        return false;
    catalogue_.push_back(std::move(entry));
    return true;
}

void Shelf::removeSelected()
{
    if (selectedBook_ < 0)
        return;
    catalogue_.erase(catalogue_.begin() + selectedBook_);
    if (selectedBook_ == bookCount())
        selectedBook_ = std::int16_t(selectedBook_ - 1);
    openBook_ = -1;
}

void Shelf::clearCatalogue()
{
    catalogue_.clear();
    selectedBook_ = -1;
    openBook_ = -1;
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

void Search::rememberHit(std::int16_t section, std::int32_t offset)
{
    matchFound_ = true;
    matchSection_ = section;
    matchOffset_ = offset;
}

void Search::forgetSearchHit()
{
    matchFound_ = false;
    matchSection_ = 0;
    matchOffset_ = 0;
}

namespace {

// Counts are 16-bit: a list keeps room to grow within them.
constexpr std::size_t kLongestList = std::size_t(INT16_MAX - Bookmarks::kCapacityStep);

} // namespace

const std::vector<std::int16_t> *Bookmarks::pagesOf(int section) const
{
    if (section < 0 || std::size_t(section) >= bookmarkPages_.size() ||
        std::size_t(section) >= bookmarkCapacity_.size())
        return nullptr;
    return &bookmarkPages_[std::size_t(section)];
}

void Bookmarks::reset(int slots)
{
    bookmarkPages_.clear();
    bookmarkCapacity_.clear();
    emptyLists(slots);
    bookmarksDirty_ = false;
    bookmarkFile_.clear();
    bookmarkSectionCount_ = 0;
}

void Bookmarks::release()
{
    bookmarkPages_.clear();
    bookmarkCapacity_.clear();
}

void Bookmarks::emptyLists(int slots)
{
    if (bookmarkPages_.size() < std::size_t(std::max(slots, 0))) {
        bookmarkPages_.resize(std::size_t(slots));
        bookmarkCapacity_.resize(std::size_t(slots), 0);
    }
    for (auto &pages : bookmarkPages_)
        pages.clear();
    std::fill(bookmarkCapacity_.begin(), bookmarkCapacity_.end(), std::int16_t(0));
}

void Bookmarks::bindTo(std::string file, int sectionCount)
{
    emptyLists(sectionCount + 1);
    bookmarksDirty_ = false;
    bookmarkFile_ = std::move(file);
    bookmarkSectionCount_ = std::int16_t(sectionCount);
}

bool Bookmarks::add(int section, std::int16_t page)
{
    if (!pagesOf(section) || page < 1)
        return false;
    auto &pages = bookmarkPages_[std::size_t(section)];
    auto &capacity = bookmarkCapacity_[std::size_t(section)];
    if (pages.size() >= kLongestList)
        return false;
    if (int(pages.size()) >= capacity) {
        capacity = std::int16_t(capacity + kCapacityStep);
        pages.reserve(std::size_t(capacity));
    }
    pages.insert(std::upper_bound(pages.begin(), pages.end(), page), page);
    bookmarksDirty_ = true;
    return true;
}

bool Bookmarks::remove(int section, std::int16_t page)
{
    if (!pagesOf(section))
        return false;
    auto &pages = bookmarkPages_[std::size_t(section)];
    const auto it = std::find(pages.begin(), pages.end(), page);
    if (it == pages.end())
        return false;
    pages.erase(it);
    bookmarksDirty_ = true;
    return true;
}

void Bookmarks::setPages(int section, std::vector<std::int16_t> pages)
{
    if (!pagesOf(section))
        return;
    if (pages.size() > kLongestList)
        pages.resize(kLongestList);
    const int capacity = (int(pages.size()) + kCapacityStep - 1) / kCapacityStep * kCapacityStep;
    bookmarkCapacity_[std::size_t(section)] = std::int16_t(capacity);
    bookmarkPages_[std::size_t(section)] = std::move(pages);
    bookmarkPages_[std::size_t(section)].reserve(std::size_t(capacity));
}

void OpenBook::setSectionText(std::u16string text)
{
    sectionText_ = std::move(text);
    // Offsets are 32-bit: a longer text is laid out up to what they reach.
    textLength_ = std::int32_t(std::min<std::size_t>(sectionText_.size(), INT32_MAX));
}

void Appearance::setColours(int textScheme, int backgroundChoice)
{
    textScheme_ = std::int16_t(textScheme >= 1 && textScheme <= 2 ? textScheme : 1);
    backgroundChoice_ = std::int16_t(backgroundChoice >= 1 && backgroundChoice <= 9 ? backgroundChoice : 2);
    readingColour_ = computeReadingColour(textScheme_, backgroundChoice_);
}

} // namespace pagora
