#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace pagora {

struct Reader;
struct ReaderState;

void addBookmark(ReaderState &s);
void deleteBookmark(ReaderState &s);
void findBookmarkNeighbours(ReaderState &s);
// Whether currentPage of currentSection carries a bookmark.
bool currentPageHasBookmark(const ReaderState &s);
// Fill the tables from the open book's bookmark record (empty without one).
void loadBookmarks(Reader &r);
void storeBookmarks(Reader &r);
// Size the tables to maxSectionCount + 1 empty slots.
void resetBookmarkTables(ReaderState &s);

// The bookmark record for sections 0..sectionCount of the tables: per section
// with bookmarks its number, count and pages (little-endian int16), then -1.
std::string bookmarkRecordFromTables(const ReaderState &s, int sectionCount);

// Fills the tables from a bookmark record of a book of sectionCount sections,
// read as parseBookmarkRecord reads it: lists of sections outside
// 0..sectionCount and pages below 1 are left out, never used as an index.
void tablesFromBookmarkRecord(ReaderState &s, std::string_view record, int sectionCount);

// The complete bytes of a book file with its bookmark record (record
// sectionCount + 1) replaced by record, or appended when there is none yet.
// Records after the bookmark record are kept and their offsets moved. False
// when the book's container is not sound enough to be rewritten.
bool bookWithBookmarkRecord(std::string_view book, int sectionCount, std::string_view record, std::string &out);

} // namespace pagora
