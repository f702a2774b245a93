#pragma once
#include <cstdint>

namespace pagora {

struct Reader;

// The reading page that starts at offset start, with its position marks.
void drawPage(Reader &r, std::int32_t start);

} // namespace pagora
