#pragma once
#include "state/colour.h"

#include <cstdint>

namespace pagora {

class Surface;
struct ReaderState;

// Width of the band beside a marked cell, in the gap right of its column.
constexpr int kMarkBandWidth = 3;
// The square after a passage's last character that says it has a note.
constexpr int kNoteMarkSize = 5;
constexpr int kMarkColours = 4;

// What mark colour 1..4 looks like on a page of this background: deep on a
// light page, pale on a dark one, so that it stands out on every background.
Colour markColour(int colour, Colour background);

// The marks of the section shown that lie on the page from start: a band of
// their colour at the right edge of each marked cell, and the note square.
// Nothing of the page itself moves or changes.
void drawNoteMarks(Surface &surface, const ReaderState &s, std::int32_t start);

} // namespace pagora
