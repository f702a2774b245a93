#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace pagora {

class Bookmarks;
class Shelf;
class OpenBook;
class Files;

// The mark of the open book's current page, added or taken away.
void addBookmark(Bookmarks &marks, const OpenBook &book);
void deleteBookmark(Bookmarks &marks, const OpenBook &book);
// The marks before and after the current page, in its section or beyond.
void findBookmarkNeighbours(Bookmarks &marks, const OpenBook &book);
// Whether currentPage of currentSection carries a bookmark.
bool currentPageHasBookmark(const Bookmarks &marks, const OpenBook &book);
// Fill the tables from the open book's bookmark record (empty without one).
void loadBookmarks(Files &files, Bookmarks &marks, const Shelf &shelf, OpenBook &book);
// Writes changed marks into the book file they were loaded from.
void storeBookmarks(Files &files, Bookmarks &marks);
// Size the tables to maxSectionCount + 1 empty slots.
void resetBookmarkTables(Bookmarks &marks, int maxSectionCount);

// The bookmark record for sections 0..sectionCount of the tables: per section
// with bookmarks its number, count and pages (little-endian int16), then -1.
std::string bookmarkRecordFromTables(const Bookmarks &marks, int sectionCount);

// Fills the tables from a bookmark record of a book of sectionCount sections,
// read as parseBookmarkRecord reads it: lists of sections outside
// 0..sectionCount and pages below 1 are left out, never used as an index.
void tablesFromBookmarkRecord(Bookmarks &marks, std::string_view record, int sectionCount);

// The complete bytes of a book file with its bookmark record (record
// sectionCount + 1) replaced by record, or appended when there is none yet.
// Records after the bookmark record are kept and their offsets moved. False
// when the book's container is not sound enough to be rewritten.
bool bookWithBookmarkRecord(std::string_view book, int sectionCount, std::string_view record, std::string &out);

} // namespace pagora
