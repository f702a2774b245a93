#include "app/search.h"

#include "app/navigation.h"
#include "platform/reader.h"
#include "screens/search_controls.h"
#include "state/interface_texts.h"

#include <algorithm>

namespace pagora {

namespace {

// First offset p, from <= p <= length - n, where the search text starts; -1 if none.
std::int32_t scanForward(const ReaderState &s, std::int32_t from)
{
    const std::u16string_view text(s.book.sectionText.data(), std::size_t(s.book.usableLength()));
    const std::u16string_view pattern = s.search.searchText;
    if (from < 0 || std::size_t(from) + pattern.size() > text.size())
        return -1;
    const auto begin = text.begin() + from;
    const auto hit = std::search(begin, text.end(), pattern.begin(), pattern.end());
    return hit == text.end() ? -1 : std::int32_t(hit - text.begin());
}

// Largest offset p, 0 <= p <= end - n, where the search text starts; -1 if none.
std::int32_t scanBackward(const ReaderState &s, std::int32_t end)
{
    const std::u16string_view text(s.book.sectionText.data(), std::size_t(s.book.usableLength()));
    const std::u16string_view pattern = s.search.searchText;
    end = std::min<std::int32_t>(end, std::int32_t(text.size()));
    if (end < std::int32_t(pattern.size()))
        return -1;
    const auto last = text.begin() + end;
    const auto hit = std::find_end(text.begin(), last, pattern.begin(), pattern.end());
    return hit == last ? -1 : std::int32_t(hit - text.begin());
}

// The reading screen with the hit's page, its characters inverted.
void showHit(Reader &r, std::int32_t p, bool forward)
{
    ReaderState &s = r.s;
    s.search.matchFound = true;
    s.search.matchSection = s.book.currentSection;
    s.search.matchOffset = p;
    int page = s.book.pages.shownPage();
    if (forward) {
        while (page < s.book.pages.pageCount() && p >= s.book.pages.start(page + 1))
            ++page;
    } else {
        while (page > 1 && p < s.book.pages.start(page))
            --page;
    }
    hideSearchBox(r);
    if (s.saved.savedSection != s.book.currentSection)
        s.menu.showSectionNumber = true;
    s.menu.showPageNumber = true;
    s.menu.showMatch = true;
    showPage(r, page);
}

int notFound(Reader &r)
{
    r.s.search.matchFound = false;
    restorePosition(r);
    reportNotFound(r);
    return 0;
}

// Whether the remembered hit lies in the current section between from and to.
bool rememberedHitIn(const ReaderState &s, std::int32_t from, std::int32_t to)
{
    return s.search.matchFound && s.search.matchSection == s.book.currentSection && s.search.matchOffset >= from &&
           s.search.matchOffset <= to;
}

} // namespace

int readSearchText(Reader &r)
{
    std::u16string text = r.p.searchBox->isCreated() ? r.p.searchBox->text() : std::u16string();
    if (text.size() > std::size_t(kSearchTextMax))
        text.resize(std::size_t(kSearchTextMax));
    r.s.search.searchText = std::move(text);
    return int(r.s.search.searchText.size());
}

int findNext(Reader &r)
{
    ReaderState &s = r.s;
    const int n = readSearchText(r);
    if (n == 0)
        return 0;
    const int page = s.book.pages.shownPage();
    std::int32_t from = s.book.pages.start(page);
    // Repeated finds step from hit to hit without overlapping.
    if (rememberedHitIn(s, from, s.book.pages.start(page + 1) - 1))
        from = s.search.matchOffset + n;
    savePosition(s);
    for (;;) {
        const std::int32_t p = scanForward(s, from);
        if (p >= 0) {
            showHit(r, p, true);
            return 1;
        }
        if (s.book.currentSection >= s.book.sectionCount)
            return notFound(r);
        ++s.book.currentSection;
        loadSection(r);
        s.book.pages.turnTo(1);
        from = 0;
    }
}

int findPrevious(Reader &r)
{
    ReaderState &s = r.s;
    const int n = readSearchText(r);
    if (n == 0)
        return 0;
    const int page = s.book.pages.shownPage();
    std::int32_t end = s.book.pages.start(page + 1);
    // A hit before the remembered one must end before it starts.
    if (rememberedHitIn(s, s.book.pages.start(page), end))
        end = s.search.matchOffset;
    savePosition(s);
    for (;;) {
        const std::int32_t p = scanBackward(s, end);
        if (p >= 0) {
            showHit(r, p, false);
            return 1;
        }
        if (s.book.currentSection <= 1)
            return notFound(r);
        --s.book.currentSection;
        loadSection(r); // leaves currentPage on the section's last page
        end = s.book.usableLength();
    }
}

void savePosition(ReaderState &s)
{
    s.saved.savedSection = s.book.currentSection;
    s.saved.savedPage = s.book.pages.currentPage();
}

void restorePosition(Reader &r)
{
    ReaderState &s = r.s;
    if (s.saved.savedSection == s.book.currentSection)
        return;
    s.book.currentSection = s.saved.savedSection;
    loadSection(r);
    s.book.pages.turnTo(std::clamp<int>(s.saved.savedPage, 1, std::max<int>(s.book.pages.pageCount(), 1)));
}

void reportNotFound(Reader &r)
{
    r.p.dialogs->showMessage(std::u16string(texts::notFound) + std::u16string(texts::search));
}

} // namespace pagora
