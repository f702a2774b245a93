#pragma once
#include "platform/surface.h"

#include <string>
#include <string_view>

namespace pagora {

struct Canvas;
struct ReaderState;

// The menu screen; in search mode the box over it is the app's.
void paintMenuScreen(const Canvas &canvas, const ReaderState &s);
// The "標點 直 橫" group in the free room left of the window row, and the
// inversion that marks the choice in use (drawn again to take it off).
void paintPunctuationChoice(const Canvas &canvas, const ReaderState &s);
void markPunctuationChoice(Surface &surface, const ReaderState &s);

// The "避頭尾" switch in the free room of the colour row, above the notes
// button: its left edge and width, and the inversion that marks it on.
int breaksSwitchLeft(const ReaderState &s);
constexpr int kBreaksSwitchWidth = 52;
void markBreaksSwitch(Surface &surface, const ReaderState &s);

// The buttons of the menu's middle band. In search or bookmark mode the two
// left cells are one button that cancels the mode.
enum class MenuBandButton { ModeCancel, Search, Bookmark, Back, Contents, Shelf };
// The inside of a band button, what a press inverts.
PixelRect menuBandButton(const ReaderState &s, MenuBandButton button);
MenuBandButton menuBandButtonAt(const ReaderState &s, int x);
void invertBandButton(Surface &surface, const ReaderState &s, MenuBandButton button);

// The "附註" button in the free room between that group and the window row:
// its left edge and width.
int notesButtonLeft(const ReaderState &s);
constexpr int kNotesButtonWidth = 36;

// The "朗讀" button of the window row: in the room between "附註" and the
// row's label where that holds it, else right of the last window-mode cell,
// narrowed to "讀" where even that room is short.
PixelRect readAloudButton(const ReaderState &s);
constexpr int kReadAloudWidth = 36;
bool overReadAloudButton(const ReaderState &s, int x, int y);
void invertReadAloudButton(Surface &surface, const ReaderState &s);

// Width of the face-name button: the name's width in the interface font as the
// double-byte code page counts it (ASCII 1 byte, anything else 2), plus 4.
int fontNameButtonWidth(std::string_view fontName);
// The face the page is drawn in, as the face button names it: the family the
// reading font resolved to, or the name asked for when the surface cannot tell.
std::u16string shownFaceName(Surface &surface, const PainterFonts &fonts, const ReaderState &s);
// The face button's width: its name's, kept within the room before the size row.
int faceButtonWidth(Surface &surface, const PainterFonts &fonts, const ReaderState &s);
// The left edge of numbered cell i (1-based) of a digit row.
int digitCellX(const ReaderState &s, int i);

} // namespace pagora
