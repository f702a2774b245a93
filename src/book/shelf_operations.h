#pragma once
#include "app/reader.h"

// Books on one shelf page: 48 in window modes 3 and up, else 32.
int shelfPageSize(const ReaderState &s);
// shelfPageStart := P x (selectedBook / P), 0 when none is selected.
void placeShelfPageOnSelection(ReaderState &s);
// Caption "title - Pagora 1.8".
void setBookCaption(Reader &r);

void openSelectedBook(Reader &r);
void deleteSelectedBook(Reader &r);
void moveSelectedBook(Reader &r);
void reopenLastBook(Reader &r);
