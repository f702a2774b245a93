#pragma once

namespace pagora {

struct Reader;

enum class Indicator { Page, Section };

void drawIndicator(Reader &r, Indicator kind);
void drawPageLabel(Reader &r);
void drawSectionLabel(Reader &r);
void markSlider(Reader &r, Indicator kind, int value);
// Slider value under x for a band of values 1..count.
int sliderValue(int x, int clientWidth, int count);

} // namespace pagora
