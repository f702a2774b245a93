#pragma once
#include "screens/bookmark_controls.h"

namespace pagora {

struct Reader;

void toggleBookmark(Reader &r);
void jumpToBookmark(Reader &r, bool next);

} // namespace pagora
