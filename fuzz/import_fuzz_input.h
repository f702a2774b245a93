#pragma once
// One fuzz input over importing, all in memory: the first byte picks a text
// file or an EPUB and conversion, the rest is the file. Whatever the bytes,
// the import ends with a book or with a reason. Shared by the libFuzzer
// target and the test that replays the saved corpus.
#include "import/chinese_convert.h"
#include "import/import_book.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace pagora {

namespace importfuzz {

inline int runInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    // Loaded once: The conversion table takes longer to load than most inputs to import.
    static const ChineseConverter converter;
    ImportOptions options;
    options.toTraditional = (data[0] & 2) != 0;
    std::string book;
    const std::string_view bytes(reinterpret_cast<const char *>(data + 1), size - 1);
    const ImportResult r = importBookBytes(bytes, (data[0] & 1) != 0, u"書", options, &converter, book);
    if (r.ok == book.empty() || (!r.ok && (r.error.empty() || r.fault == ImportFault::None)))
        std::abort(); // a book, or a reason and no book
    return 0;
}

} // namespace importfuzz

} // namespace pagora
