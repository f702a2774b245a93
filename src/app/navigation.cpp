#include "app/navigation.h"

#include "app/input_dispatch.h"
#include "book/section_loader.h"
#include "platform/reader.h"
#include "render/indicators.h"
#include "render/layout_walk.h"

namespace pagora {

namespace {

// Start offset of page p as the last pagination recorded it.
std::int32_t pageStart(const ReaderState &s, int p)
{
    if (p < 1 || std::size_t(p) >= s.pageStarts.size())
        return 0;
    return s.pageStarts[std::size_t(p)];
}

} // namespace

void showPageAt(Reader &r, std::int32_t offset)
{
    r.s.shownPageStart = offset;
    showScreen(r, Screen::ReadingScreen);
}

void showFirstPage(Reader &r)
{
    r.s.currentPage = 1;
    showPageAt(r, 0);
}

void showLastPage(Reader &r)
{
    r.s.currentPage = r.s.pageCount;
    showPageAt(r, pageStart(r.s, r.s.pageCount));
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
    if (s.currentPage < s.pageCount) {
        s.currentPage = std::int16_t(s.currentPage + 1);
        showPageAt(r, pageStart(s, s.currentPage));
    } else if (s.currentSection < s.sectionCount) {
        enterNextSection(r);
    }
}

void previousPage(Reader &r)
{
    ReaderState &s = r.s;
    if (s.currentPage > 1) {
        s.currentPage = std::int16_t(s.currentPage - 1);
        showPageAt(r, pageStart(s, s.currentPage));
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
    if (s.currentPage == 1) {
        // From the first page the next boundary is the next section's start,
        // except in the last section where only its last page remains.
        if (s.currentSection == s.sectionCount)
            showLastPage(r);
        else
            enterNextSection(r);
    } else if (s.currentPage != s.pageCount) {
        showLastPage(r);
    } else if (s.currentSection < s.sectionCount) {
        enterNextSection(r);
    }
}

void previousSectionCommand(Reader &r)
{
    ReaderState &s = r.s;
    clearReadingMarks(s);
    if (s.currentPage >= 2) {
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
