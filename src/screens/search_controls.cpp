#include "screens/search_controls.h"

#include "platform/reader.h"
#include "render/layout_walk.h"
#include "render/primitives.h"
#include "state/interface_texts.h"

#include <algorithm>

namespace pagora {

namespace {

// The interface font's cell; the box is placed in it whatever font is current.
constexpr int kInterfaceCell = 16;

} // namespace

void paintSearchControls(Reader &r)
{
    ReaderState &s = r.s;
    drawText(r, texts::searchLabel, kInterfaceCell, s.layout.topBarHeight + 32);
    TextBox &box = *r.p.searchBox;
    if (!box.isCreated())
        box.create(4 * kInterfaceCell, s.layout.topBarHeight + 28, 7 * kInterfaceCell, kInterfaceCell + 6);
    box.show();
    box.focus();
    selectInterfaceFont(r);
    drawText(r, texts::findNext, (s.layout.halfWidth - 64) / 2, s.layout.pageBandLabelTop);
    drawText(r, texts::findPrevious, s.layout.halfWidth + (s.layout.halfWidth - 64) / 2, s.layout.pageBandLabelTop);
    drawLine(r, s.layout.halfWidth, s.layout.menuBandBottom, s.layout.halfWidth, s.layout.thirdRowTop);
}

void hideSearchBox(Reader &r)
{
    if (r.s.menu.searchMode && r.p.searchBox->isCreated())
        r.p.searchBox->hide();
}

void highlightMatch(Reader &r)
{
    const ReaderState &s = r.s;
    const std::int32_t n = std::int32_t(s.search.searchText.size());
    if (n == 0 || s.search.matchSection() != s.book.currentSection)
        return;
    const std::int32_t first = s.search.matchOffset();
    const std::int32_t last = s.search.matchOffset() + n - 1;
    const TextArea area = computeTextArea(s);
    layoutPage(s.book.sectionText.data(), s.book.usableLength(), s.book.pages.shownPageStart(), area,
               [&](const PlacedCell &cell) {
                   const std::int32_t cellLast = cell.offset + cell.units - 1;
                   if (cellLast >= first && cell.offset <= last)
                       invertRect(r, cell.x, cell.y + 1, area.cell, area.cell);
                   return cellLast < last;
               });
}

} // namespace pagora
