#pragma once
#include "screens/bookmark_controls.h"

struct Reader;

void toggleBookmark(Reader &r);
void jumpToBookmark(Reader &r, bool next);
