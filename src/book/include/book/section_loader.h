#pragma once
#include "book/book_file.h"

#include <string>

namespace pagora {

struct Reader;

// Validates shelfPath + fileName and appends its entry to the catalogue.
// fault, when given, names the check that turned the file down.
bool addBook(Reader &r, const std::string &fileName, BookFault *fault = nullptr);
// Opens the selected entry's file and reads its record table; the file stays
// open. sectionCount is not touched: callers take it from the entry.
bool openBookFile(Reader &r, BookFault *fault = nullptr);
// Loads record currentSection; sections 1..sectionCount are decoded into
// sectionText. A failure leaves textLength 0 and sectionText as it was.
bool readRecord(Reader &r);
// Loads the header record and fills contentsList from the selected entry's
// tocOffset; afterwards currentSection is 0.
bool loadContents(Reader &r);
// Closes bookStream if open.
void closeBookFile(Reader &r);

} // namespace pagora
