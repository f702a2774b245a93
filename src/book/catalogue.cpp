#include "book/catalogue.h"

std::string shelfFolder(const std::string &mainShelfPath, int shelf)
{
    if (shelf <= 0)
        return mainShelfPath;
    return mainShelfPath + std::to_string(shelf) + "/";
}

void scanShelf(Reader &)
{}

void rebuildCatalogue(Reader &)
{}

void releaseCatalogue(Reader &)
{}

void switchShelf(Reader &)
{}
