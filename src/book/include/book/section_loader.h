#pragma once
#include "book/book_records.h"

#include <string>

namespace pagora {

class Files;
class Shelf;
class OpenBook;

// Validates shelfPath + fileName and appends its entry to the catalogue.
// fault, when given, names the check that turned the file down. The book
// open in the reader, if any, stays open.
bool addBook(Files &files, Shelf &shelf, const std::string &fileName, BookFault *fault = nullptr);
// Opens the selected entry's file as the open book and checks its record
// list; the file stays open. sectionCount is not touched: callers take it
// from the entry.
bool openBookFile(Files &files, Shelf &shelf, OpenBook &book, BookFault *fault = nullptr);
// Record i of file decoded as the text of a section. False, text untouched,
// when the record is absent, unusable or reads short.
bool readSectionText(BookFile &file, int i, std::u16string &text);
// Section `section` (1..sectionCount) of the open book becomes its
// sectionText. A failure leaves textLength 0 and sectionText as it was.
bool loadSectionText(OpenBook &book, int section);
// Fills contentsList from the header record and the entry's tocOffset.
bool loadContents(OpenBook &book, const BookEntry *entry);

} // namespace pagora
