#pragma once

namespace pagora {

// x, y, width, height in panel pixels.
struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool isEmpty() const { return width <= 0 || height <= 0; }
};

} // namespace pagora
