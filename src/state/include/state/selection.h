#pragma once
#include <cstdint>

namespace pagora {

// What floats over the selection: the context menu, the look-up card or
// the row of colours a mark is drawn in.
enum class SelectionPopup : std::int8_t { None, Menu, Card, Swatches };

// The text selected on the page shown, in UTF-16 code units of the section,
// the gesture that is making it, and the menu or card opened on it.
struct Selection {
    std::int32_t start = 0;
    std::int32_t length = 0; // 0: nothing selected
    bool dragging = false;   // a press that selects is held
    bool moved = false;      // it has left the cell it was pressed on
    bool byRightButton = false;
    int pressX = 0, pressY = 0;
    SelectionPopup popup = SelectionPopup::None;
    // The marked passage the menu was opened on (0: none); its entries act on it.
    std::int64_t markId = 0;
    // The popup's rectangle, right and bottom excluded.
    int popupLeft = 0, popupTop = 0, popupRight = 0, popupBottom = 0;

    bool isEmpty() const { return length <= 0; }
    bool contains(std::int32_t offset) const { return offset >= start && offset < start + length; }
};

} // namespace pagora
