#pragma once
#include "app/reader.h"

void paintHelpScreen(Reader &r);
void paintContentsScreen(Reader &r);
void paintContentsList(Reader &r, std::int32_t start);
void nextContentsPage(Reader &r);
void previousContentsPage(Reader &r);
