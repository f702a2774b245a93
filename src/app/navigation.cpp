#include "app/navigation.h"

#include "app/input_dispatch.h"
#include "book/section_loader.h"
#include "platform/reader.h"
#include "render/indicators.h"
#include "render/layout_walk.h"

namespace pagora {

void showPage(Reader &r, int page)
{
    r.s.pages.show(page);
    showScreen(r, Screen::ReadingScreen);
}

void showFirstPage(Reader &r)
{
    showPage(r, 1);
}

void showLastPage(Reader &r)
{
    showPage(r, r.s.pages.pageCount);
}

void loadSection(Reader &r)
{
    // A failed load is not checked: whatever text is then loaded is shown.
    readRecord(r);
    paginate(r);
}

void openSectionAtFirstPage(Reader &r)
{
    loadSection(r);
    showFirstPage(r);
}

void enterNextSection(Reader &r)
{
    r.s.currentSection = std::int16_t(r.s.currentSection + 1);
    openSectionAtFirstPage(r);
}

void enterPreviousSection(Reader &r)
{
    r.s.currentSection = std::int16_t(r.s.currentSection - 1);
    loadSection(r);
    showLastPage(r);
}

void nextPage(Reader &r)
{
    ReaderState &s = r.s;
    if (s.pages.currentPage < s.pages.pageCount) {
        showPage(r, s.pages.currentPage + 1);
    } else if (s.currentSection < s.sectionCount) {
        enterNextSection(r);
    }
}

void previousPage(Reader &r)
{
    ReaderState &s = r.s;
    if (s.pages.currentPage > 1) {
        showPage(r, s.pages.currentPage - 1);
    } else if (s.currentSection > 1) {
        enterPreviousSection(r);
    }
}

void nextPageCommand(Reader &r)
{
    clearReadingMarks(r.s);
    nextPage(r);
}

void previousPageCommand(Reader &r)
{
    clearReadingMarks(r.s);
    previousPage(r);
}

void nextSectionCommand(Reader &r)
{
    ReaderState &s = r.s;
    clearReadingMarks(s);
    if (s.pages.currentPage == 1) {
        // From the first page the next boundary is the next section's start,
        // except in the last section where only its last page remains.
        if (s.currentSection == s.sectionCount)
            showLastPage(r);
        else
            enterNextSection(r);
    } else if (s.pages.currentPage != s.pages.pageCount) {
        showLastPage(r);
    } else if (s.currentSection < s.sectionCount) {
        enterNextSection(r);
    }
}

void previousSectionCommand(Reader &r)
{
    ReaderState &s = r.s;
    clearReadingMarks(s);
    if (s.pages.currentPage >= 2) {
        showFirstPage(r);
    } else if (s.currentSection > 1) {
        s.currentSection = std::int16_t(s.currentSection - 1);
        openSectionAtFirstPage(r);
    }
}

void readingPointer(Reader &r, int x, int y)
{
    ReaderState &s = r.s;
    if (s.pointerPhase != PointerPhase::Press)
        return;
    // Forward is leftward: the left third turns forward, the right third back.
    if (x < s.leftThird) {
        if (y < s.halfHeight)
            nextSectionCommand(r);
        else
            nextPageCommand(r);
    } else if (x >= s.rightThird) {
        if (y < s.halfHeight)
            previousSectionCommand(r);
        else
            previousPageCommand(r);
    } else if (y >= s.menuBandBottom) {
        s.showPageNumber = !s.showPageNumber;
        drawIndicator(r, Indicator::Page);
    } else if (y < s.menuBandTop) {
        s.showSectionNumber = !s.showSectionNumber;
        drawIndicator(r, Indicator::Section);
    } else {
        showScreen(r, Screen::MenuScreen);
    }
}

} // namespace pagora
