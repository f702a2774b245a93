#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace pagora {

// Code page 950 to UTF-16. Every invalid or truncated sequence becomes one
// U+FFFD and decoding goes on after it.
std::u16string decodeCp950(const char *bytes, std::size_t count);
// UTF-16 to code page 950; false when a character has no code page 950 form
// (badIndex then names its position).
bool encodeCp950(std::u16string_view text, std::string &out, std::size_t *badIndex = nullptr);

// Little-endian code units; an odd final byte is dropped.
std::u16string decodeUtf16le(const char *bytes, std::size_t count);
std::string encodeUtf16le(std::u16string_view text);

// The 8-bit form we keep mainShelfPath and fontName in is UTF-8.
std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);

} // namespace pagora
