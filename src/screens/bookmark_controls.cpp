#include "screens/bookmark_controls.h"

#include "render/primitives.h"
#include "state/interface_texts.h"
#include "state/reader_state.h"

namespace pagora {

void paintBookmarkControls(const Canvas &canvas, const ReaderState &s)
{
    const TextPaint ink = interfaceText(canvas.fonts);
    canvas.surface.drawText((s.window.clientWidth - 64) / 2, s.layout.menuTitleTop,
                            s.bookmarks.pageHasBookmark ? texts::deleteBookmark : texts::addBookmark, ink);
    if (s.bookmarks.nextMarkPage != 0)
        canvas.surface.drawText((s.layout.halfWidth - 64) / 2, s.layout.pageBandLabelTop, texts::nextBookmark, ink);
    if (s.bookmarks.prevMarkPage != 0)
        canvas.surface.drawText(s.layout.halfWidth + (s.layout.halfWidth - 64) / 2, s.layout.pageBandLabelTop,
                                texts::previousBookmark, ink);
    canvas.surface.drawLine(s.layout.halfWidth, s.layout.menuBandBottom, s.layout.halfWidth, s.layout.thirdRowTop);
}

} // namespace pagora
