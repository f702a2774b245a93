#pragma once

struct Reader;

enum IndicatorKind : int { PageIndicator = 1, SectionIndicator = 2 };

void drawIndicator(Reader &r, int kind);
void drawPageLabel(Reader &r);
void drawSectionLabel(Reader &r);
void markSlider(Reader &r, int kind, int value);
// Slider value under x for a band of values 1..count.
int sliderValue(int x, int clientWidth, int count);
