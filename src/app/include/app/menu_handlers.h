#pragma once

namespace pagora {

struct Reader;

void menuPointer(Reader &r, int x, int y);
void helpPointer(Reader &r, int x, int y);
// The help's other page, when there is one that way.
void turnHelpPage(Reader &r, bool forward);
void contentsPointer(Reader &r, int x, int y);
void nextContentsPage(Reader &r);
// The menu's "書架": the place is remembered and the shelf shown.
void leaveBookForShelf(Reader &r);
// The contents' "返回": back to the menu or the shelf it was opened from.
void leaveContents(Reader &r);
// One step back from the menu: out of search or bookmark mode, else to the page.
void leaveMenu(Reader &r);
// The menu in search mode, its box taking the typing.
void openSearch(Reader &r);
void previousContentsPage(Reader &r);

} // namespace pagora
