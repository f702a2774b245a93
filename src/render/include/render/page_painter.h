#pragma once
#include "platform/surface.h"
#include "render/layout_walk.h"

#include <cstdint>
#include <string_view>

namespace pagora {

struct Canvas;
struct ReaderState;

// What the text of one page is drawn from, taken from the state for one
// paint: the painter reads nothing else.
struct PageView {
    std::u16string_view text;
    std::int32_t start = 0;
    TextArea area;
    TextPaint ink;
    bool verticalForms = true;
};

// The view of the page of the open section that starts at start.
PageView pageView(const Canvas &c, const ReaderState &s, std::int32_t start);
// The characters of the page, without its marks.
void drawPageText(const Canvas &c, const PageView &page);
// The reading page that starts at offset start, with its position marks.
void drawPage(const Canvas &c, const ReaderState &s, std::int32_t start);

} // namespace pagora
