#include "book/shelf_operations.h"

int shelfPageSize(const ReaderState &)
{ return {}; }

void placeShelfPageOnSelection(ReaderState &)
{}

void setBookCaption(Reader &)
{}

void openSelectedBook(Reader &)
{}

void deleteSelectedBook(Reader &)
{}

void moveSelectedBook(Reader &)
{}

void reopenLastBook(Reader &)
{}
