#pragma once

namespace pagora {

// The room the page text is laid out in: the cell, the rows of a column
// and the band the columns fill, right to left.
struct TextArea {
    int cell = 16;
    int rows = 0;
    int textTop = 0;
    int textBottom = 0;
    int rightLimit = 0;
    int horizontalMargin = 20;
    // Columns never open with a closing mark nor end with an opening one
    // (see columnBreak); off, columns break wherever they fill.
    bool chineseBreaks = false;

    friend bool operator==(const TextArea &, const TextArea &) = default;
};

} // namespace pagora
