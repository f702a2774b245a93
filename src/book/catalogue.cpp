#include "book/catalogue.h"

#include "app/input_dispatch.h"
#include "book/bookmark_store.h"
#include "book/section_loader.h"

#include <algorithm>
#include <limits>
#include <string_view>

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
    if (!r.p.files)
        return;
    // One listing serves both groups; a missing folder lists nothing.
    const std::vector<std::string> names = r.p.files->list(s.shelfPath);
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
    s.currentPage = 0;
    s.pageCount = 0;
    s.shownPageStart = -1;
    s.showPageNumber = 0;
    s.showSectionNumber = 0;
    forgetSearchHit(s);

    // The page table keeps the capacity it has grown to.
    const std::size_t capacity = std::max(s.pageStarts.size(), std::size_t(kInitialPageCapacity));
    s.pageStarts.assign(capacity, 0);

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

void switchShelf(Reader &r)
{
    ReaderState &s = r.s;
    // Only the numbered shelves are ever created; the main shelf folder is the user's.
    if (s.currentShelf >= 1 && s.currentShelf <= 9 && r.p.files && !r.p.files->isDirectory(s.shelfPath))
        r.p.files->makeDirectory(s.shelfPath);
    if (s.openBook >= 0)
        storeBookmarks(r);
    releaseCatalogue(r);
    rebuildCatalogue(r);
    s.openBook = -1;
    s.shelfPageStart = 0;
    showScreen(r, ShelfScreen);
}
