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

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

bool comesBefore(std::string_view a, std::string_view b)
{
    // Extensions have the same length within a group: compare the stems, so
    // that "唐詩" comes before "唐詩 (2)" as a prefix does.
    const auto stem = [](std::string_view n) { return n.substr(0, std::min(n.size(), n.rfind('.'))); };
    const std::string_view x = stem(a), y = stem(b);
    std::size_t i = 0, j = 0;
    while (i < x.size() && j < y.size()) {
        if (isDigit(x[i]) && isDigit(y[j])) {
            // Numbers by value: without leading zeros, the longer is larger.
            std::size_t ie = i, je = j;
            while (ie < x.size() && isDigit(x[ie]))
                ++ie;
            while (je < y.size() && isDigit(y[je]))
                ++je;
            std::string_view p = x.substr(i, ie - i), q = y.substr(j, je - j);
            p.remove_prefix(std::min(p.find_first_not_of('0'), p.size()));
            q.remove_prefix(std::min(q.find_first_not_of('0'), q.size()));
            if (p.size() != q.size())
                return p.size() < q.size();
            if (p != q)
                return p < q;
            i = ie, j = je;
            continue;
        }
        if (x[i] != y[j])
            return static_cast<unsigned char>(x[i]) < static_cast<unsigned char>(y[j]);
        ++i, ++j;
    }
    if (x.size() - i != y.size() - j)
        return x.size() - i < y.size() - j;
    return a < b; // equal to the eye ("2" and "02"): still one order
}

void scanShelf(Files &files, Shelf &shelf)
{
    // One listing serves both groups; a missing folder lists nothing.
    std::vector<std::string> names = files.list(shelf.shelfPath);
    std::sort(names.begin(), names.end(), [](const std::string &a, const std::string &b) { return comesBefore(a, b); });
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

void rebuildCatalogue(Files &files, Shelf &shelf, OpenBook &book, Bookmarks &marks, ReadingModes &menu, Search &search)
{
    shelf.clearCatalogue();
    shelf.shelfPageFirst = 0;
    shelf.shelfNextPage = 0;
    shelf.shelfPrevPage = -1;
    shelf.cameFromMenu = EnteredFrom::Shelf;
    book.contentsFirst = 0;
    book.contentsNextPage = 0;
    book.contentsPrevPage = 0;
    book.contentsStart = 0;
    book.currentSection = 0;
    book.sectionCount = 0;
    book.markTextUnloaded();
    book.pages.clear();
    menu.showPageNumber = false;
    menu.showSectionNumber = false;
    search.forgetSearchHit();

    scanShelf(files, shelf);

    if (shelf.bookCount() > 0)
        shelf.select(0);
    if (shelf.maxSectionCount > 0)
        resetBookmarkTables(marks, shelf.maxSectionCount);
}

void releaseCatalogue(Files &files, Shelf &shelf, OpenBook &book, Bookmarks &marks)
{
    // The store needs the open book's entry (its file name), so it runs
    // before the entries are freed.
    if (shelf.openBook() >= 0)
        storeBookmarks(files, marks);
    book.bookFile.close();
    // pageStarts stays allocated: a paint that still comes reads a valid
    // table, and the next rebuild reuses the capacity it has grown to.
    book.contentsList.clear();
    shelf.clearCatalogue();
    marks.release();
}

void reloadShelf(Files &files, Shelf &shelf, OpenBook &book, Bookmarks &marks, ReadingModes &menu, Search &search)
{
    // Only the numbered shelves are ever created; the main shelf folder is the user's.
    if (shelf.currentShelf >= 1 && shelf.currentShelf <= 9 && !files.isDirectory(shelf.shelfPath))
        files.makeDirectory(shelf.shelfPath);
    if (shelf.openBook() >= 0)
        storeBookmarks(files, marks);
    releaseCatalogue(files, shelf, book, marks);
    rebuildCatalogue(files, shelf, book, marks, menu, search);
    shelf.setOpenBook(-1);
    shelf.shelfPageStart = 0;
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
