#include "screens/bookmark_commands.h"

void paintBookmarkControls(Reader &)
{}

void toggleBookmark(Reader &)
{}

void jumpToBookmark(Reader &, bool)
{}
