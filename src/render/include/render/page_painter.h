#pragma once
#include <cstdint>

namespace pagora {

struct Canvas;
struct ReaderState;

// The reading page that starts at offset start, with its position marks.
void drawPage(const Canvas &c, const ReaderState &s, std::int32_t start);

} // namespace pagora
