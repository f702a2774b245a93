#include "text/utterances.h"

#include <algorithm>

namespace pagora {

namespace {

bool isLineBreak(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == 0x85 || c == 0x2028 || c == 0x2029;
}

bool isSpace(char16_t c)
{
    switch (c) {
    case u' ':
    case u'\t':
    case u'\v':
    case u'\f':
    case 0xA0:
    case 0x1680:
    case 0x202F:
    case 0x205F:
    case 0x3000:
    case 0xFEFF: return true;
    default: return isLineBreak(c) || (c >= 0x2000 && c <= 0x200A);
    }
}

bool endsSentence(char16_t c)
{
    switch (c) {
    case u'。':
    case u'！':
    case u'？':
    case u'…':
    case u'‥':
    case u'｡':
    case u'!':
    case u'?': return true;
    default: return false;
    }
}

// What closes a quotation or a bracket, vertical forms included: it belongs
// to the sentence whose end it follows.
bool closes(char16_t c)
{
    switch (c) {
    case u'」':
    case u'』':
    case u'”':
    case u'’':
    case u'）':
    case u'》':
    case u'〉':
    case u'】':
    case u'〕':
    case u'〗':
    case u'〙':
    case u'〛':
    case u'］':
    case u'｝':
    case u'﹂':
    case u'﹄':
    case u'︶':
    case u'︸':
    case u'︺':
    case u'︼':
    case u'︾':
    case u'﹀':
    case u'"':
    case u'\'':
    case u')':
    case u']':
    case u'}': return true;
    default: return false;
    }
}

bool isPause(char16_t c)
{
    return c == u'，' || c == u'；' || c == u'：' || c == u',' || c == u';' || c == u':';
}

bool isLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

bool isHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

class Planner {
public:
    Planner(std::u16string_view text, int section, std::vector<Utterance> &out)
        : m_text(text), m_section(section), m_out(out)
    {
    }

    // The sentence [begin, end): trimmed, and cut where it is too long.
    void sentence(std::int32_t begin, std::int32_t end)
    {
        trim(begin, end);
        while (end - begin > kLongestUtterance) {
            const std::int32_t cut = cutPoint(begin);
            push(begin, cut);
            begin = cut;
            trim(begin, end);
        }
        push(begin, end);
    }

private:
    void trim(std::int32_t &begin, std::int32_t &end) const
    {
        while (begin < end && isSpace(m_text[std::size_t(begin)]))
            ++begin;
        while (end > begin && isSpace(m_text[std::size_t(end - 1)]))
            --end;
    }

    // After the last pause within the longest length from begin; lacking
    // one, at that length, never between the halves of a surrogate pair.
    std::int32_t cutPoint(std::int32_t begin) const
    {
        const std::int32_t limit = begin + kLongestUtterance;
        for (std::int32_t p = limit; p > begin + 1; --p)
            if (isPause(m_text[std::size_t(p - 1)]))
                return p;
        if (isLowSurrogate(m_text[std::size_t(limit)]) && isHighSurrogate(m_text[std::size_t(limit - 1)]))
            return limit - 1;
        return limit;
    }

    void push(std::int32_t begin, std::int32_t end)
    {
        std::int32_t b = begin, e = end;
        trim(b, e);
        if (b < e)
            m_out.push_back({m_section, b, e - b});
    }

    std::u16string_view m_text;
    int m_section;
    std::vector<Utterance> &m_out;
};

} // namespace

std::vector<Utterance> planUtterances(std::u16string_view text, int section, std::int32_t from)
{
    std::vector<Utterance> out;
    const auto n = std::int32_t(std::min<std::size_t>(text.size(), INT32_MAX));
    std::int32_t i = std::clamp<std::int32_t>(from, 0, n);
    // Never from the second half of a character.
    if (i > 0 && i < n && isLowSurrogate(text[std::size_t(i)]) && isHighSurrogate(text[std::size_t(i - 1)]))
        ++i;
    Planner planner(text, section, out);
    std::int32_t begin = i;
    while (i < n) {
        const char16_t c = text[std::size_t(i)];
        if (isLineBreak(c)) {
            planner.sentence(begin, i);
            begin = ++i;
        } else if (endsSentence(c)) {
            ++i;
            while (i < n && (endsSentence(text[std::size_t(i)]) || closes(text[std::size_t(i)])))
                ++i;
            planner.sentence(begin, i);
            begin = i;
        } else {
            ++i;
        }
    }
    planner.sentence(begin, n);
    return out;
}

} // namespace pagora
