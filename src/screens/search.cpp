#include "screens/search.h"

#include "app/input_dispatch.h"
#include "app/interface_texts.h"
#include "render/layout_walk.h"
#include "render/navigation.h"
#include "render/primitives.h"

#include <algorithm>

namespace {

// The interface font's cell; the box is placed in it whatever font is current.
constexpr int kInterfaceCell = 16;

// The loaded part of the section: a failed load keeps the old text but a length of 0.
std::int32_t loadedLength(const ReaderState &s)
{
    return std::clamp<std::int32_t>(s.textLength, 0, std::int32_t(s.sectionText.size()));
}

std::int32_t pageStart(const ReaderState &s, int page)
{
    if (page < 1 || std::size_t(page) >= s.pageStarts.size())
        return 0;
    return s.pageStarts[std::size_t(page)];
}

// The current page, kept inside 1..pageCount.
int shownPage(const ReaderState &s)
{
    return std::clamp<int>(s.currentPage, 1, std::max<int>(s.pageCount, 1));
}

// First offset p, from <= p <= length - n, where the search text starts; -1 if none.
std::int32_t scanForward(const ReaderState &s, std::int32_t from)
{
    const std::u16string_view text(s.sectionText.data(), std::size_t(loadedLength(s)));
    const std::u16string_view pattern = s.searchText;
    if (from < 0 || std::size_t(from) + pattern.size() > text.size())
        return -1;
    const auto begin = text.begin() + from;
    const auto hit = std::search(begin, text.end(), pattern.begin(), pattern.end());
    return hit == text.end() ? -1 : std::int32_t(hit - text.begin());
}

// Largest offset p, 0 <= p <= end - n, where the search text starts; -1 if none.
std::int32_t scanBackward(const ReaderState &s, std::int32_t end)
{
    const std::u16string_view text(s.sectionText.data(), std::size_t(loadedLength(s)));
    const std::u16string_view pattern = s.searchText;
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
    s.matchFound = 1;
    s.matchSection = s.currentSection;
    s.matchOffset = p;
    int page = shownPage(s);
    if (forward) {
        while (page < s.pageCount && p >= pageStart(s, page + 1))
            ++page;
    } else {
        while (page > 1 && p < pageStart(s, page))
            --page;
    }
    s.currentPage = std::int16_t(page);
    hideSearchBox(r);
    if (s.savedSection != s.currentSection)
        s.showSectionNumber = 1;
    s.showPageNumber = 1;
    s.showMatch = 1;
    showPageAt(r, pageStart(s, page));
}

int notFound(Reader &r)
{
    r.s.matchFound = 0;
    restorePosition(r);
    reportNotFound(r);
    return 0;
}

// Whether the remembered hit lies in the current section between from and to.
bool rememberedHitIn(const ReaderState &s, std::int32_t from, std::int32_t to)
{
    return s.matchFound == 1 && s.matchSection == s.currentSection && s.matchOffset >= from && s.matchOffset <= to;
}

} // namespace

void paintSearchControls(Reader &r)
{
    ReaderState &s = r.s;
    drawText(r, texts::searchLabel, kInterfaceCell, s.topBarHeight + 32);
    if (TextBox *box = r.p.searchBox) {
        if (!box->isCreated())
            box->create(4 * kInterfaceCell, s.topBarHeight + 28, 7 * kInterfaceCell, kInterfaceCell + 6);
        box->show();
        box->focus();
    }
    selectInterfaceFont(r);
    drawText(r, texts::findNext, (s.halfWidth - 64) / 2, s.pageBandLabelTop);
    drawText(r, texts::findPrevious, s.halfWidth + (s.halfWidth - 64) / 2, s.pageBandLabelTop);
    drawLine(r, s.halfWidth, s.menuBandBottom, s.halfWidth, s.thirdRowTop);
}

void hideSearchBox(Reader &r)
{
    if (r.s.searchMode == 1 && r.p.searchBox && r.p.searchBox->isCreated())
        r.p.searchBox->hide();
}

int readSearchText(Reader &r)
{
    std::u16string text = r.p.searchBox && r.p.searchBox->isCreated() ? r.p.searchBox->text() : std::u16string();
    if (text.size() > std::size_t(kSearchTextMax))
        text.resize(std::size_t(kSearchTextMax));
    r.s.searchText = std::move(text);
    return int(r.s.searchText.size());
}

int findNext(Reader &r)
{
    ReaderState &s = r.s;
    const int n = readSearchText(r);
    if (n == 0)
        return 0;
    const int page = shownPage(s);
    std::int32_t from = pageStart(s, page);
    // Repeated finds step from hit to hit without overlapping.
    if (rememberedHitIn(s, from, pageStart(s, page + 1) - 1))
        from = s.matchOffset + n;
    savePosition(s);
    for (;;) {
        const std::int32_t p = scanForward(s, from);
        if (p >= 0) {
            showHit(r, p, true);
            return 1;
        }
        if (s.currentSection >= s.sectionCount)
            return notFound(r);
        ++s.currentSection;
        loadSection(r);
        s.currentPage = 1;
        from = 0;
    }
}

int findPrevious(Reader &r)
{
    ReaderState &s = r.s;
    const int n = readSearchText(r);
    if (n == 0)
        return 0;
    const int page = shownPage(s);
    std::int32_t end = pageStart(s, page + 1);
    // A hit before the remembered one must end before it starts.
    if (rememberedHitIn(s, pageStart(s, page), end))
        end = s.matchOffset;
    savePosition(s);
    for (;;) {
        const std::int32_t p = scanBackward(s, end);
        if (p >= 0) {
            showHit(r, p, false);
            return 1;
        }
        if (s.currentSection <= 1)
            return notFound(r);
        --s.currentSection;
        loadSection(r); // leaves currentPage on the section's last page
        end = loadedLength(s);
    }
}

void savePosition(ReaderState &s)
{
    s.savedSection = s.currentSection;
    s.savedPage = s.currentPage;
}

void restorePosition(Reader &r)
{
    ReaderState &s = r.s;
    if (s.savedSection == s.currentSection)
        return;
    s.currentSection = s.savedSection;
    loadSection(r);
    s.currentPage = std::int16_t(std::clamp<int>(s.savedPage, 1, std::max<int>(s.pageCount, 1)));
}

void reportNotFound(Reader &r)
{
    if (r.p.dialogs)
        r.p.dialogs->showMessage(std::u16string(texts::notFound) + std::u16string(texts::search));
}

void highlightMatch(Reader &r)
{
    const ReaderState &s = r.s;
    const std::int32_t n = std::int32_t(s.searchText.size());
    if (n == 0 || s.matchSection != s.currentSection)
        return;
    const std::int32_t first = s.matchOffset;
    const std::int32_t last = s.matchOffset + n - 1;
    const TextArea area = computeTextArea(s);
    layoutPage(s.sectionText.data(), loadedLength(s), pageStart(s, shownPage(s)), area, [&](const PlacedCell &cell) {
        const std::int32_t cellLast = cell.offset + cell.units - 1;
        if (cellLast >= first && cell.offset <= last)
            invertRect(r, cell.x, cell.y + 1, area.cell, area.cell);
        return cellLast < last;
    });
}
