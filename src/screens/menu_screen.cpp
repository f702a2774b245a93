#include "screens/menu_screen.h"

void paintMenuScreen(Reader &)
{}
