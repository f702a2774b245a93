#pragma once
#include "app/reader.h"

void paintBookmarkControls(Reader &r);
void toggleBookmark(Reader &r);
void jumpToBookmark(Reader &r, bool next);
