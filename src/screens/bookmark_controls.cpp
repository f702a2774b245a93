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
    s.marks.pageHasBookmark = currentPageHasBookmark(s.marks, s.book);
    drawText(r, s.marks.pageHasBookmark ? texts::deleteBookmark : texts::addBookmark, (s.window.clientWidth - 64) / 2,
             s.layout.menuTitleTop);
    findBookmarkNeighbours(s.marks, s.book);
    if (s.marks.nextMarkPage != 0)
        drawText(r, texts::nextBookmark, (s.layout.halfWidth - 64) / 2, s.layout.pageBandLabelTop);
    if (s.marks.prevMarkPage != 0)
        drawText(r, texts::previousBookmark, s.layout.halfWidth + (s.layout.halfWidth - 64) / 2,
                 s.layout.pageBandLabelTop);
    drawLine(r, s.layout.halfWidth, s.layout.menuBandBottom, s.layout.halfWidth, s.layout.thirdRowTop);
}

} // namespace pagora
