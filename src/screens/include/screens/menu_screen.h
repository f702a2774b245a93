#pragma once
#include <string_view>

namespace pagora {

struct Reader;
struct ReaderState;

void paintMenuScreen(Reader &r);

// Width of the face-name button: the name's width in the interface font as the
// double-byte code page counts it (ASCII 1 byte, anything else 2), plus 4.
int fontNameButtonWidth(std::string_view fontName);
// The left edge of numbered cell i (1-based) of a digit row.
int digitCellX(const ReaderState &s, int i);

} // namespace pagora
