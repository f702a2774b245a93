#pragma once
#include <cstdint>

namespace pagora {

// What a character of a vertical column is drawn as when vertical forms are
// on. Characters without one are drawn as they are.
struct VerticalForm {
    // The encoded vertical presentation form (U+FE10..FE19, U+FE30..FE4F),
    // drawn upright when the face has it; 0 when there is none.
    char16_t encodedForm = 0;
    // Drawn otherwise: the character itself or its full-width kin.
    char16_t glyph = 0;
    // Turn glyph a quarter clockwise (brackets, dashes and the like).
    bool turned = false;
    // Centre the ink in the cell (pause and stop marks, the colon).
    bool inkCentred = false;
};

// The form of u, or nullptr when u is drawn as it is.
const VerticalForm *verticalFormOf(char16_t u);

} // namespace pagora
