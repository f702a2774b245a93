#pragma once
// Simplified to Traditional Chinese as Taiwan writes it, from one table made
// at build time and mapped read-only. Characters with one Traditional form
// are looked up; where one Simplified character stands for several, the
// choice is the best path through the candidates, scored by the words they
// form and by the characters around them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pagora {

// The file name of the table and the folders searched for it, given the
// program's own folder (ending with '/'): beside the program in a build,
// then the installed data. Whatever confines the importer grants these.
inline constexpr const char *kTraditionalTableName = "traditional.tbl";
std::vector<std::string> traditionalTablePaths(const std::string &programFolder);
// The same for the running program.
std::vector<std::string> traditionalTablePaths();

class TraditionalTable {
public:
    TraditionalTable() = default;
    ~TraditionalTable();
    TraditionalTable(const TraditionalTable &) = delete;
    TraditionalTable &operator=(const TraditionalTable &) = delete;

    // False, with why, when the file is missing or not a table we wrote.
    bool open(const std::string &path, std::string &why);
    // The first of paths that opens.
    bool openFirst(const std::vector<std::string> &paths, std::string &why);
    bool isOpen() const { return m_data != nullptr; }
    std::size_t byteSize() const { return m_size; }

    const std::uint8_t *data() const { return m_data; }

private:
    void close();
    const std::uint8_t *m_data = nullptr;
    std::size_t m_size = 0;
};

// Converts text; every character that is neither Chinese nor part of a
// converted phrase stays as it is, line breaks included.
std::u32string toTraditional(const TraditionalTable &table, std::u32string_view text);
std::u16string toTraditional(const TraditionalTable &table, std::u16string_view text);

// The Traditional forms c may stand for, the usual one first; empty when c
// stays as it is.
std::u32string traditionalForms(const TraditionalTable &table, char32_t c);

// Counts, over text, the Han characters that change to Traditional and
// those that change to Simplified (character by character).
struct ScriptCounts {
    std::size_t han = 0, simplifiedOnly = 0, traditionalOnly = 0;
};
ScriptCounts scriptCounts(const TraditionalTable &table, std::u16string_view text);

} // namespace pagora
