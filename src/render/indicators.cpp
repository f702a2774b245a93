#include "render/indicators.h"

void drawIndicator(Reader &, int)
{}

void drawPageLabel(Reader &)
{}

void drawSectionLabel(Reader &)
{}

void markSlider(Reader &, int, int)
{}

int sliderValue(int, int, int)
{ return {}; }
