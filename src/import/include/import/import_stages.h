#pragma once
// The steps of an import, one by one, for the import itself and for
// measuring where its time goes.
#include "import/sections.h"
#include "import/text_decode.h"

#include <functional>
#include <string>
#include <vector>

namespace pagora {

class ChineseConverter;

// Files larger than this are not books but accidents.
constexpr std::size_t kMaxImportFileSize = 128u << 20;

bool readImportFile(const std::string &path, std::string &bytes, std::string &why);

// Decoded text with CR LF line ends; false for text that is not text.
bool decodeImportText(std::string_view bytes, TextEncoding encoding, std::u16string &text, std::string &why);

// Converts in pieces cut at line ends (no phrase spans a line), calling
// keepGoing between pieces with the share done; false when it says stop or
// the converter fails (why tells which).
bool convertText(const ChineseConverter &converter, std::u16string_view text, std::u16string &out,
                 const std::function<bool(double)> &keepGoing, std::string &why);

// Writes the book beside outPath and renames it into place; on failure
// nothing is left at outPath (a book already there is kept).
bool writeImportedBook(const std::string &outPath, const std::u16string &title, std::vector<ImportedSection> sections,
                       std::string &why);

// The book title as the shelf shows it: one line, of a size the header
// record can hold, never empty.
std::u16string bookTitle(std::u16string_view title);

} // namespace pagora
