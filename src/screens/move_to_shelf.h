#pragma once
#include "app/reader.h"

void paintMoveToShelfPanel(Reader &r);
void moveToShelfPointer(Reader &r, int x, int y);
void chooseMainShelf(Reader &r);
