#include "render/vertical_forms.h"

#include "render/layout_walk.h"

#include <unicode/uchar.h>
#include <unicode/unorm2.h>

#include <array>
#include <memory>
#include <unordered_map>
#include <vector>

namespace pagora {

namespace {

// Pause and stop marks: never turned, centred in the cell as in Taiwan's
// setting; the colon is centred there too, though it takes its vertical form.
constexpr std::array<char16_t, 6> kStopMarks = {u'，', u'、', u'。', u'；', u'！', u'？'};
constexpr char16_t kColon = u'：';

// Looked up for every cell of a page: two loads, no hashing. The few blocks
// that hold forms get a page of indexes into `forms`; 0 means none.
struct Table {
    std::vector<VerticalForm> forms = std::vector<VerticalForm>(1);
    std::array<std::unique_ptr<std::array<std::uint16_t, 256>>, 256> pages;

    void add(char16_t u, const VerticalForm &f)
    {
        auto &page = pages[u >> 8];
        if (!page)
            page = std::make_unique<std::array<std::uint16_t, 256>>();
        (*page)[u & 0xFF] = std::uint16_t(forms.size());
        forms.push_back(f);
    }
};

// The one code unit u decomposes to under a decomposition of type `type`, or 0.
char16_t singleDecomposition(const UNormalizer2 *nfkd, char16_t u, int type)
{
    if (u_getIntPropertyValue(u, UCHAR_DECOMPOSITION_TYPE) != type)
        return 0;
    UChar out[4];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = unorm2_getRawDecomposition(nfkd, u, out, 4, &status);
    return U_SUCCESS(status) && n == 1 ? char16_t(out[0]) : 0;
}

// The plain character u stands for: a vertical form, a full-width or a
// half-width form all lead to the same one (﹁ and ｢ to 「, ︵ and （ to "(").
char16_t plainOf(const UNormalizer2 *nfkd, char16_t u)
{
    for (int type : {U_DT_VERTICAL, U_DT_WIDE, U_DT_NARROW})
        if (const char16_t d = singleDecomposition(nfkd, u, type))
            u = d;
    return u;
}

// The character drawn for a plain one: ASCII punctuation in full width.
char16_t fullWidthOf(char16_t plain)
{
    return plain >= 0x21 && plain <= 0x7E ? char16_t(plain + 0xFEE0) : plain;
}

bool isContained(const std::array<char16_t, 6> &set, char16_t u)
{
    for (char16_t m : set)
        if (m == u)
            return true;
    return false;
}

// Rotated-class punctuation that a vertical column turns: brackets, quotes
// and dashes. Letters and symbols of that class keep their upright cell.
bool turnsSideways(char16_t u)
{
    switch (u_charType(u)) {
    case U_START_PUNCTUATION:
    case U_END_PUNCTUATION:
    case U_INITIAL_PUNCTUATION:
    case U_FINAL_PUNCTUATION:
    case U_DASH_PUNCTUATION: return true;
    default: return false;
    }
}

Table buildTable()
{
    Table t;
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2 *nfkd = unorm2_getNFKDInstance(&status);
    if (U_FAILURE(status))
        return t;

    // The encoded vertical forms, by the plain character each stands for.
    std::unordered_map<char16_t, char16_t> encoded;
    for (const auto &[first, last] : {std::pair{0xFE10, 0xFE19}, std::pair{0xFE30, 0xFE4F}})
        for (int v = first; v <= last; ++v)
            if (const char16_t plain = singleDecomposition(nfkd, char16_t(v), U_DT_VERTICAL))
                encoded.emplace(plain, char16_t(v)); // ︳ before ︴ for "_"

    for (int cp = 0x100; cp <= 0xFFFF; ++cp) {
        const char16_t u = char16_t(cp);
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        const char16_t plain = plainOf(nfkd, u);
        const char16_t glyph = fullWidthOf(plain);
        // The layout's own vertical stroke for "-" stays a vertical stroke.
        if (glyph == fullWidthMap[std::size_t(mappedIndex(u'-'))])
            continue;
        VerticalForm f;
        f.glyph = glyph;
        if (isContained(kStopMarks, glyph)) {
            f.inkCentred = true;
        } else {
            const auto e = encoded.find(plain);
            f.encodedForm = e == encoded.end() ? 0 : e->second;
            const int orientation = u_getIntPropertyValue(glyph, UCHAR_VERTICAL_ORIENTATION);
            f.turned = orientation == U_VO_TRANSFORMED_ROTATED ||
                       (orientation == U_VO_ROTATED && (f.encodedForm != 0 || turnsSideways(glyph)));
            f.inkCentred = glyph == kColon;
            if (!f.turned && f.encodedForm == 0)
                continue;
        }
        if (f.glyph == u && !f.turned && !f.inkCentred && f.encodedForm == 0)
            continue;
        t.add(u, f);
    }
    return t;
}

} // namespace

const VerticalForm *verticalFormOf(char16_t u)
{
    static const Table table = buildTable();
    const auto &page = table.pages[u >> 8];
    const std::uint16_t index = page ? (*page)[u & 0xFF] : 0;
    return index ? &table.forms[index] : nullptr;
}

} // namespace pagora
