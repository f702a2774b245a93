#pragma once
#include "state/book_entry.h"

#include <optional>
#include <string>
#include <vector>

namespace pagora {

// Everything needed to lay out a book file.
struct BookRecipe {
    BookEncoding encoding = BookEncoding::UTF16LE;
    std::u16string title;
    std::vector<std::u16string> sectionTitles; // one per section (may be fewer)
    std::vector<std::u16string> sectionTexts;
    // Raw bytes of a bookmark record placed after the last section.
    std::optional<std::string> bookmarkRecord;
    // Further raw records after that.
    std::vector<std::string> extraRecords;
};

// Raw record bytes of a bookmark record for (section, ascending pages) lists.
std::string bookmarkRecordBytes(const std::vector<std::pair<int, std::vector<int>>> &marks);

// Lays out the container, header record and sections so that the reader reads
// them back exactly. False (with a message) when code page 950 cannot hold
// some text.
bool writeBookBytes(const BookRecipe &spec, std::string &out, std::string *error = nullptr);

// The container around ready-made records (record 0 first).
std::string containerBytes(BookEncoding encoding, const std::vector<std::string> &records);

} // namespace pagora
