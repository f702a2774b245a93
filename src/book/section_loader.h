#pragma once
#include "app/reader.h"

#include <string>

bool addBook(Reader &r, const std::string &fileName);
bool openBookFile(Reader &r);
bool readRecord(Reader &r);
bool loadContents(Reader &r);
// Closes bookStream if open.
void closeBookFile(Reader &r);
