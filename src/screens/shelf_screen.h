#pragma once
#include "app/reader.h"

#include <string_view>

void paintShelfScreen(Reader &r);
void paintTitleBar(Reader &r, std::u16string_view text);
void paintBookList(Reader &r, std::int32_t start);
void paintListGrid(Reader &r);
void highlightListCell(Reader &r, int k);
void drawVerticalLabel(Reader &r, std::u16string_view text, int x, int y);
void shelfPointer(Reader &r, int x, int y);
void loadEntryPosition(ReaderState &s);
void storeEntryPosition(ReaderState &s);
void nextShelfPage(Reader &r);
void previousShelfPage(Reader &r);
