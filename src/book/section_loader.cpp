#include "book/section_loader.h"

bool addBook(Reader &, const std::string &)
{ return false; }

bool openBookFile(Reader &)
{ return false; }

bool readRecord(Reader &)
{ return false; }

bool loadContents(Reader &)
{ return false; }

void closeBookFile(Reader &)
{}
