#pragma once
#include <string_view>

namespace pagora {

struct Reader;
struct ReaderState;

void paintMenuScreen(Reader &r);
// The "標點 直 橫" group in the free room left of the window row, and the
// inversion that marks the choice in use (drawn again to take it off).
void paintPunctuationChoice(Reader &r);
void markPunctuationChoice(Reader &r);

// The "附註" button in the free room between that group and the window row:
// its left edge and width.
int notesButtonLeft(const ReaderState &s);
constexpr int kNotesButtonWidth = 36;

// Width of the face-name button: the name's width in the interface font as the
// double-byte code page counts it (ASCII 1 byte, anything else 2), plus 4.
int fontNameButtonWidth(std::string_view fontName);
// The left edge of numbered cell i (1-based) of a digit row.
int digitCellX(const ReaderState &s, int i);

} // namespace pagora
