#pragma once
#include "app/reader.h"

void paintScreen(Reader &r, bool erase);
void drawPage(Reader &r, std::int32_t start);
