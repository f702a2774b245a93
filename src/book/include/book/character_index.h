#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pagora {

class Files;

// What the look-up card shows of one character, from Unihan.
struct CharacterEntry {
    char32_t character = 0;
    std::vector<std::string> pinyin; // every reading, Taiwan's usual one first
    std::vector<std::string> jyutping;
    int radical = 0; // Kangxi radical number, 0 when unknown
    int strokes = 0;
    std::u32string traditional;
    std::u32string simplified;
    std::string definition;
};

// The fields of one entry as the index stores them (UTF-8).
struct CharacterFields {
    std::string mandarin, cantonese, radicalStrokes, totalStrokes, traditional, simplified, definition;
};

// A sorted table of characters read from one file: a header, fixed-size
// slots sorted by code point, then the entries' text. Opened on first use;
// a missing or damaged file gives an empty index.
class CharacterIndex {
public:
    bool open(Files &files, const std::string &path);
    bool isOpen() const { return m_count > 0; }
    // False when Unihan does not list c.
    bool find(char32_t c, CharacterEntry &entry) const;

    // The bytes of an index holding fields, keyed by code point.
    static std::string encode(const std::vector<std::pair<char32_t, CharacterFields>> &fields);

private:
    std::string m_bytes;
    std::uint32_t m_count = 0;
};

// The index the look-up card reads, opened on first use from the first
// place that has it; never before, so that start-up does not load it.
class LookUpIndex {
public:
    // nullptr without the data; the places are tried once.
    const CharacterIndex *open(Files &files, const std::string &programFolder);

private:
    CharacterIndex m_index;
    bool m_tried = false;
};

// The readings an index stores for a character, space-separated: kMandarin's
// (Taiwan's second there, so first here), then every other reading the
// dictionary fields give ("0442.080:háng 0443.050:hàng", "20811.060:háng,xíng").
std::string allReadings(std::string_view mandarin, const std::vector<std::string_view> &dictionaryFields);

// The character of Kangxi radical number (1 to 214; 言 for 149), 0 for any
// other number.
char16_t kangxiRadical(int number);

// Zhuyin of one pinyin syllable with tone marks (e.g. "zhōng" gives "ㄓㄨㄥ",
// "me" gives "˙ㄇㄜ"); empty when the spelling is not Mandarin.
std::string zhuyinFromPinyin(std::string_view pinyin);

// The distinct characters of text in order of first appearance.
std::u32string distinctCharacters(std::u16string_view text);

// Where the reader and the tool look for the index, given their own folder
// (ending with '/'): beside the program in a build, then the installed data.
std::vector<std::string> characterIndexPaths(const std::string &programFolder);

} // namespace pagora
