#include "book/bookmark_store.h"

#include "book/book_records.h"
#include "platform/files.h"
#include "state/reader_state.h"

#include <algorithm>
#include <limits>

namespace pagora {

namespace {

constexpr int kListStart = 78;
constexpr int kEntryBytes = 8;
constexpr std::int16_t kMaxPage = std::numeric_limits<std::int16_t>::max();

// The last section whose bookmarks count: the open book's, never beyond the tables.
int lastSection(const Bookmarks &marks, const OpenBook &book)
{
    return std::min<int>(book.sectionCount, int(marks.bookmarkPages().size()) - 1);
}

std::uint32_t big32(std::string_view b, std::size_t at)
{
    return std::uint32_t(std::uint8_t(b[at])) << 24 | std::uint32_t(std::uint8_t(b[at + 1])) << 16 |
           std::uint32_t(std::uint8_t(b[at + 2])) << 8 | std::uint32_t(std::uint8_t(b[at + 3]));
}

void putBig32(std::string &out, std::size_t at, std::uint32_t v)
{
    out[at] = char(v >> 24);
    out[at + 1] = char(v >> 16);
    out[at + 2] = char(v >> 8);
    out[at + 3] = char(v);
}

void appendLittle16(std::string &out, int v)
{
    out.push_back(char(v & 0xFF));
    out.push_back(char((v >> 8) & 0xFF));
}

// Largest record a book of sectionCount sections can need: every section with
// every page. Anything beyond is never read.
std::size_t largestRecord(int sectionCount)
{
    return 2 + std::size_t(sectionCount + 1) * (4 + 2 * std::size_t(kMaxPage));
}

} // namespace

void resetBookmarkTables(Bookmarks &marks, int maxSectionCount)
{
    marks.reset(std::max(maxSectionCount, 0) + 1);
}

void addBookmark(Bookmarks &marks, const OpenBook &book)
{
    marks.add(book.currentSection, book.pages.currentPage());
}

void deleteBookmark(Bookmarks &marks, const OpenBook &book)
{
    marks.remove(book.currentSection, book.pages.currentPage());
}

bool currentPageHasBookmark(const Bookmarks &marks, const OpenBook &book)
{
    const auto *pages = marks.pagesOf(book.currentSection);
    return pages && std::binary_search(pages->begin(), pages->end(), book.pages.currentPage());
}

void findBookmarkNeighbours(Bookmarks &marks, const OpenBook &book)
{
    marks.nextMarkPage = 0;
    marks.prevMarkPage = 0;
    const int section = book.currentSection;
    const std::int16_t page = book.pages.currentPage();
    const int last = lastSection(marks, book);

    if (const auto *pages = marks.pagesOf(section)) {
        auto after = std::upper_bound(pages->begin(), pages->end(), page);
        if (after != pages->end()) {
            marks.nextMarkPage = *after;
            marks.nextMarkSection = std::int16_t(section);
        }
        auto before = std::lower_bound(pages->begin(), pages->end(), page);
        if (before != pages->begin()) {
            marks.prevMarkPage = *(before - 1);
            marks.prevMarkSection = std::int16_t(section);
        }
    }
    for (int t = std::max(section + 1, 1); marks.nextMarkPage == 0 && t <= last; ++t) {
        const auto &pages = marks.bookmarkPages()[std::size_t(t)];
        if (!pages.empty()) {
            marks.nextMarkPage = pages.front();
            marks.nextMarkSection = std::int16_t(t);
        }
    }
    // Section 0 is the header record: never a place to go back to.
    for (int t = std::min(section - 1, last); marks.prevMarkPage == 0 && t >= 1; --t) {
        const auto &pages = marks.bookmarkPages()[std::size_t(t)];
        if (!pages.empty()) {
            marks.prevMarkPage = pages.back();
            marks.prevMarkSection = std::int16_t(t);
        }
    }
}

std::string bookmarkRecordFromTables(const Bookmarks &marks, int sectionCount)
{
    std::string out;
    for (int t = 0; t <= sectionCount; ++t) {
        const auto *pages = marks.pagesOf(t);
        if (!pages || pages->empty())
            continue;
        appendLittle16(out, t);
        appendLittle16(out, int(pages->size()));
        for (std::int16_t p : *pages)
            appendLittle16(out, p);
    }
    appendLittle16(out, -1);
    return out;
}

void tablesFromBookmarkRecord(Bookmarks &marks, std::string_view record, int sectionCount)
{
    marks.emptyLists(sectionCount < 0 ? 0 : sectionCount + 1);
    if (sectionCount < 0)
        return;
    // Only sections 0..sectionCount come back, so every one is a valid slot.
    for (auto &[section, pages] :
         parseBookmarkRecord(reinterpret_cast<const std::uint8_t *>(record.data()), record.size(), sectionCount))
        marks.setPages(section, std::move(pages));
}

void loadBookmarks(Files &files, Bookmarks &marks, const Shelf &shelf, OpenBook &book)
{
    // Marks of a book left without a store go to their own file first.
    storeBookmarks(files, marks);

    const int sections = std::max<int>(book.sectionCount, 0);
    const BookEntry *entry = shelf.selectedEntry();
    marks.bindTo(entry ? shelf.shelfPath + entry->fileName : std::string(), sections);
    const std::span<const std::uint8_t> record = book.bookFile.record(sections + 1, largestRecord(sections));
    if (record.empty())
        return;
    tablesFromBookmarkRecord(marks, std::string_view(reinterpret_cast<const char *>(record.data()), record.size()),
                             sections);
}

bool bookWithBookmarkRecord(std::string_view book, int sectionCount, std::string_view record, std::string &out)
{
    const std::size_t size = book.size();
    if (sectionCount < 0 || size < std::size_t(kListStart) ||
        size > std::size_t(std::numeric_limits<std::int32_t>::max()))
        return false;
    if (book.substr(64, 3) != "MTI" || (book[67] != 'T' && book[67] != 'U'))
        return false;
    const int count = std::uint8_t(book[76]) << 8 | std::uint8_t(book[77]);
    const std::size_t listEnd = std::size_t(kListStart) + std::size_t(kEntryBytes) * std::size_t(count);
    const int index = sectionCount + 1; // the bookmark record
    if (count > kRecordListEntries || listEnd > size || count < index)
        return false;
    std::vector<std::uint32_t> offsets(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        offsets[std::size_t(i)] = big32(book, std::size_t(kListStart + kEntryBytes * i));
        // Records inside the header or past the end: the container is damaged.
        if (offsets[std::size_t(i)] < listEnd || offsets[std::size_t(i)] > size)
            return false;
    }
    const std::size_t limit = std::size_t(std::numeric_limits<std::int32_t>::max());

    if (count == index) {
        // Append: the list grows by one entry, so every record moves 8 bytes on.
        if (count + 1 > kRecordListEntries || size + kEntryBytes + record.size() > limit)
            return false;
        const std::uint32_t dataStart = offsets[0];
        out.clear();
        out.reserve(size + kEntryBytes + record.size());
        out.append(book.substr(0, 76));
        out.push_back(char((count + 1) >> 8));
        out.push_back(char((count + 1) & 0xFF));
        out.append(book.substr(kListStart, listEnd - kListStart));
        for (int i = 0; i < count; ++i)
            putBig32(out, std::size_t(kListStart + kEntryBytes * i), offsets[std::size_t(i)] + kEntryBytes);
        out.append(4, '\0');
        putBig32(out, listEnd, std::uint32_t(size + kEntryBytes));
        out.append(4, '\0'); // attributes and unique id of the new record
        // Whatever lies between the list and record 0 keeps its place before it.
        out.append(book.substr(listEnd, dataStart - listEnd));
        out.append(book.substr(dataStart));
        out.append(record);
        return true;
    }

    // Rewrite: the record keeps its place; records after it move by the change in length.
    const std::uint32_t start = offsets[std::size_t(index)];
    const std::uint32_t end = index + 1 < count ? offsets[std::size_t(index) + 1] : std::uint32_t(size);
    if (start > end)
        return false;
    for (int i = 0; i < count; ++i) {
        const std::uint32_t o = offsets[std::size_t(i)];
        if ((i < index && o > start) || (i > index && o < end))
            return false;
    }
    const std::int64_t delta = std::int64_t(record.size()) - std::int64_t(end - start);
    if (std::int64_t(size) + delta > std::int64_t(limit))
        return false;
    out.clear();
    out.reserve(std::size_t(std::int64_t(size) + delta));
    out.append(book.substr(0, start));
    for (int i = index + 1; i < count; ++i)
        putBig32(out, std::size_t(kListStart + kEntryBytes * i), std::uint32_t(offsets[std::size_t(i)] + delta));
    out.append(record);
    out.append(book.substr(end));
    return true;
}

void storeBookmarks(Files &files, Bookmarks &marks)
{
    if (!marks.bookmarksDirty())
        return;
    marks.markStored();
    // Tables already freed with the catalogue would wipe the book's marks.
    if (marks.bookmarkFile().empty() || marks.bookmarkPages().size() < std::size_t(marks.bookmarkSectionCount()) + 1)
        return;
    // A read-only book keeps its marks for this run only.
    if (!files.isWritableFile(marks.bookmarkFile()))
        return;
    // The file as it is now, not as it was opened: an earlier store in this run
    // may have moved its records, while the open stream still reads the old file.
    std::string book;
    if (!readWholeFile(files, marks.bookmarkFile(), book))
        return;
    std::string updated;
    const std::string record = bookmarkRecordFromTables(marks, marks.bookmarkSectionCount());
    if (!bookWithBookmarkRecord(book, marks.bookmarkSectionCount(), record, updated))
        return;
    if (updated != book)
        replaceFileAtomically(files, marks.bookmarkFile(), updated);
}

} // namespace pagora
