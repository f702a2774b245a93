#pragma once

namespace pagora {

struct Reader;

void menuPointer(Reader &r, int x, int y);
void helpPointer(Reader &r, int x, int y);
void contentsPointer(Reader &r, int x, int y);
void nextContentsPage(Reader &r);
void previousContentsPage(Reader &r);

} // namespace pagora
