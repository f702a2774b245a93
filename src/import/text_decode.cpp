#include "import/text_decode.h"

#include <uchardet.h>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <memory>

namespace pagora {

namespace {

// Enough prose for the detector to be sure; more only costs time.
constexpr std::size_t kDetectSample = 64 * 1024;

bool startsWith(std::string_view s, std::string_view prefix)
{
    return s.substr(0, prefix.size()) == prefix;
}

const char *icuName(TextEncoding e)
{
    switch (e) {
    case TextEncoding::Utf8: return "UTF-8";
    case TextEncoding::Utf16LE: return "UTF-16LE";
    case TextEncoding::Utf16BE: return "UTF-16BE";
    case TextEncoding::Big5: return "windows-950-2000";
    case TextEncoding::Gb18030: return "gb18030";
    case TextEncoding::Unknown: break;
    }
    return nullptr;
}

std::string upper(std::string s)
{
    for (char &c : s)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return s;
}

// The detector's answer for Chinese text, or Unknown.
TextEncoding fromDetectorName(const std::string &name)
{
    const std::string n = upper(name);
    if (n == "UTF-8" || n == "ASCII")
        return TextEncoding::Utf8;
    if (n == "BIG5" || n == "BIG5-HKSCS" || n == "CP950" || n == "EUC-TW")
        return TextEncoding::Big5;
    if (n == "GB18030" || n == "GB2312" || n == "GBK" || n == "HZ-GB-2312" || n == "EUC-CN")
        return TextEncoding::Gb18030;
    if (n == "UTF-16LE")
        return TextEncoding::Utf16LE;
    if (n == "UTF-16BE")
        return TextEncoding::Utf16BE;
    return TextEncoding::Unknown;
}

struct ConverterCloser {
    void operator()(UConverter *c) const { ucnv_close(c); }
};

// The sample ends on a line end so that it never cuts a character in two.
std::string_view detectSample(std::string_view bytes)
{
    if (bytes.size() <= kDetectSample)
        return bytes;
    std::string_view s = bytes.substr(0, kDetectSample);
    const std::size_t nl = s.rfind('\n');
    return nl != std::string_view::npos && nl > kDetectSample / 2 ? s.substr(0, nl + 1) : s;
}

// A code unit found in Chinese text: ASCII, CJK, punctuation, full-width
// forms, or half of a well-formed surrogate pair.
bool isTextUnit(std::u16string_view units, std::size_t i)
{
    const char16_t c = units[i];
    if (c >= 0xD800 && c <= 0xDBFF)
        return i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF;
    if (c >= 0xDC00 && c <= 0xDFFF)
        return i > 0 && units[i - 1] >= 0xD800 && units[i - 1] <= 0xDBFF;
    return (c >= 0x20 && c <= 0x7E) || c == u'\t' || c == u'\r' || c == u'\n' || (c >= 0x2000 && c <= 0x206F) ||
           (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFFEF);
}

// UTF-16 without a mark: the zero bytes of its ASCII (line ends, digits,
// punctuation) stand mostly on one side of each pair (characters such as
// 一, U+4E00, put a few on the other). A zero pair would be a NUL, which no
// text holds; and read that way, nearly every unit must be one text uses.
TextEncoding utf16ByZeroBytes(std::string_view bytes)
{
    const std::string_view sample = bytes.substr(0, kDetectSample & ~std::size_t(1));
    if (sample.size() < 4 || bytes.size() % 2 != 0)
        return TextEncoding::Unknown;
    std::size_t even = 0, odd = 0;
    for (std::size_t i = 0; i < sample.size(); i += 2) {
        if (sample[i] == '\0' && sample[i + 1] == '\0')
            return TextEncoding::Unknown;
        even += sample[i] == '\0';
        odd += sample[i + 1] == '\0';
    }
    if (odd == even)
        return TextEncoding::Unknown;
    const bool little = odd > even;
    std::u16string units(sample.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        const auto lo = std::uint8_t(sample[2 * i + (little ? 0 : 1)]);
        const auto hi = std::uint8_t(sample[2 * i + (little ? 1 : 0)]);
        units[i] = char16_t(hi << 8 | lo);
    }
    std::size_t plausible = 0;
    for (std::size_t i = 0; i < units.size(); ++i)
        plausible += isTextUnit(units, i);
    // The sample may end inside a surrogate pair.
    if ((plausible + 1) * 100 < units.size() * 95)
        return TextEncoding::Unknown;
    return little ? TextEncoding::Utf16LE : TextEncoding::Utf16BE;
}

} // namespace

bool parseEncodingName(std::string_view name, bool &isAuto, TextEncoding &chosen)
{
    isAuto = name == "auto";
    chosen = TextEncoding::Unknown;
    if (name == "utf8")
        chosen = TextEncoding::Utf8;
    else if (name == "utf16")
        chosen = TextEncoding::Utf16LE;
    else if (name == "big5")
        chosen = TextEncoding::Big5;
    else if (name == "gb18030")
        chosen = TextEncoding::Gb18030;
    return isAuto || chosen != TextEncoding::Unknown;
}

const char *encodingLabel(TextEncoding e)
{
    switch (e) {
    case TextEncoding::Utf8: return "UTF-8";
    case TextEncoding::Utf16LE: return "UTF-16LE";
    case TextEncoding::Utf16BE: return "UTF-16BE";
    case TextEncoding::Big5: return "Big5";
    case TextEncoding::Gb18030: return "GB18030";
    case TextEncoding::Unknown: break;
    }
    return "unknown";
}

TextEncoding detectEncoding(std::string_view bytes)
{
    if (startsWith(bytes, "\xEF\xBB\xBF"))
        return TextEncoding::Utf8;
    if (startsWith(bytes, "\xFF\xFE"))
        return TextEncoding::Utf16LE;
    if (startsWith(bytes, "\xFE\xFF"))
        return TextEncoding::Utf16BE;
    if (const TextEncoding e = utf16ByZeroBytes(bytes); e != TextEncoding::Unknown)
        return e;
    UErrorCode status = U_ZERO_ERROR;
    // Without a substitution character a single ill-formed sequence is an error.
    u_strFromUTF8WithSub(nullptr, 0, nullptr, bytes.data(), std::int32_t(bytes.size()), -1, nullptr, &status);
    if (status == U_BUFFER_OVERFLOW_ERROR || U_SUCCESS(status))
        return TextEncoding::Utf8;

    const std::string_view sample = detectSample(bytes);
    uchardet_t detector = uchardet_new();
    if (!detector)
        return TextEncoding::Unknown;
    TextEncoding found = TextEncoding::Unknown;
    if (uchardet_handle_data(detector, sample.data(), sample.size()) == 0) {
        uchardet_data_end(detector);
        found = fromDetectorName(uchardet_get_charset(detector));
    }
    uchardet_delete(detector);
    // Ill-formed UTF-8 is never UTF-8, whatever a sample says.
    return found == TextEncoding::Utf8 ? TextEncoding::Unknown : found;
}

bool decodeText(std::string_view bytes, TextEncoding e, std::u16string &out, std::string &why)
{
    out.clear();
    const char *name = icuName(e);
    if (!name) {
        why = "the text's encoding is not known";
        return false;
    }
    if (bytes.size() > std::size_t(INT32_MAX) / 2) {
        why = "the text is too large";
        return false;
    }
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, ConverterCloser> cnv(ucnv_open(name, &status));
    if (U_FAILURE(status)) {
        why = std::string("no converter for ") + encodingLabel(e);
        return false;
    }
    ucnv_setToUCallBack(cnv.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    // UTF-16 never takes more code units than there are bytes (+1 for a
    // trailing incomplete sequence, which fails anyway).
    out.resize(bytes.size() + 1);
    char16_t *target = out.data();
    const char *source = bytes.data();
    ucnv_toUnicode(cnv.get(), reinterpret_cast<UChar **>(&target), reinterpret_cast<UChar *>(out.data() + out.size()),
                   &source, bytes.data() + bytes.size(), nullptr, true, &status);
    if (U_FAILURE(status)) {
        char bad[4];
        std::int8_t badLength = sizeof bad;
        UErrorCode ignored = U_ZERO_ERROR;
        ucnv_getInvalidChars(cnv.get(), bad, &badLength, &ignored);
        const std::size_t offset = std::size_t(source - bytes.data()) - std::size_t(badLength > 0 ? badLength : 0);
        why = std::string("the text is not valid ") + encodingLabel(e) + " (byte " + std::to_string(offset) + ")";
        out.clear();
        return false;
    }
    out.resize(std::size_t(target - out.data()));
    if (!out.empty() && out[0] == u'\uFEFF')
        out.erase(0, 1);
    return true;
}

std::u16string withCrLfLineEnds(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size() + text.size() / 16);
    // Runs without line ends are copied whole: most of a text.
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        out.append(text.substr(runStart, i - runStart));
        out += u"\r\n";
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        runStart = i + 1;
    }
    out.append(text.substr(runStart));
    return out;
}

bool looksLikeText(std::u16string_view text)
{
    return text.find(u'\0') == std::u16string_view::npos;
}

std::u16string withoutControls(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0x20 || c == u'\t' || c == u'\r' || c == u'\n') {
            out.push_back(c);
            continue;
        }
        if (c != 0x1B || i + 1 >= text.size())
            continue;
        const char16_t kind = text[i + 1];
        if (kind == u'[') {
            // CSI: parameter and intermediate bytes up to a final byte.
            std::size_t j = i + 2;
            while (j < text.size() && text[j] >= 0x20 && text[j] <= 0x3F)
                ++j;
            while (j < text.size() && text[j] >= 0x20 && text[j] <= 0x2F)
                ++j;
            i = j < text.size() && text[j] >= 0x40 && text[j] <= 0x7E ? j : j - 1;
        } else if (kind == u']') {
            // OSC (a terminal's title): up to BEL or ESC backslash, within a line.
            std::size_t j = i + 2;
            while (j < text.size() && text[j] != 0x07 && text[j] != 0x1B && text[j] != u'\n')
                ++j;
            i = j < text.size() && text[j] == 0x1B && j + 1 < text.size() && text[j + 1] == u'\\' ? j + 1
                : j < text.size() && text[j] == 0x07                                              ? j
                                                                                                  : j - 1;
        } else if (kind >= 0x20 && kind <= 0x2F) {
            // A character set designation such as ESC ( B: intermediates, then a final.
            std::size_t j = i + 1;
            while (j < text.size() && text[j] >= 0x20 && text[j] <= 0x2F)
                ++j;
            i = j < text.size() && text[j] >= 0x30 && text[j] <= 0x7E ? j : j - 1;
        } else if (kind >= 0x40 && kind <= 0x5F) {
            ++i; // a two-character escape
        }
    }
    return out;
}

} // namespace pagora
