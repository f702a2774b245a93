#include "notes/notes_export.h"

#include "text/codec.h"

#include <cstring>

namespace pagora {

namespace {

bool isControl(unsigned char c)
{
    return c < 0x20 || c == 0x7f;
}

// A line's characters as plain text: whatever Markdown or HTML would take as
// markup is escaped, control characters are dropped.
void appendEscaped(std::string &out, std::string_view line)
{
    // Inline markup anywhere on the line: code spans, emphasis, links,
    // strikethrough, table cells, a heading's closing hashes.
    constexpr const char *kAnywhere = "\\`*_[]~|#";
    bool lineStart = true;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (isControl(c) && c != '\t')
            continue;
        if (lineStart && (c == ' ' || c == '\t')) {
            // Indented lines would become code: the first blank is kept as a
            // character reference, which is text.
            out += c == ' ' ? "&#32;" : "&#9;";
            lineStart = false;
            continue;
        }
        if (lineStart) {
            std::size_t digits = i;
            while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9')
                ++digits;
            if (digits > i && digits < line.size() && (line[digits] == '.' || line[digits] == ')')) {
                // An ordered list's number: its mark escaped.
                out.append(line.substr(i, digits - i));
                out += '\\';
                out += line[digits];
                i = digits;
                lineStart = false;
                continue;
            }
            if (c == '-' || c == '+' || c == '=')
                out += '\\'; // list item, thematic break, heading underline
        }
        lineStart = false;
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else {
            if (std::strchr(kAnywhere, c))
                out += '\\';
            out += char(c);
        }
    }
}

// A heading's text on its one line: line breaks become spaces.
std::string heading(const std::string &marks, const std::string &title)
{
    std::string line;
    for (char c : title)
        line += c == '\n' || c == '\r' ? ' ' : c;
    std::string out = marks + " ";
    appendEscaped(out, line);
    return out + "\n";
}

// Text as a Markdown quotation: every line of it quoted, nothing in it taken
// as markup.
std::string quoted(std::string_view text)
{
    std::string out;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        out += line.empty() ? ">" : "> ";
        appendEscaped(out, line);
        out += '\n';
        if (end == std::string_view::npos)
            return out;
        start = end + 1;
    }
}

} // namespace

std::string notesMarkdown(std::u16string_view title, const std::vector<std::u16string> &titles,
                          const std::vector<StoredMark> &marks)
{
    std::string out = heading("#", utf16ToUtf8(title));
    int section = 0;
    bool detachedHeading = false;
    for (const StoredMark &m : marks) {
        if (m.detached && !detachedHeading) {
            out += "\n" + heading("##", "找不到原文的畫線");
            detachedHeading = true;
        } else if (!m.detached && m.anchor.section != section) {
            section = m.anchor.section;
            const std::size_t i = std::size_t(section - 1);
            out += "\n" +
                   heading("##", i < titles.size() ? utf16ToUtf8(titles[i]) : "第" + std::to_string(section) + "節");
        }
        out += "\n" + quoted(utf16ToUtf8(m.anchor.quote));
        // The note in a quotation of its own after its passage's.
        if (!m.note.empty())
            out += "\n" + quoted(m.note);
    }
    return out;
}

} // namespace pagora
