#pragma once
// Simplified to Traditional Chinese through OpenCC. One converter per import:
// nothing is shared between threads.
#include <memory>
#include <string>
#include <string_view>

namespace pagora {

class ChineseConverter {
public:
    // config is an OpenCC configuration such as "s2twp.json" (Taiwan
    // standard with Taiwan phrases), loaded from OpenCC's installed data
    // folder by its full path, never from the working folder.
    explicit ChineseConverter(const char *config);
    ~ChineseConverter();
    ChineseConverter(const ChineseConverter &) = delete;
    ChineseConverter &operator=(const ChineseConverter &) = delete;

    bool isOpen() const;
    // False when OpenCC fails; out is then empty.
    bool convert(std::u16string_view text, std::u16string &out) const;

private:
    void *handle_;
};

// Paired curly quotes as Taiwan writes them: the outermost pairs “” or ‘’
// become 「」, pairs inside another pair 『』. A quote without its partner
// (an apostrophe, a quotation running over paragraphs) stays as it is.
std::u16string withCornerQuotes(std::u16string_view text);

// The configuration of --to-traditional.
inline constexpr const char *kToTaiwanTraditional = "s2twp.json";

// True when more Han characters of text change under Simplified to
// Traditional than under the reverse, and enough of them to matter.
bool isMostlySimplifiedText(std::u16string_view text);

} // namespace pagora
