#include "notes/fingerprint.h"

#include "notes/sha256.h"
#include "text/codec.h"

namespace pagora {

std::string textFingerprint(const std::vector<std::u16string> &sections)
{
    Sha256 h;
    std::string bytes;
    for (const std::u16string &text : sections) {
        bytes = encodeUtf16le(text);
        h.add(bytes.data(), bytes.size());
    }
    return h.finishHex();
}

} // namespace pagora
