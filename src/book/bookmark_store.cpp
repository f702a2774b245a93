#include "book/bookmark_store.h"

void addBookmark(ReaderState &)
{}

void deleteBookmark(ReaderState &)
{}

void findBookmarkNeighbours(ReaderState &)
{}

bool currentPageHasBookmark(const ReaderState &)
{ return false; }

void loadBookmarks(Reader &)
{}

void storeBookmarks(Reader &)
{}

void resetBookmarkTables(ReaderState &)
{}
