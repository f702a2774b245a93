#pragma once
#include "app/reader.h"
#include "book/book_entry.h"

#include <cstdint>

constexpr int kHeaderBytes = 76;
constexpr int kMaxRecords = 500;

// Validation steps 2 to 5 on the open bookStream: header, creator, record
// count and record list. Sets bookEncoding, recordCount, recordList.
bool validateBook(Reader &r);

// Offset of record i from the record list (big-endian).
std::uint32_t recordOffset(const ReaderState &s, int i);

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
