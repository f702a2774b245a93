#include "book/catalogue.h"

#include "book/bookmark_store.h"
#include "book/section_loader.h"
#include "platform/files.h"
#include "platform/reader.h"

#include <algorithm>
#include <limits>
#include <string_view>

namespace pagora {

std::string shelfFolder(const std::string &mainShelfPath, int shelf)
{
    if (shelf <= 0)
        return mainShelfPath;
    return mainShelfPath + std::to_string(shelf) + "/";
}

namespace {

// What the platform wildcard "*.ext" matches: the name ends with the
// extension, letters compared without regard to case.
bool hasExtension(std::string_view name, std::string_view extension)
{
    if (name.size() < extension.size())
        return false;
    const std::string_view tail = name.substr(name.size() - extension.size());
    return std::equal(tail.begin(), tail.end(), extension.begin(), [](char a, char b) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        return lower(a) == lower(b);
    });
}

// bookCount is 16-bit: a larger folder lists its first books only.
constexpr std::int16_t kMaxBooks = std::numeric_limits<std::int16_t>::max();

} // namespace

void scanShelf(Reader &r)
{
    ReaderState &s = r.s;
    // One listing serves both groups; a missing folder lists nothing.
    const std::vector<std::string> names = r.p.files->list(s.shelfPath);
    // A write killed half-way leaves its temporary file: not a book, and
    // nobody else will remove it.
    for (const std::string &name : names) {
        if (isLeftoverTempName(name))
            r.p.files->remove(s.shelfPath + name);
    }
    for (const std::string_view extension : {std::string_view(".updb"), std::string_view(".pdb")}) {
        for (const std::string &name : names) {
            if (s.bookCount >= kMaxBooks)
                return;
            // Folders named like books are refused by the open inside addBook.
            if (hasExtension(name, extension))
                addBook(r, name);
        }
    }
}

void rebuildCatalogue(Reader &r)
{
    ReaderState &s = r.s;
    s.catalogue.clear();
    s.bookCount = 0;
    s.selectedBook = -1;
    s.openBook = -1;
    s.shelfPageFirst = 0;
    s.shelfNextPage = 0;
    s.shelfPrevPage = -1;
    s.cameFromMenu = 0;
    s.contentsFirst = 0;
    s.contentsNextPage = 0;
    s.contentsPrevPage = 0;
    s.contentsStart = 0;
    s.currentSection = 0;
    s.sectionCount = 0;
    s.textLength = 0;
    s.pages.currentPage = 0;
    s.pages.pageCount = 0;
    s.pages.shownPageStart = -1;
    s.showPageNumber = false;
    s.showSectionNumber = false;
    forgetSearchHit(s);

    // The page table keeps the capacity it has grown to.
    const std::size_t capacity = std::max(s.pages.pageStarts.size(), std::size_t(kInitialPageCapacity));
    s.pages.pageStarts.assign(capacity, 0);

    scanShelf(r);

    if (s.bookCount > 0)
        s.selectedBook = 0;
    if (s.maxSectionCount > 0)
        resetBookmarkTables(s);
}

void releaseCatalogue(Reader &r)
{
    ReaderState &s = r.s;
    // The store needs the open book's entry (its file name), so it runs
    // before the entries are freed.
    if (s.openBook >= 0)
        storeBookmarks(r);
    closeBookFile(r);
    s.openBook = -1;
    // pageStarts stays allocated: a paint that still comes reads a valid
    // table, and the next rebuild reuses the capacity it has grown to.
    s.contentsList.clear();
    s.catalogue.clear();
    s.bookCount = 0;
    s.selectedBook = -1;
    s.bookmarkPages.clear();
    s.bookmarkCapacity.clear();
    s.bookmarkCount.clear();
}

void reloadShelf(Reader &r)
{
    ReaderState &s = r.s;
    // Only the numbered shelves are ever created; the main shelf folder is the user's.
    if (s.currentShelf >= 1 && s.currentShelf <= 9 && !r.p.files->isDirectory(s.shelfPath))
        r.p.files->makeDirectory(s.shelfPath);
    if (s.openBook >= 0)
        storeBookmarks(r);
    releaseCatalogue(r);
    rebuildCatalogue(r);
    s.openBook = -1;
    s.shelfPageStart = 0;
}

int shelfPageSize(const ReaderState &s)
{
    return s.windowMode > 2 ? 48 : 32;
}

void placeShelfPageOnSelection(ReaderState &s)
{
    const int p = shelfPageSize(s);
    s.shelfPageStart = s.selectedBook < 0 ? 0 : p * (s.selectedBook / p);
}

void loadEntryPosition(ReaderState &s)
{
    const BookEntry *entry = selectedEntry(s);
    if (!entry)
        return;
    s.sectionCount = entry->sectionCount;
    s.currentSection = entry->lastSection;
    s.pages.currentPage = entry->lastPage;
}

void storeEntryPosition(ReaderState &s)
{
    BookEntry *entry = selectedEntry(s);
    if (!entry)
        return;
    entry->lastSection = s.currentSection;
    entry->lastPage = s.pages.currentPage;
}

} // namespace pagora
