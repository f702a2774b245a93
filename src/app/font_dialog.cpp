#include "app/font_dialog.h"

#include "app/reader.h"
#include "render/layout_walk.h"
#include "render/primitives.h"

#include <cstdint>
#include <limits>

namespace pagora {

namespace {

constexpr int kSmallestBase = 8;

} // namespace

bool chooseReadingFont(Reader &r)
{
    ReaderState &s = r.state;
    std::string face = s.look.fontName;
    int height = readingCell(s.look);
    if (!r.services.dialogs->chooseFont(face, height))
        return false;

    s.look.fontName = face;
    if (height == readingCell(s.look)) {
        // Same cell: the pages stay as they are, only the face changes.
        remakeReadingFont(r);
        return true;
    }
    // The menu's size step stays; the dialog sets the base under it.
    int base = height - 2 * s.look.sizeStep();
    if (base < kSmallestBase)
        base = kSmallestBase;
    // No upper bound is set, but the cell must still fit its 16-bit fields.
    const int largest = std::numeric_limits<std::int16_t>::max() - 2 * 9;
    if (base > largest)
        base = largest;
    if (base != s.look.baseFontSize) {
        s.look.baseFontSize = std::int16_t(base);
        relayoutKeepingPosition(*r.services.surface, r.fonts, s.book, s.look, computeTextArea(s));
        // Show the page that now holds the old first character from its
        // start, as every other re-layout does.
        if (s.book.pages.shownPageStart() >= 0)
            s.book.pages.show(s.book.pages.currentPage());
    } else {
        remakeReadingFont(r);
    }
    return true;
}

} // namespace pagora
