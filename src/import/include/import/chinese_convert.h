#pragma once
// Simplified to Traditional Chinese as Taiwan writes it, through the table
// installed beside the program. One converter per import: nothing is shared
// between threads.
#include "text/traditional.h"

#include <string>
#include <string_view>

namespace pagora {

class ChineseConverter {
public:
    // Maps the table from traditionalTablePaths().
    ChineseConverter();

    bool isOpen() const { return m_table.isOpen(); }
    // Why the table could not be opened.
    const std::string &whyNot() const { return m_why; }
    // False when the table is missing; out is then empty.
    bool convert(std::u16string_view text, std::u16string &out) const;
    const TraditionalTable &table() const { return m_table; }

private:
    TraditionalTable m_table;
    std::string m_why;
};

// Paired curly quotes as Taiwan writes them: the outermost pairs “” or ‘’
// become 「」, pairs inside another pair 『』. A quote without its partner
// (an apostrophe, a quotation running over paragraphs) stays as it is.
std::u16string withCornerQuotes(std::u16string_view text);

// True when more Han characters of text change under Simplified to
// Traditional than under the reverse, and enough of them to matter.
bool isMostlySimplifiedText(std::u16string_view text);

} // namespace pagora
