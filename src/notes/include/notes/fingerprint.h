#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace pagora {

// The fingerprint of a book: SHA-256 over its sections' text in UTF-16LE,
// in lower-case hexadecimal. It follows the text, not the file: a book moved,
// renamed or copied keeps it.
std::string textFingerprint(const std::vector<std::u16string> &sections);

} // namespace pagora
