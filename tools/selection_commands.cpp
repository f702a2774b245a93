// select and lookup: what a drag selects on a page, and what the look-up
// card says of each character.
#include "commands.h"

#include "app/reader.h"
#include "book/character_index.h"
#include "platform/files.h"
#include "render/text_selection.h"
#include "text/codec.h"

#include <cstdio>
#include <filesystem>
#include <optional>

using namespace pagora;

namespace {

int writeOut(const std::string &command, const std::string &text)
{
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
        return failure(command, "cannot write to standard output");
    return 0;
}

// A pixel coordinate; points off the page are allowed.
std::optional<int> coordinate(const std::string &text)
{
    const std::optional<long> v = parseNumber(text);
    if (!v || text.size() > 6)
        return std::nullopt;
    return int(*v);
}

std::string jsonList(const std::vector<std::string> &items)
{
    std::string out = "[";
    for (std::size_t k = 0; k < items.size(); ++k)
        out += (k ? "," : "") + jsonString(items[k]);
    return out + "]";
}

std::string utf8Of(char32_t c)
{
    std::u16string u;
    if (c >= 0x10000) {
        u.push_back(char16_t(0xD800 + ((c - 0x10000) >> 10)));
        u.push_back(char16_t(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
        u.push_back(char16_t(c));
    }
    return utf16ToUtf8(u);
}

std::vector<std::string> characterList(const std::u32string &characters)
{
    std::vector<std::string> out;
    for (char32_t c : characters)
        out.push_back(utf8Of(c));
    return out;
}

std::string programFolder()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("./") : self.parent_path().string() + "/";
}

} // namespace

int selectCommand(const std::vector<std::string> &args)
{
    const std::string cmd = "select";
    return withLaidOutPage(cmd, args, 7, [&cmd](Reader &r, const std::vector<std::string> &positional) {
        int p[4];
        for (int k = 0; k < 4; ++k) {
            const std::optional<int> v = coordinate(positional[std::size_t(3 + k)]);
            if (!v)
                return usageError(cmd, "X1 Y1 X2 Y2 must be whole numbers");
            p[k] = *v;
        }
        const ReaderState &s = r.state;
        const TextRange range = rangeBetween(pageCells(s, s.book.pages.shownPageStart()), p[0], p[1], p[2], p[3]);
        const std::u16string_view text =
            std::u16string_view(s.book.sectionText()).substr(std::size_t(range.start), std::size_t(range.length));
        return writeOut(cmd, "{\"start\": " + std::to_string(range.start) + ", \"length\": " +
                                 std::to_string(range.length) + ", \"text\": " + jsonString(text) + "}\n");
    });
}

int lookupCommand(const std::vector<std::string> &args)
{
    const std::string cmd = "lookup";
    if (args.size() != 1 || args[0].empty())
        return usage(cmd);
    CharacterIndex index;
    for (const std::string &path : characterIndexPaths(programFolder()))
        if (index.open(systemFiles(), path))
            break;
    if (!index.isOpen())
        return failure(cmd, "the character data is not installed (Unihan, from unicode-data)");
    std::string out = "[";
    bool first = true;
    for (char32_t c : distinctCharacters(utf8ToUtf16(args[0]))) {
        out += first ? "\n" : ",\n";
        first = false;
        out += "{\"char\": " + jsonString(utf8Of(c));
        CharacterEntry e;
        if (index.find(c, e)) {
            std::vector<std::string> zhuyin;
            for (const std::string &p : e.pinyin)
                zhuyin.push_back(zhuyinFromPinyin(p));
            out += ", \"pinyin\": " + jsonList(e.pinyin) + ", \"zhuyin\": " + jsonList(zhuyin) +
                   ", \"jyutping\": " + jsonList(e.jyutping) + ", \"radical\": " + std::to_string(e.radical) +
                   ", \"strokes\": " + std::to_string(e.strokes) +
                   ", \"traditional\": " + jsonList(characterList(e.traditional)) +
                   ", \"simplified\": " + jsonList(characterList(e.simplified)) +
                   ", \"definition\": " + jsonString(e.definition);
        }
        out += "}";
    }
    return writeOut(cmd, out + (first ? "]\n" : "\n]\n"));
}
