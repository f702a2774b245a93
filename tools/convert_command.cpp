// convert: Simplified Chinese on standard input to Traditional on standard output.
#include "commands.h"

#include "import/chinese_convert.h"
#include "text/codec.h"

#include <cstdio>
#include <unistd.h>

using namespace pagora;

namespace {

// The offset of the first byte that is not well-formed UTF-8, or npos.
std::size_t badUtf8At(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        const std::size_t extra = b < 0x80                 ? 0
                                  : b >= 0xC2 && b <= 0xDF ? 1
                                  : b >= 0xE0 && b <= 0xEF ? 2
                                  : b >= 0xF0 && b <= 0xF4 ? 3
                                                           : 4;
        if (extra == 4 || i + extra >= s.size() + (extra == 0))
            return i;
        char32_t c = extra == 0 ? b : b & (0x3F >> extra);
        for (std::size_t k = 1; k <= extra; ++k) {
            const unsigned char t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80)
                return i;
            c = (c << 6) | (t & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF.
        if ((extra == 2 && c < 0x800) || (extra == 3 && (c < 0x10000 || c > 0x10FFFF)) || (c >= 0xD800 && c <= 0xDFFF))
            return i;
        i += extra + 1;
    }
    return std::string_view::npos;
}

bool readAll(int fd, std::string &out)
{
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            return true;
        if (n < 0)
            return false;
        out.append(buffer, std::size_t(n));
    }
}

} // namespace

int convertCommand(const std::vector<std::string> &args)
{
    const std::string cmd = "convert";
    if (args.size() != 1 || args[0] != "--to-traditional")
        return usage(cmd);
    const ChineseConverter converter;
    if (!converter.isOpen())
        return failure(cmd, converter.whyNot() + " (reinstall Pagora)");
    std::string input;
    if (!readAll(STDIN_FILENO, input))
        return failure(cmd, "standard input cannot be read");
    if (const std::size_t bad = badUtf8At(input); bad != std::string_view::npos)
        return failure(cmd, "standard input is not UTF-8 (byte " + std::to_string(bad) + ")");
    std::u16string converted;
    converter.convert(utf8ToUtf16(input), converted);
    const std::string out = utf16ToUtf8(withCornerQuotes(converted));
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0)
        return failure(cmd, "standard output cannot be written");
    return 0;
}
