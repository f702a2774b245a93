#pragma once
#include "screens/search_controls.h"

#include <cstdint>

namespace pagora {

struct Reader;
struct ReaderState;

constexpr int kSearchTextMax = 19;

int readSearchText(Reader &r);
// Find next / previous from the page shown, across sections; 1 when found.
int findNext(Reader &r);
int findPrevious(Reader &r);
void savePosition(ReaderState &s);
void reportNotFound(Reader &r);

} // namespace pagora
