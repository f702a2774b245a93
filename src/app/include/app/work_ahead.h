#pragma once
#include "render/layout_walk.h"
#include "state/reader_state.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace pagora {

struct Reader;

// The pages of a neighbouring section, laid out while the reader was idle.
// Only the page starts are kept, never the text: they are used when the
// text loaded for that section is the one they were laid out from.
struct PreparedSection {
    int section = 0;  // 0: none
    std::string book; // shelf path and file name
    TextArea area;
    std::size_t textLength = 0;
    std::size_t textHash = 0;
    PageTable pages;
};

// What has been laid out and drawn ahead of the reader, and for which page.
struct WorkAhead {
    int section = 0;
    std::int32_t pageStart = -1;
    int step = 0;
    PreparedSection next, previous;
    // The open section's pages were laid out in part when shown: the page
    // count and the position mark are drawn once all of them are.
    bool countPending = false;
};

// One slice of the work done while the reader is idle: the rest of the open
// section laid out (then the bottom of its page drawn again, with the page
// count), the neighbouring sections laid out and their first (or last) page
// drawn, then the neighbouring pages drawn into the glyph cache. True while
// work is left.
bool workAhead(Reader &r);

// The section just loaded laid out as far as page throughPage (or the page
// holding offset), which is all a first paint needs; the rest is left to
// workAhead, or to whatever needs all the pages first (finishLayout).
void beginSectionLayout(Reader &r, int throughPage);
void beginSectionLayoutAt(Reader &r, std::int32_t offset);

// The page table laid out ahead for the text just loaded as section, if
// one fits it; it is handed over and not kept.
bool takePreparedPages(Reader &r, int section, PageTable &pages);

} // namespace pagora
