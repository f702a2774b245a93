#pragma once
#include "app/reader.h"

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
