#include "text/codec.h"

#include <array>
#include <iconv.h>
#include <memory>
#include <mutex>

namespace pagora {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// 0 = invalid lead or trail combination. Index: single byte b -> b,
// double byte (lead, trail) -> lead * 256 + trail.
struct Cp950Table {
    std::array<char16_t, 65536> pair{};
    std::array<char16_t, 256> single{};
};

const Cp950Table &cp950Table()
{
    static std::unique_ptr<Cp950Table> table;
    static std::once_flag once;
    std::call_once(once, [] {
        table = std::make_unique<Cp950Table>();
        iconv_t cd = iconv_open("UTF-16LE", "CP950");
        auto convert = [&](const unsigned char *in, std::size_t n, char16_t &out) {
            char inBuf[2] = {char(in[0]), n > 1 ? char(in[1]) : '\0'};
            char outBuf[8];
            char *ip = inBuf;
            char *op = outBuf;
            std::size_t il = n;
            std::size_t ol = sizeof outBuf;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &ip, &il, &op, &ol) == std::size_t(-1) || il != 0)
                return false;
            // A pair that maps outside the BMP would need two units; CP950 has none.
            if (sizeof outBuf - ol != 2)
                return false;
            out = char16_t(static_cast<unsigned char>(outBuf[0]) | (static_cast<unsigned char>(outBuf[1]) << 8));
            return true;
        };
        if (cd == iconv_t(-1)) {
            for (int b = 0; b < 0x80; ++b)
                table->single[b] = char16_t(b);
            return;
        }
        for (int b = 0; b < 256; ++b) {
            unsigned char in[1] = {static_cast<unsigned char>(b)};
            char16_t u;
            if (convert(in, 1, u))
                table->single[b] = u;
        }
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                unsigned char in[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
                char16_t u;
                if (convert(in, 2, u)) {
                    table->pair[lead * 256 + trail] = u;
                }
            }
        }
        iconv_close(cd);
        // U+0000 is a valid single byte and must not read as "invalid".
        table->single[0] = 0;
    });
    return *table;
}

// Every byte of this range opens a double-byte sequence, mapped or not, so an
// unmapped character gives one replacement and no stray second byte.
bool isLeadByte(unsigned char b)
{
    return b >= 0x81 && b <= 0xFE;
}

bool isTrailByte(unsigned char b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0xA1 && b <= 0xFE);
}

} // namespace

std::u16string decodeCp950(const char *bytes, std::size_t count)
{
    const Cp950Table &t = cp950Table();
    std::u16string out;
    out.resize(count);
    std::size_t o = 0;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes);
    std::size_t i = 0;
    while (i < count) {
        unsigned char b = p[i];
        if (b < 0x80) {
            out[o++] = char16_t(b);
            ++i;
        } else if (isLeadByte(b)) {
            if (i + 1 >= count) {
                // Truncated double-byte character at the end.
                out[o++] = kReplacement;
                ++i;
            } else {
                unsigned char trail = p[i + 1];
                char16_t u = t.pair[b * 256 + trail];
                if (u != 0) {
                    out[o++] = u;
                    i += 2;
                } else {
                    out[o++] = kReplacement;
                    i += isTrailByte(trail) ? 2 : 1;
                }
            }
        } else {
            char16_t u = t.single[b];
            out[o++] = u != 0 ? u : kReplacement;
            ++i;
        }
    }
    out.resize(o);
    return out;
}

bool encodeCp950(std::u16string_view text, std::string &out, std::size_t *badIndex)
{
    static std::unique_ptr<std::array<std::uint16_t, 65536>> reverse;
    static std::once_flag once;
    std::call_once(once, [] {
        reverse = std::make_unique<std::array<std::uint16_t, 65536>>();
        reverse->fill(0);
        const Cp950Table &t = cp950Table();
        for (int b = 0xFE; b >= 0x80; --b)
            if (t.single[b] != 0 && (*reverse)[t.single[b]] == 0)
                (*reverse)[t.single[b]] = std::uint16_t(b);
        // Lowest code wins where two pairs map to one character.
        for (int code = 0xFEFE; code >= 0x8140; --code)
            if (char16_t u = t.pair[code]; u != 0)
                (*reverse)[u] = std::uint16_t(code);
    });
    out.clear();
    out.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t u = text[i];
        if (u < 0x80) {
            out.push_back(char(u));
            continue;
        }
        std::uint16_t code = (*reverse)[u];
        if (code == 0) {
            if (badIndex)
                *badIndex = i;
            return false;
        }
        if (code > 0xFF)
            out.push_back(char(code >> 8));
        out.push_back(char(code & 0xFF));
    }
    return true;
}

std::u16string decodeUtf16le(const char *bytes, std::size_t count)
{
    std::u16string out(count / 2, u'\0');
    const auto *p = reinterpret_cast<const unsigned char *>(bytes);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = char16_t(p[2 * i] | (p[2 * i + 1] << 8));
    return out;
}

std::string encodeUtf16le(std::u16string_view text)
{
    std::string out(text.size() * 2, '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        out[2 * i] = char(text[i] & 0xFF);
        out[2 * i + 1] = char(text[i] >> 8);
    }
    return out;
}

std::u16string utf8ToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        unsigned char b = p[i];
        char32_t cp;
        std::size_t len;
        if (b < 0x80) {
            cp = b;
            len = 1;
        } else if ((b & 0xE0) == 0xC0) {
            cp = b & 0x1F;
            len = 2;
        } else if ((b & 0xF0) == 0xE0) {
            cp = b & 0x0F;
            len = 3;
        } else if ((b & 0xF8) == 0xF0) {
            cp = b & 0x07;
            len = 4;
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        if (i + len > n) {
            out.push_back(kReplacement);
            break;
        }
        bool ok = true;
        for (std::size_t k = 1; k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        static constexpr char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (!ok || cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
        i += len;
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD; // lonely surrogate
        }
        if (cp < 0x80) {
            out.push_back(char(cp));
        } else if (cp < 0x800) {
            out.push_back(char(0xC0 | (cp >> 6)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(char(0xE0 | (cp >> 12)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (cp >> 18)));
            out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

} // namespace pagora
