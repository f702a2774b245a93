#include "app/navigation.h"

#include "app/passage_mark_commands.h"
#include "app/reader.h"
#include "app/selection_handlers.h"
#include "app/show_screen.h"
#include "book/section_loader.h"
#include "render/indicators.h"
#include "render/layout_walk.h"
#include "render/primitives.h"

namespace pagora {

void showPage(Reader &r, int page)
{
    // Whoever names a page gets it laid out, however far the section is.
    layOutThroughPage(r.state.book, page);
    r.state.book.pages.show(page);
    if (r.state.currentScreen != Screen::ReadingScreen) {
        showScreen(r, Screen::ReadingScreen);
        return;
    }
    // A turn on the reading screen: the page, its marks, no selection. The
    // press that turned it is used up.
    r.state.pointer.letGo();
    dropSelection(r);
    refreshShownMarks(r);
    repaintShown(r);
}

void showFirstPage(Reader &r)
{
    showPage(r, 1);
}

void showLastPage(Reader &r)
{
    finishLayout(r.state.book);
    showPage(r, r.state.book.pages.pageCount());
}

void loadSection(Reader &r)
{
    // A failed load is not checked: whatever text is then loaded is shown.
    loadSectionText(r.state.book, r.state.book.currentSection);
    PageTable pages;
    if (takePreparedPages(r, r.state.book.currentSection, pages))
        r.state.book.pages.repaginate(std::move(pages));
    else
        beginSectionLayout(r, 1);
}

void openSectionAtFirstPage(Reader &r)
{
    loadSection(r);
    showFirstPage(r);
}

void enterNextSection(Reader &r)
{
    r.state.book.currentSection = std::int16_t(r.state.book.currentSection + 1);
    openSectionAtFirstPage(r);
}

void enterPreviousSection(Reader &r)
{
    r.state.book.currentSection = std::int16_t(r.state.book.currentSection - 1);
    loadSection(r);
    showLastPage(r);
}

void nextPage(Reader &r)
{
    ReaderState &s = r.state;
    layOutThroughPage(s.book, s.book.pages.currentPage() + 1);
    if (s.book.pages.currentPage() < s.book.pages.pageCount()) {
        showPage(r, s.book.pages.currentPage() + 1);
    } else if (s.book.currentSection < s.book.sectionCount) {
        enterNextSection(r);
    }
}

void previousPage(Reader &r)
{
    ReaderState &s = r.state;
    if (s.book.pages.currentPage() > 1) {
        showPage(r, s.book.pages.currentPage() - 1);
    } else if (s.book.currentSection > 1) {
        enterPreviousSection(r);
    }
}

void nextPageCommand(Reader &r)
{
    r.state.menu.clearReadingMarks();
    nextPage(r);
}

void previousPageCommand(Reader &r)
{
    r.state.menu.clearReadingMarks();
    previousPage(r);
}

void nextSectionCommand(Reader &r)
{
    ReaderState &s = r.state;
    s.menu.clearReadingMarks();
    if (s.book.pages.currentPage() == 1) {
        // From the first page the next boundary is the next section's start,
        // except in the last section where only its last page remains.
        if (s.book.currentSection == s.book.sectionCount)
            showLastPage(r);
        else
            enterNextSection(r);
        return;
    }
    finishLayout(s.book);
    if (s.book.pages.currentPage() != s.book.pages.pageCount()) {
        showLastPage(r);
    } else if (s.book.currentSection < s.book.sectionCount) {
        enterNextSection(r);
    }
}

void previousSectionCommand(Reader &r)
{
    ReaderState &s = r.state;
    s.menu.clearReadingMarks();
    if (s.book.pages.currentPage() >= 2) {
        showFirstPage(r);
    } else if (s.book.currentSection > 1) {
        s.book.currentSection = std::int16_t(s.book.currentSection - 1);
        openSectionAtFirstPage(r);
    }
}

namespace {

// The reading screen's indicator just turned on or off, painted again with
// the page beneath it.
void showIndicator(Reader &r, Indicator kind)
{
    const PixelRect box = readingIndicatorBox(canvasOf(r), r.state, kind);
    repaintRect(r, box.x, box.y - 2, box.x + box.width, box.y + box.height + 2);
}

} // namespace

void readingPointer(Reader &r, int x, int y)
{
    ReaderState &s = r.state;
    if (s.pointer.pointerPhase() != PointerPhase::Press)
        return;
    // Forward is leftward: the left third turns forward, the right third back.
    if (x < s.layout.leftThird) {
        if (y < s.layout.halfHeight)
            nextSectionCommand(r);
        else
            nextPageCommand(r);
    } else if (x >= s.layout.rightThird) {
        if (y < s.layout.halfHeight)
            previousSectionCommand(r);
        else
            previousPageCommand(r);
    } else if (y >= s.layout.menuBandBottom) {
        s.menu.showPageNumber = !s.menu.showPageNumber;
        showIndicator(r, Indicator::Page);
    } else if (y < s.layout.menuBandTop) {
        s.menu.showSectionNumber = !s.menu.showSectionNumber;
        showIndicator(r, Indicator::Section);
    } else {
        showScreen(r, Screen::MenuScreen);
    }
}

} // namespace pagora
