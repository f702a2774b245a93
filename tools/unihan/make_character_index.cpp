// Build step: reads the Unihan files (bzip2 text, as Debian ships them) and
// writes the reader's character index, so that the reader never decompresses
// or parses Unihan itself.
#include "book/character_index.h"
#include "platform/files.h"

#include <bzlib.h>

#include <cstdio>
#include <map>
#include <string>

using namespace pagora;

namespace {

bool readBzip2(const char *path, std::string &text)
{
    std::FILE *file = std::fopen(path, "rb");
    if (!file)
        return false;
    int error = BZ_OK;
    BZFILE *bz = BZ2_bzReadOpen(&error, file, 0, 0, nullptr, 0);
    char buffer[1 << 16];
    while (error == BZ_OK) {
        const int n = BZ2_bzRead(&error, bz, buffer, sizeof buffer);
        if (n > 0)
            text.append(buffer, std::size_t(n));
    }
    const bool ok = error == BZ_STREAM_END;
    BZ2_bzReadClose(&error, bz);
    std::fclose(file);
    return ok;
}

std::string *fieldOf(CharacterFields &f, std::string_view key)
{
    if (key == "kMandarin")
        return &f.mandarin;
    if (key == "kCantonese")
        return &f.cantonese;
    if (key == "kRSUnicode")
        return &f.radicalStrokes;
    if (key == "kTotalStrokes")
        return &f.totalStrokes;
    if (key == "kTraditionalVariant")
        return &f.traditional;
    if (key == "kSimplifiedVariant")
        return &f.simplified;
    if (key == "kDefinition")
        return &f.definition;
    return nullptr;
}

// The fields that list every reading of a character with the dictionary
// page it is found on.
bool isDictionaryReadings(std::string_view key)
{
    return key == "kHanyuPinyin" || key == "kXHC1983" || key == "kTGHZ2013";
}

// "U+8BF4" alone to the character, 0 for anything else.
char32_t singleCharacter(const std::string &field)
{
    if (field.size() < 3 || field.compare(0, 2, "U+") != 0 || field.find(' ') != std::string::npos)
        return 0;
    return char32_t(std::stoul(field.substr(2, field.find('<') - 2), nullptr, 16));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_character_index OUT.idx Unihan_FILE.txt.bz2...\n");
        return 2;
    }
    std::map<char32_t, CharacterFields> entries;
    std::map<char32_t, std::vector<std::string>> dictionaryReadings;
    for (int a = 2; a < argc; ++a) {
        std::string text;
        if (!readBzip2(argv[a], text)) {
            std::fprintf(stderr, "make_character_index: cannot read %s\n", argv[a]);
            return 1;
        }
        // Lines are "U+4E2D<TAB>kMandarin<TAB>zhōng".
        std::size_t from = 0;
        while (from < text.size()) {
            std::size_t end = text.find('\n', from);
            if (end == std::string::npos)
                end = text.size();
            const std::string_view line(text.data() + from, end - from);
            from = end + 1;
            if (line.size() < 3 || line[0] != 'U' || line[1] != '+')
                continue;
            const std::size_t tab1 = line.find('\t');
            const std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
            if (tab2 == std::string_view::npos)
                continue;
            std::string_view value = line.substr(tab2 + 1);
            if (!value.empty() && value.back() == '\r')
                value.remove_suffix(1);
            const std::string_view key = line.substr(tab1 + 1, tab2 - tab1 - 1);
            CharacterFields probe;
            const bool dictionary = isDictionaryReadings(key);
            if (!dictionary && !fieldOf(probe, key))
                continue;
            const char32_t c = char32_t(std::stoul(std::string(line.substr(2, tab1 - 2)), nullptr, 16));
            if (dictionary) {
                dictionaryReadings[c].emplace_back(value);
                continue;
            }
            *fieldOf(entries[c], line.substr(tab1 + 1, tab2 - tab1 - 1)) = std::string(value);
        }
    }
    if (entries.empty()) {
        std::fprintf(stderr, "make_character_index: no Unihan entries found\n");
        return 1;
    }
    for (auto &[c, f] : entries) {
        auto readings = dictionaryReadings.find(c);
        // 說 has no dictionary readings of its own; 说, its only simplified
        // form, lists shuō, shuì and yuè.
        const char32_t simplified = singleCharacter(f.simplified);
        if (readings == dictionaryReadings.end() && simplified != 0 && entries.count(simplified) &&
            singleCharacter(entries[simplified].traditional) == c)
            readings = dictionaryReadings.find(simplified);
        std::vector<std::string_view> fields;
        if (readings != dictionaryReadings.end())
            fields.assign(readings->second.begin(), readings->second.end());
        f.mandarin = allReadings(f.mandarin, fields);
    }
    const std::string bytes = CharacterIndex::encode({entries.begin(), entries.end()});
    if (!replaceFileAtomically(systemFiles(), argv[1], bytes)) {
        std::fprintf(stderr, "make_character_index: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
