#include "screens/search_controls.h"

#include "platform/text_box.h"
#include "render/layout_walk.h"
#include "render/primitives.h"
#include "state/interface_texts.h"
#include "state/reader_state.h"

#include <algorithm>

namespace pagora {

void paintSearchControls(const Canvas &canvas, const ReaderState &s)
{
    const TextPaint ink = interfaceText(canvas.fonts);
    canvas.surface.drawText(kInterfaceCell, s.layout.topBarHeight + 32, texts::searchLabel, ink);
    canvas.surface.drawText((s.layout.halfWidth - 64) / 2, s.layout.pageBandLabelTop, texts::findNext, ink);
    canvas.surface.drawText(s.layout.halfWidth + (s.layout.halfWidth - 64) / 2, s.layout.pageBandLabelTop,
                            texts::findPrevious, ink);
    canvas.surface.drawLine(s.layout.halfWidth, s.layout.menuBandBottom, s.layout.halfWidth, s.layout.thirdRowTop);
}

PixelRect searchBoxPlace(const ReaderState &s)
{
    // The box sits in the interface font's cells.
    return {4 * kInterfaceCell, s.layout.topBarHeight + 28, 7 * kInterfaceCell, kInterfaceCell + 6};
}

void hideSearchBox(TextBox &searchBox, const ReadingModes &menu)
{
    if (menu.searchMode && searchBox.isCreated())
        searchBox.hide();
}

void highlightMatch(Surface &surface, const ReaderState &s)
{
    const std::int32_t n = std::int32_t(s.search.searchText.size());
    if (n == 0 || s.search.matchSection() != s.book.currentSection)
        return;
    const std::int32_t first = s.search.matchOffset();
    const std::int32_t last = s.search.matchOffset() + n - 1;
    const TextArea area = computeTextArea(s);
    layoutPage(s.book.sectionText().data(), s.book.textLength(), s.book.pages.shownPageStart(), area,
               [&](const PlacedCell &cell) {
                   const std::int32_t cellLast = cell.offset + cell.units - 1;
                   if (cellLast >= first && cell.offset <= last)
                       surface.invertRect(cell.x, cell.y + 1, area.cell, area.cell);
                   return cellLast < last;
               });
}

} // namespace pagora
