#include "render/navigation.h"

void showPageAt(Reader &, std::int32_t)
{}

void showFirstPage(Reader &)
{}

void showLastPage(Reader &)
{}

void loadSection(Reader &)
{}

void openSectionAtFirstPage(Reader &)
{}

void enterNextSection(Reader &)
{}

void enterPreviousSection(Reader &)
{}

void nextPage(Reader &)
{}

void previousPage(Reader &)
{}

void clearReadingMarks(ReaderState &)
{}

void nextPageCommand(Reader &)
{}

void previousPageCommand(Reader &)
{}

void nextSectionCommand(Reader &)
{}

void previousSectionCommand(Reader &)
{}

void readingPointer(Reader &, int, int)
{}
