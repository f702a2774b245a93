#pragma once
#include "app/reader.h"

#include <string>

// shelfPath for a shelf number: the main shelf, or its sub-folder "1".."9".
std::string shelfFolder(const std::string &mainShelfPath, int shelf);

void scanShelf(Reader &r);
void rebuildCatalogue(Reader &r);
void releaseCatalogue(Reader &r);
void switchShelf(Reader &r);
