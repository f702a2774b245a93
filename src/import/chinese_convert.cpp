#include "import/chinese_convert.h"

#include "text/codec.h"

#include <vector>

namespace pagora {

ChineseConverter::ChineseConverter()
{
    m_table.openFirst(traditionalTablePaths(), m_why);
}

bool ChineseConverter::convert(std::u16string_view text, std::u16string &out) const
{
    out.clear();
    if (!isOpen())
        return false;
    out = toTraditional(m_table, text);
    return true;
}

std::u16string withCornerQuotes(std::u16string_view text)
{
    // Each closing quote pairs with the nearest open quote of its kind; open
    // quotes of the other kind in between are left unpaired.
    constexpr std::size_t none = std::size_t(-1);
    std::vector<std::size_t> quotes;  // positions in text
    std::vector<std::size_t> partner; // per quote, its partner's index in quotes
    std::vector<std::size_t> open;    // indices in quotes
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c != u'\u201C' && c != u'\u2018' && c != u'\u201D' && c != u'\u2019')
            continue;
        quotes.push_back(i);
        partner.push_back(none);
        if (c == u'\u201C' || c == u'\u2018') {
            open.push_back(quotes.size() - 1);
            continue;
        }
        const char16_t opener = c == u'\u201D' ? u'\u201C' : u'\u2018';
        for (std::size_t k = open.size(); k-- > 0;) {
            if (text[quotes[open[k]]] != opener)
                continue;
            partner[open[k]] = quotes.size() - 1;
            partner.back() = open[k];
            open.resize(k);
            break;
        }
    }
    std::u16string out(text);
    std::size_t depth = 0;
    for (std::size_t q = 0; q < quotes.size(); ++q) {
        if (partner[q] == none)
            continue;
        if (partner[q] > q) {
            out[quotes[q]] = depth == 0 ? u'\u300C' : u'\u300E';
            ++depth;
        } else {
            --depth;
            out[quotes[q]] = depth == 0 ? u'\u300D' : u'\u300F';
        }
    }
    return out;
}

bool isMostlySimplifiedText(std::u16string_view text)
{
    const ChineseConverter converter;
    const ScriptCounts counts = scriptCounts(converter.table(), text);
    return counts.han > 0 && counts.simplifiedOnly > counts.traditionalOnly && counts.simplifiedOnly * 50 >= counts.han;
}

} // namespace pagora
