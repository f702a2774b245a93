#include "render/paint_dispatch.h"

void paintScreen(Reader &, bool)
{}

void drawPage(Reader &, std::int32_t)
{}
