#include "book/catalogue.h"

#include "book/bookmark_store.h"
#include "book/section_loader.h"
#include "platform/files.h"
#include "state/reader_state.h"

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

// bookCount is 16-bit: a larger folder lists its first books only.
constexpr std::int16_t kMaxBooks = std::numeric_limits<std::int16_t>::max();

} // namespace

void scanShelf(Files &files, Shelf &shelf)
{
    // One listing serves both groups; a missing folder lists nothing.
    const std::vector<std::string> names = files.list(shelf.shelfPath);
    // A write killed half-way leaves its temporary file: not a book, and
    // nobody else will remove it.
    for (const std::string &name : names) {
        if (isLeftoverTempName(name))
            files.remove(shelf.shelfPath + name);
    }
    for (const std::string_view extension : {std::string_view(".updb"), std::string_view(".pdb")}) {
        for (const std::string &name : names) {
            if (shelf.bookCount() >= kMaxBooks)
                return;
            // Folders named like books are refused by the open inside addBook.
            if (endsWithNoCase(name, extension))
                addBook(files, shelf, name);
        }
    }
}

void rebuildCatalogue(Files &files, ReaderState &s)
{
    s.shelf.clearCatalogue();
    s.shelf.shelfPageFirst = 0;
    s.shelf.shelfNextPage = 0;
    s.shelf.shelfPrevPage = -1;
    s.shelf.cameFromMenu = 0;
    s.book.contentsFirst = 0;
    s.book.contentsNextPage = 0;
    s.book.contentsPrevPage = 0;
    s.book.contentsStart = 0;
    s.book.currentSection = 0;
    s.book.sectionCount = 0;
    s.book.markTextUnloaded();
    s.book.pages.clear();
    s.menu.showPageNumber = false;
    s.menu.showSectionNumber = false;
    s.search.forgetSearchHit();

    scanShelf(files, s.shelf);

    if (s.shelf.bookCount() > 0)
        s.shelf.select(0);
    if (s.shelf.maxSectionCount > 0)
        resetBookmarkTables(s.marks, s.shelf.maxSectionCount);
}

void releaseCatalogue(Files &files, ReaderState &s)
{
    // The store needs the open book's entry (its file name), so it runs
    // before the entries are freed.
    if (s.shelf.openBook() >= 0)
        storeBookmarks(files, s.marks);
    s.book.bookFile.close();
    // pageStarts stays allocated: a paint that still comes reads a valid
    // table, and the next rebuild reuses the capacity it has grown to.
    s.book.contentsList.clear();
    s.shelf.clearCatalogue();
    s.marks.release();
}

void reloadShelf(Files &files, ReaderState &s)
{
    // Only the numbered shelves are ever created; the main shelf folder is the user's.
    if (s.shelf.currentShelf >= 1 && s.shelf.currentShelf <= 9 && !files.isDirectory(s.shelf.shelfPath))
        files.makeDirectory(s.shelf.shelfPath);
    if (s.shelf.openBook() >= 0)
        storeBookmarks(files, s.marks);
    releaseCatalogue(files, s);
    rebuildCatalogue(files, s);
    s.shelf.setOpenBook(-1);
    s.shelf.shelfPageStart = 0;
}

int shelfPageSize(int windowMode)
{
    return windowMode > 2 ? 48 : 32;
}

void placeShelfPageOnSelection(Shelf &shelf, int windowMode)
{
    const int p = shelfPageSize(windowMode);
    shelf.shelfPageStart = shelf.selectedBook() < 0 ? 0 : p * (shelf.selectedBook() / p);
}

void loadEntryPosition(const Shelf &shelf, OpenBook &book)
{
    const BookEntry *entry = shelf.selectedEntry();
    if (!entry)
        return;
    book.sectionCount = entry->sectionCount;
    book.currentSection = entry->lastSection;
    book.pages.turnTo(entry->lastPage);
}

void storeEntryPosition(Shelf &shelf, const OpenBook &book)
{
    BookEntry *entry = shelf.selectedEntry();
    if (!entry)
        return;
    entry->lastSection = book.currentSection;
    entry->lastPage = book.pages.currentPage();
}

} // namespace pagora
