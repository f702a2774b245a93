#pragma once
#include <cstdint>

namespace pagora {

struct Reader;
enum class Screen : std::int16_t;

// The only ways to change screens. Both release the press that led here and
// drop the selection, which belongs to the page it was made on.

// The screen, painted whole.
void showScreen(Reader &r, Screen screen);
// The screen without a paint of its own: before the panel's first paint, or
// for a panel its caller draws over the screen below.
void enterScreen(Reader &r, Screen screen);

} // namespace pagora
