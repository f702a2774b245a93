#pragma once
#include <cstdint>

namespace pagora {

struct Reader;
struct ReaderState;

// The search box and the two find buttons of the menu screen.
void paintSearchControls(Reader &r);
void hideSearchBox(Reader &r);
// Inverts the cells of the last hit on the page shown.
void highlightMatch(Reader &r);

} // namespace pagora
