#include "app/menu_handlers.h"

void menuPointer(Reader &, int, int)
{}

void helpPointer(Reader &, int, int)
{}

void contentsPointer(Reader &, int, int)
{}
