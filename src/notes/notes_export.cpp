#include "notes/notes_export.h"

#include "text/codec.h"

namespace pagora {

namespace {

// A passage as a Markdown quotation: every line of it quoted.
std::string quoted(const std::string &text)
{
    std::string out = "> ";
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r')
            continue;
        out.push_back(text[i]);
        if (text[i] == '\n')
            out += "> ";
    }
    return out + "\n";
}

} // namespace

std::string notesMarkdown(std::u16string_view title, const std::vector<std::u16string> &titles,
                          const std::vector<Mark> &marks)
{
    std::string out = "# " + utf16ToUtf8(title) + "\n";
    int section = 0;
    bool detachedHeading = false;
    for (const Mark &m : marks) {
        if (m.detached && !detachedHeading) {
            out += "\n## 找不到原文的畫線\n";
            detachedHeading = true;
        } else if (!m.detached && m.anchor.section != section) {
            section = m.anchor.section;
            const std::size_t i = std::size_t(section - 1);
            out +=
                "\n## " + (i < titles.size() ? utf16ToUtf8(titles[i]) : "第" + std::to_string(section) + "節") + "\n";
        }
        out += "\n" + quoted(utf16ToUtf8(m.anchor.quote));
        if (!m.note.empty())
            out += "\n" + m.note + "\n";
    }
    return out;
}

} // namespace pagora
