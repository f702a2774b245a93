#pragma once
#include "platform/surface.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pagora {

struct Reader;
struct ReaderState;
enum class Screen : std::int16_t;

// What the panel shows, told in words for assistive technology. Everything
// here is read from the state when asked, never kept up on a page turn.

// Something a tap acts on: its words and the rectangle a tap hits.
struct ShownItem {
    std::u16string label;
    PixelRect place;
    bool isChosen = false; // the book, title or cell the screen marks
};

struct ShownScreen {
    std::u16string name;
    // The books of the shelf page, the titles of the contents page, the
    // entries of the notes page, in reading order; empty on other screens.
    std::vector<ShownItem> list;
    std::vector<ShownItem> buttons;
    bool hasText = false; // a page of text (reading) or of help
};
ShownScreen shownScreen(const ReaderState &s);
// A screen's name, as its title or the button that opens it names it.
std::u16string screenName(const ReaderState &s, Screen screen);

// The text shown and where its characters sit. Offsets are from the first
// character shown: the reading screen's page is [start, end) of the section,
// so a page offset plus start is a section offset.
struct ShownText {
    std::int32_t start = 0, end = 0;
    std::u16string text;
    // Where each column (a line of vertical text) begins, ascending from 0.
    std::vector<std::int32_t> lineStarts;
    // The cell of each character, x == width == 0 where none is drawn (a
    // line end); as many as text has.
    std::vector<PixelRect> cells;
    // The selection on the page, [selectionStart, selectionEnd); equal when none.
    std::int32_t selectionStart = 0, selectionEnd = 0;
};
ShownText shownText(const ReaderState &s);

// The reading screen's page-turn regions, as a tap on them turns the page.
ShownItem pageTurnItem(const ReaderState &s, bool forward);

// A press and release of the left button at the middle of place, taken as
// the panel takes a tap there.
void tapItem(Reader &r, const ShownItem &item);

} // namespace pagora
