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

// The loaded part of the section: a failed load keeps the old text but a length of 0.
std::int32_t loadedLength(const ReaderState &s);
// The current page, kept inside 1..pageCount.
int shownPage(const ReaderState &s);

} // namespace pagora
