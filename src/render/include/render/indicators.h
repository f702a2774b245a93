#pragma once
#include "platform/surface.h"

namespace pagora {

struct Canvas;
struct ReaderState;

enum class Indicator { Page, Section };

// On the reading screen draws the indicator when it is on (once off, the
// page beneath shows again when its box is repainted); on the menu screen
// the slider's ends and label.
void drawIndicator(const Canvas &c, const ReaderState &s, Indicator kind);
// The box the reading screen's indicator covers.
PixelRect readingIndicatorBox(const Canvas &c, const ReaderState &s, Indicator kind);
void drawPageLabel(const Canvas &c, const ReaderState &s);
void drawSectionLabel(const Canvas &c, const ReaderState &s);
void markSlider(Surface &surface, const ReaderState &s, Indicator kind, int value);
// Slider value under x for a band of values 1..count.
int sliderValue(int x, int clientWidth, int count);

} // namespace pagora
