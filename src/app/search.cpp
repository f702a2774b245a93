#include "app/search.h"
#include "app/messages.h"

#include "app/navigation.h"
#include "app/reader.h"
#include "book/section_loader.h"
#include "render/layout_walk.h"
#include "screens/search_controls.h"
#include "state/interface_texts.h"

#include <algorithm>

namespace pagora {

namespace {

// First offset p, from <= p <= length - n, where pattern starts; -1 if none.
std::int32_t scanForward(std::u16string_view text, std::u16string_view pattern, std::int32_t from)
{
    if (from < 0 || std::size_t(from) + pattern.size() > text.size())
        return -1;
    const auto begin = text.begin() + from;
    const auto hit = std::search(begin, text.end(), pattern.begin(), pattern.end());
    return hit == text.end() ? -1 : std::int32_t(hit - text.begin());
}

// Largest offset p, 0 <= p <= end - n, where pattern starts; -1 if none.
std::int32_t scanBackward(std::u16string_view text, std::u16string_view pattern, std::int32_t end)
{
    end = std::min<std::int32_t>(end, std::int32_t(text.size()));
    if (end < std::int32_t(pattern.size()))
        return -1;
    const auto last = text.begin() + end;
    const auto hit = std::find_end(text.begin(), last, pattern.begin(), pattern.end());
    return hit == last ? -1 : std::int32_t(hit - text.begin());
}

// The text of the section loaded, as far as the layout may use it.
std::u16string_view loadedText(const ReaderState &s)
{
    return s.book.usableText();
}

// The reading screen with the hit's page, its characters inverted.
void showHit(Reader &r, std::int32_t p)
{
    ReaderState &s = r.state;
    s.search.rememberHit(s.book.currentSection, p);
    hideSearchBox(*r.services.searchBox, s.menu);
    if (s.saved.savedSection != s.book.currentSection)
        s.menu.showSectionNumber = true;
    s.menu.showPageNumber = true;
    s.menu.showMatch = true;
    finishLayout(s.book);
    showPage(r, s.book.pages.pageHolding(p));
}

// A hit in another section: only now is that section loaded and laid out.
void showHitIn(Reader &r, int section, std::u16string text, std::int32_t p)
{
    ReaderState &s = r.state;
    s.book.currentSection = std::int16_t(section);
    s.book.setSectionText(std::move(text));
    repaginate(s.book, computeTextArea(s));
    showHit(r, p);
}

int notFound(Reader &r)
{
    r.state.search.markNotFound();
    reportNotFound(r);
    return 0;
}

// Whether the remembered hit lies in the current section between from and to.
bool rememberedHitIn(const ReaderState &s, std::int32_t from, std::int32_t to)
{
    return s.search.matchFound() && s.search.matchSection() == s.book.currentSection &&
           s.search.matchOffset() >= from && s.search.matchOffset() <= to;
}

} // namespace

int readSearchText(Reader &r)
{
    // A box never created holds what the selection's find put there, or nothing.
    std::u16string text = r.services.searchBox->text();
    if (text.size() > std::size_t(kSearchTextMax))
        text.resize(std::size_t(kSearchTextMax));
    r.state.search.searchText = std::move(text);
    return int(r.state.search.searchText.size());
}

// The sections after (or before) the one shown are searched in their text
// alone: none is laid out unless it holds the hit, and a miss leaves the
// section shown as it was.
int findNext(Reader &r)
{
    ReaderState &s = r.state;
    const int n = readSearchText(r);
    if (n == 0)
        return 0;
    const int page = s.book.pages.shownPage();
    std::int32_t from = s.book.pages.start(page);
    // Repeated finds step from hit to hit without overlapping.
    if (rememberedHitIn(s, from, s.book.pages.start(page + 1) - 1))
        from = s.search.matchOffset() + n;
    savePosition(s);
    if (const std::int32_t p = scanForward(loadedText(s), s.search.searchText, from); p >= 0) {
        showHit(r, p);
        return 1;
    }
    for (int section = s.book.currentSection + 1; section <= s.book.sectionCount; ++section) {
        std::u16string text;
        readSectionText(s.book.bookFile, section, text); // an unreadable section holds no hit
        if (const std::int32_t p = scanForward(text, s.search.searchText, 0); p >= 0) {
            showHitIn(r, section, std::move(text), p);
            return 1;
        }
    }
    return notFound(r);
}

int findPrevious(Reader &r)
{
    ReaderState &s = r.state;
    const int n = readSearchText(r);
    if (n == 0)
        return 0;
    const int page = s.book.pages.shownPage();
    std::int32_t end = s.book.pages.start(page + 1);
    // A hit before the remembered one must end before it starts.
    if (rememberedHitIn(s, s.book.pages.start(page), end))
        end = s.search.matchOffset();
    savePosition(s);
    if (const std::int32_t p = scanBackward(loadedText(s), s.search.searchText, end); p >= 0) {
        showHit(r, p);
        return 1;
    }
    for (int section = s.book.currentSection - 1; section >= 1; --section) {
        std::u16string text;
        readSectionText(s.book.bookFile, section, text);
        if (const std::int32_t p = scanBackward(text, s.search.searchText, std::int32_t(text.size())); p >= 0) {
            showHitIn(r, section, std::move(text), p);
            return 1;
        }
    }
    return notFound(r);
}

void savePosition(ReaderState &s)
{
    s.saved.savedSection = s.book.currentSection;
    s.saved.savedPage = s.book.pages.currentPage();
}

void reportNotFound(Reader &r)
{
    r.services.dialogs->showMessage(std::u16string(texts::notFound) + std::u16string(texts::search));
}

} // namespace pagora
