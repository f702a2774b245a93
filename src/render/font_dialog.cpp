#include "render/font_dialog.h"

bool chooseReadingFont(Reader &)
{ return false; }
