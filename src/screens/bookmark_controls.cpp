#include "screens/bookmark_controls.h"

#include "book/bookmark_store.h"
#include "platform/reader.h"
#include "render/primitives.h"
#include "state/interface_texts.h"

namespace pagora {

void paintBookmarkControls(Reader &r)
{
    ReaderState &s = r.s;
    // The page may have changed since the last toggle: ask the tables, so
    // that a delete is only ever offered for a page that carries a bookmark.
    s.pageHasBookmark = currentPageHasBookmark(s);
    drawText(r, s.pageHasBookmark ? texts::deleteBookmark : texts::addBookmark, (s.clientWidth - 64) / 2,
             s.menuTitleTop);
    findBookmarkNeighbours(s);
    if (s.nextMarkPage != 0)
        drawText(r, texts::nextBookmark, (s.halfWidth - 64) / 2, s.pageBandLabelTop);
    if (s.prevMarkPage != 0)
        drawText(r, texts::previousBookmark, s.halfWidth + (s.halfWidth - 64) / 2, s.pageBandLabelTop);
    drawLine(r, s.halfWidth, s.menuBandBottom, s.halfWidth, s.thirdRowTop);
}

} // namespace pagora
