#pragma once
// Bytes of a text file to UTF-16: which encoding, then a strict decode.
#include <cstddef>
#include <string>
#include <string_view>

namespace pagora {

enum class TextEncoding { Unknown, Utf8, Utf16LE, Utf16BE, Big5, Gb18030 };

// "auto", "utf8", "utf16", "big5", "gb18030"; false for any other name.
bool parseEncodingName(std::string_view name, bool &isAuto, TextEncoding &chosen);
const char *encodingLabel(TextEncoding e);

// A byte-order mark decides; then zero bytes on one side of each pair
// (UTF-16 without a mark); then well-formed UTF-8; then the detector on a
// sample. Unknown when none of them is sure.
TextEncoding detectEncoding(std::string_view bytes);

// Decodes all of bytes (a leading byte-order mark dropped). Any byte sequence
// the encoding cannot hold fails with why naming its offset: a text changed
// behind the reader's back is worse than a clear refusal.
bool decodeText(std::string_view bytes, TextEncoding e, std::u16string &out, std::string &why);

// Line ends of any kind become CR LF.
std::u16string withCrLfLineEnds(std::u16string_view text);

// A decoded text that holds NUL is not text at all (a binary file under a
// text name). Other control characters are only noise.
bool looksLikeText(std::u16string_view text);
// Terminal escape sequences (colours and other CSI, OSC titles) removed and
// the other C0 controls dropped, except tab and line ends.
std::u16string withoutControls(std::u16string_view text);

} // namespace pagora
