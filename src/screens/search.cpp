#include "screens/search.h"

void paintSearchControls(Reader &)
{}

void hideSearchBox(Reader &)
{}

int readSearchText(Reader &)
{ return {}; }

int findNext(Reader &)
{ return {}; }

int findPrevious(Reader &)
{ return {}; }

void savePosition(ReaderState &)
{}

void restorePosition(Reader &)
{}

void reportNotFound(Reader &)
{}

void highlightMatch(Reader &)
{}
