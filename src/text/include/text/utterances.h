#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

namespace pagora {

// One piece of a section's text handed to the speech engine at a time: a
// sentence, or a part of a long one. Offsets and lengths are UTF-16 code
// units of the section's text; sections count from 1.
struct Utterance {
    int section = 1;
    std::int32_t start = 0;
    std::int32_t length = 0;
    bool operator==(const Utterance &) const = default;
};

// A sentence longer than this is cut after a comma, semicolon or colon
// (or, lacking one, where it reaches this length).
constexpr std::int32_t kLongestUtterance = 200;

// The utterances of text from offset `from` to its end, in order. A sentence
// ends at 。！？… (or a line break), and the closing quotes and brackets after
// its end stay with it. White space is never part of an utterance, at either
// end, and no utterance is white space alone.
std::vector<Utterance> planUtterances(std::u16string_view text, int section, std::int32_t from = 0);

} // namespace pagora
