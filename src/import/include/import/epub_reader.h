#pragma once
// The text of an EPUB: package title, and one section per spine document
// that holds text, in spine order.
#include "import/sections.h"

#include <string>
#include <string_view>
#include <vector>

namespace pagora {

struct EpubBook {
    std::u16string title; // from the package metadata; may be empty
    std::vector<ImportedSection> sections;
};

// False with a one-line reason for a damaged, DRM-protected or textless
// EPUB. Every size read from the file is capped before use.
// A document that declares entities is refused.
bool readEpubBytes(std::string_view file, EpubBook &book, std::string &why);

} // namespace pagora
