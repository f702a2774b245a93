#include "screens/move_to_shelf.h"

void paintMoveToShelfPanel(Reader &)
{}

void moveToShelfPointer(Reader &, int, int)
{}

void chooseMainShelf(Reader &)
{}
