#pragma once
#include "state/book_entry.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pagora {

struct Reader;
struct ReaderState;

constexpr int kHeaderBytes = 76;
constexpr int kMaxRecords = 500;
// Offset of the record list in the file.
constexpr int kRecordListStart = 78;
// tocOffset is 16-bit: a table of contents further in cannot be found again.
constexpr int kMaxTocOffset = 32767;

// Which check turned a book file down; the reader itself stays silent, but
// the command-line tool names it.
enum class BookFault {
    None,
    CannotOpen,
    EmptyFile,
    TooLarge,
    ShortHeader,
    BadCreator,
    ShortRecordCount,
    TooManyRecords,
    ShortRecordList,
    NoHeaderRecord,
    HeaderRecordUnusable,
    EmptyTitle,
    BadSectionCount,
    TocTooFar,
    NoEntry,
};

// One line naming the failed check.
const char *bookFaultText(BookFault fault);

// Records why in *fault when the caller asked; returns false.
inline bool fail(BookFault *fault, BookFault why)
{
    if (fault)
        *fault = why;
    return false;
}

// Validation steps 2 to 5 on a freshly opened bookStream (the first read is
// the one at offset 0): header, creator, record count and record list. Sets
// bookEncoding, recordCount, recordList.
bool validateBook(Reader &r, BookFault *fault = nullptr);

// Offset of record i from the record list (big-endian); 0 outside the list.
std::uint32_t recordOffset(const ReaderState &s, int i);

// Byte range [start, end) of record i of the open book. False when the
// record is absent (index outside 0..recordCount-1) or unusable (start
// beyond the file size, start not below end, or end beyond the file size).
bool recordRange(const ReaderState &s, int i, std::int64_t &start, std::int64_t &end);

// Field readers over recordBytes from readPos (separator 0x1B, or 0x1B 0x00
// in UTF-16 books). readTextField copies into fieldBuffer and returns the
// byte count; readNumberField returns the digits' value.
std::int32_t readTextField(ReaderState &s);
std::int16_t readNumberField(ReaderState &s);

// Text of a field or section in the book's encoding.
std::u16string decodeBookText(BookEncoding encoding, const std::uint8_t *bytes, std::size_t count);

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
