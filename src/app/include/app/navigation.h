#pragma once
#include <cstdint>

namespace pagora {

struct Reader;

// Page p of the section loaded becomes the page shown, on the reading screen.
void showPage(Reader &r, int page);
void showFirstPage(Reader &r);
void showLastPage(Reader &r);
// Load section currentSection and lay out its first page (all its pages
// when laid out ahead).
void loadSection(Reader &r);
void openSectionAtFirstPage(Reader &r);
void enterNextSection(Reader &r);
void enterPreviousSection(Reader &r);
void nextPage(Reader &r);
void previousPage(Reader &r);

void nextPageCommand(Reader &r);
void previousPageCommand(Reader &r);
void nextSectionCommand(Reader &r);
void previousSectionCommand(Reader &r);

void readingPointer(Reader &r, int x, int y);

} // namespace pagora
