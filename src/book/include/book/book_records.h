#pragma once
#include "state/book_entry.h"
#include "state/book_file.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pagora {

class Files;

// tocOffset is 16-bit: a table of contents further in cannot be found again.
constexpr int kMaxTocOffset = 32767;

// One line naming the failed check.
const char *bookFaultText(BookFault fault);

// Records why in *fault when the caller asked; returns false.
inline bool fail(BookFault *fault, BookFault why)
{
    if (fault)
        *fault = why;
    return false;
}

// Opens path and checks the book once (see BookFile::open); a file that
// cannot be opened, is empty or is larger than 2 GiB gives a closed BookFile.
BookFile openBookAt(Files &files, const std::string &path, BookFault *fault = nullptr);

// The catalogue entry the header record (record 0) describes: title,
// section count and where the table of contents starts. fileName is left
// to the caller.
bool readHeaderEntry(BookFile &file, BookEntry &entry, BookFault *fault = nullptr);

// The header record as the loader takes it, or empty when it is unusable.
std::span<const std::uint8_t> headerRecord(BookFile &file);

// Field readers (separator 0x1B, or 0x1B 0x00 in UTF-16 books). Each reads
// from the cursor's position and leaves it behind the separator; in UTF-16
// books only the 0x1B of the pair is consumed, so the next field starts on
// the 0x00. readTextField gives the field's bytes, readNumberField the value
// of its digits.
std::span<const std::uint8_t> readTextField(RecordCursor &cursor, BookEncoding encoding);
std::int16_t readNumberField(RecordCursor &cursor, BookEncoding encoding);

// Text of a field or section in the book's encoding.
std::u16string decodeBookText(BookEncoding encoding, const std::uint8_t *bytes, std::size_t count);
inline std::u16string decodeBookText(BookEncoding encoding, std::span<const std::uint8_t> bytes)
{
    return decodeBookText(encoding, bytes.data(), bytes.size());
}

// UTF-16 table of contents: lines ending at CR, LF or CR LF, text ending at
// the first U+0000; a final line break adds no empty title.
std::vector<std::u16string> splitContentsLines(std::u16string_view text);

// The lists of a bookmark record (little-endian int16: section, count,
// pages..., ending at -1), read defensively: sections outside 0..sectionCount
// and pages below 1 are skipped, a damaged count ends the record, and nothing
// is read past count bytes. Sections ascending, each with its pages ascending.
std::vector<std::pair<int, std::vector<std::int16_t>>> parseBookmarkRecord(const std::uint8_t *bytes, std::size_t count,
                                                                           int sectionCount);

} // namespace pagora
