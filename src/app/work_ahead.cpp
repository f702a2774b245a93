#include "app/work_ahead.h"

#include "app/reader.h"
#include "app/show_screen.h"
#include "book/section_loader.h"
#include "render/page_painter.h"
#include "render/primitives.h"

#include <functional>
#include <string>

namespace pagora {

namespace {

std::size_t hashOf(std::u16string_view text)
{
    return std::hash<std::u16string_view>{}(text);
}

std::string openBookName(const ReaderState &s)
{
    const int open = s.shelf.openBook();
    if (open < 0 || open >= s.shelf.bookCount())
        return {};
    return s.shelf.shelfPath + s.shelf.catalogue()[std::size_t(open)].fileName;
}

// Draws a page where nothing shows: only the glyph cache keeps it.
void warmPage(Reader &r, std::u16string_view text, std::int32_t start)
{
    const Canvas warm{*r.services.glyphWarmer, r.fonts};
    PageView page = pageView(warm, r.state, start);
    page.text = text;
    drawPageText(warm, page);
}

void warmShownSectionPage(Reader &r, int page)
{
    const PageTable &pages = r.state.book.pages;
    if (page >= 1 && page <= pages.pageCount())
        warmPage(r, r.state.book.usableText(), pages.start(page));
}

// Lays out section, keeps its pages and draws the page the turn into it
// shows: its first going forward, its last going back.
void prepareSection(Reader &r, PreparedSection &into, int section, bool forward)
{
    OpenBook &book = r.state.book;
    const TextArea area = computeTextArea(r.state);
    std::string name = openBookName(r.state);
    if (section < 1 || section > book.sectionCount ||
        (into.section == section && into.area == area && into.book == name))
        return;
    std::u16string text;
    if (!readSectionText(book.bookFile, section, text))
        return;
    into.section = section;
    into.book = std::move(name);
    into.area = area;
    into.textLength = text.size();
    into.textHash = hashOf(text);
    into.pages = paginate(text, area);
    const int page = forward ? 1 : into.pages.pageCount();
    warmPage(r, text, into.pages.start(page));
}

// A slice of the open section's pages still to lay out, and once they all
// are, the bottom of the page drawn again: the page indicator with its count
// and the position mark. False when there is nothing to do.
bool layOutShownSection(Reader &r)
{
    const ReaderState &s = r.state;
    WorkAhead &w = r.ahead;
    if (!s.book.pages.isComplete()) {
        w.countPending = true;
        layOutSlice(r.state.book);
        return true;
    }
    if (!w.countPending)
        return false;
    w.countPending = false;
    // The indicator's box and the mark on the panel's last rows.
    repaintRect(r, 0, s.window.clientHeight - 18, s.window.clientWidth, s.window.clientHeight);
    return true;
}

} // namespace

bool workAhead(Reader &r)
{
    const ReaderState &s = r.state;
    WorkAhead &w = r.ahead;
    if (s.currentScreen != Screen::ReadingScreen || s.book.pages.shownPageStart() < 0 || s.window.layoutBusy)
        return false;
    if (layOutShownSection(r))
        return true;
    if (w.section != s.book.currentSection || w.pageStart != s.book.pages.shownPageStart()) {
        w.section = s.book.currentSection;
        w.pageStart = s.book.pages.shownPageStart();
        w.step = 0;
    }
    const int page = s.book.pages.shownPage();
    switch (w.step++) {
    // The page most likely next comes last: what the turn copies is then
    // still near at hand.
    case 0: prepareSection(r, w.next, s.book.currentSection + 1, true); break;
    case 1: prepareSection(r, w.previous, s.book.currentSection - 1, false); break;
    case 2: warmShownSectionPage(r, page - 1); break;
    case 3: warmShownSectionPage(r, page + 1); break;
    default: return false;
    }
    return true;
}

void beginSectionLayout(Reader &r, int throughPage)
{
    beginLayout(r.state.book, computeTextArea(r.state), throughPage);
    r.ahead.countPending = !r.state.book.pages.isComplete();
}

void beginSectionLayoutAt(Reader &r, std::int32_t offset)
{
    beginSectionLayout(r, 1);
    layOutThroughOffset(r.state.book, offset);
}

bool takePreparedPages(Reader &r, int section, PageTable &pages)
{
    const std::u16string_view text = r.state.book.usableText();
    for (PreparedSection *p : {&r.ahead.next, &r.ahead.previous}) {
        if (p->section != section)
            continue;
        const bool fits =
            p->area == computeTextArea(r.state) && p->textLength == text.size() && p->textHash == hashOf(text);
        p->section = 0;
        if (!fits)
            continue;
        pages = std::move(p->pages);
        p->pages.clear();
        return true;
    }
    return false;
}

} // namespace pagora
