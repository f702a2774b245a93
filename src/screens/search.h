#pragma once
#include "app/reader.h"

constexpr int kSearchTextMax = 19;

void paintSearchControls(Reader &r);
void hideSearchBox(Reader &r);
int readSearchText(Reader &r);
int findNext(Reader &r);
int findPrevious(Reader &r);
void savePosition(ReaderState &s);
void restorePosition(Reader &r);
void reportNotFound(Reader &r);
void highlightMatch(Reader &r);
