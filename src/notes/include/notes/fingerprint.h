#pragma once
#include "notes/sha256.h"

#include <string>
#include <string_view>
#include <vector>

namespace pagora {

// The fingerprint of a book: SHA-256 over its sections' text in UTF-16LE,
// in lower-case hexadecimal. It follows the text, not the file: a book moved,
// renamed or copied keeps it.
std::string textFingerprint(const std::vector<std::u16string> &sections);

// The same fingerprint fed one section at a time, so that no more than one
// section need be held.
class FingerprintHash {
public:
    void add(std::u16string_view section);
    // The fingerprint; the object is spent afterwards.
    std::string finish() { return m_hash.finishHex(); }

private:
    Sha256 m_hash;
};

} // namespace pagora
