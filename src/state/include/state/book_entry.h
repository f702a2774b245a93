#pragma once
#include <cstdint>
#include <string>

namespace pagora {

// One book of the current shelf.
struct BookEntry {
    std::int16_t tocOffset = 0;
    std::int16_t sectionCount = 0;
    std::int16_t lastSection = 1;
    std::int16_t lastPage = 1;
    std::string fileName; // as listed, no folder (UTF-8)
    std::u16string title;
};

enum class BookEncoding { CP950, UTF16LE };

} // namespace pagora
