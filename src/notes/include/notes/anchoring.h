#pragma once
#include "notes/notes_store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pagora {

// Characters of context kept on each side of a marked passage.
constexpr std::int32_t kContextLength = 32;

// The anchor of [start, start + length) of sections[section - 1], widened so
// that no surrogate pair is cut; nullopt when the range is outside it.
std::optional<Anchor> anchorAt(const std::vector<std::u16string> &sections, int section, std::int32_t start,
                               std::int32_t length);
// The same for text, the text of that section.
std::optional<Anchor> anchorIn(std::u16string_view text, int section, std::int32_t start, std::int32_t length);

// Where the passage is in these texts: where it was when its quote is still
// there; else the quote with its context near the old offset, then anywhere
// in its section, then anywhere in the book; else an edited passage between
// its unchanged context. nullopt: the passage is gone.
std::optional<AnchorRange> reanchor(const Anchor &anchor, const std::vector<std::u16string> &sections);

} // namespace pagora
