// Writes the vertical forms of the Basic Multilingual Plane, as ICU's
// character data gives them, as rows of a C++ table:
//   {character, encoded vertical form, glyph, turned, ink centred},
// one per character that a vertical column draws otherwise than as it is.
// Done at build time so that the reader never loads ICU's normalisation and
// layout data to draw a page.
//
//   make_vertical_forms OUT.inc
#include <unicode/uchar.h>
#include <unicode/unorm2.h>

#include <array>
#include <cstdio>
#include <unordered_map>

namespace {

// Pause and stop marks: never turned, centred in the cell as in Taiwan's
// setting; the colon is centred there too, though it takes its vertical form.
constexpr std::array<char16_t, 6> kStopMarks = {u'，', u'、', u'。', u'；', u'！', u'？'};
constexpr char16_t kColon = u'：';

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

bool isStopMark(char16_t u)
{
    for (char16_t m : kStopMarks)
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

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("usage: make_vertical_forms OUT.inc\n", stderr);
        return 2;
    }
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2 *nfkd = unorm2_getNFKDInstance(&status);
    if (U_FAILURE(status)) {
        std::fprintf(stderr, "make_vertical_forms: no NFKD data: %s\n", u_errorName(status));
        return 1;
    }
    // The encoded vertical forms, by the plain character each stands for.
    std::unordered_map<char16_t, char16_t> encoded;
    for (const auto &[first, last] : {std::pair{0xFE10, 0xFE19}, std::pair{0xFE30, 0xFE4F}})
        for (int v = first; v <= last; ++v)
            if (const char16_t plain = singleDecomposition(nfkd, char16_t(v), U_DT_VERTICAL))
                encoded.emplace(plain, char16_t(v)); // ︳ before ︴ for "_"

    FILE *out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    std::fputs("// Made by make_vertical_forms from ICU's character data.\n", out);
    // Below 0x100 nothing changes: Latin in a column is drawn as it is.
    for (int cp = 0x100; cp <= 0xFFFF; ++cp) {
        const char16_t u = char16_t(cp);
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        const char16_t plain = plainOf(nfkd, u);
        const char16_t glyph = fullWidthOf(plain);
        char16_t encodedForm = 0;
        bool turned = false;
        bool inkCentred = false;
        if (isStopMark(glyph)) {
            inkCentred = true;
        } else {
            const auto e = encoded.find(plain);
            encodedForm = e == encoded.end() ? 0 : e->second;
            const int orientation = u_getIntPropertyValue(glyph, UCHAR_VERTICAL_ORIENTATION);
            turned = orientation == U_VO_TRANSFORMED_ROTATED ||
                     (orientation == U_VO_ROTATED && (encodedForm != 0 || turnsSideways(glyph)));
            inkCentred = glyph == kColon;
            if (!turned && encodedForm == 0)
                continue;
        }
        if (glyph == u && !turned && !inkCentred && encodedForm == 0)
            continue;
        std::fprintf(out, "{0x%04X, 0x%04X, 0x%04X, %s, %s},\n", unsigned(u), unsigned(encodedForm), unsigned(glyph),
                     turned ? "true" : "false", inkCentred ? "true" : "false");
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
