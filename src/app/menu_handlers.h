#pragma once
#include "app/reader.h"

void menuPointer(Reader &r, int x, int y);
void helpPointer(Reader &r, int x, int y);
void contentsPointer(Reader &r, int x, int y);
