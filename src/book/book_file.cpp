#include "book/book_file.h"

bool validateBook(Reader &)
{ return false; }

std::uint32_t recordOffset(const ReaderState &, int)
{ return {}; }

std::int32_t readTextField(ReaderState &)
{ return {}; }

std::int16_t readNumberField(ReaderState &)
{ return {}; }

std::u16string decodeBookText(BookEncoding, const std::uint8_t *, std::size_t)
{ return {}; }

std::vector<std::u16string> splitContentsLines(std::u16string_view)
{ return {}; }
