#include "notes/fingerprint.h"

#include "text/codec.h"

namespace pagora {

void FingerprintHash::add(std::u16string_view section)
{
    // In pieces: a section's bytes are never copied whole.
    constexpr std::size_t kPiece = 4096;
    for (std::size_t at = 0; at < section.size(); at += kPiece) {
        const std::string bytes = encodeUtf16le(section.substr(at, kPiece));
        m_hash.add(bytes.data(), bytes.size());
    }
}

std::string textFingerprint(const std::vector<std::u16string> &sections)
{
    FingerprintHash h;
    for (const std::u16string &text : sections)
        h.add(text);
    return h.finish();
}

} // namespace pagora
