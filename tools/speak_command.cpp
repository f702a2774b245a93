#include "commands.h"
#include "text/utterances.h"

#include <cstdio>

using namespace pagora;

int speakCommand(const std::vector<std::string> &given)
{
    const std::string cmd = "speak";
    if (given.empty() || given[0] != "--plan")
        return usage(cmd);
    std::vector<std::string> args(given.begin() + 1, given.end());
    if (!args.empty() && args[0] == "--")
        args.erase(args.begin());
    if (args.size() != 3)
        return usage(cmd);
    const std::string &path = args[0];
    const std::optional<long> section = parseNumber(args[1]);
    const std::optional<long> offset = parseNumber(args[2]);
    if (!section)
        return usageError(cmd, "SECTION must be a section number");
    if (!offset || *offset < 0)
        return usageError(cmd, "OFFSET must be a UTF-16 offset, 0 or more");
    ToolReader t;
    std::string why;
    if (!openToolBook(t, path, why))
        return failure(cmd, path + ": " + why);
    OpenBook &book = t.r.state.book;
    const std::string which = path + ": section " + std::to_string(*section);
    if (*section < 1 || *section > book.sectionCount)
        return failure(cmd, which + " is absent: the book has " + std::to_string(book.sectionCount) + " sections");
    // The text exactly as the reader loads it, so that offsets agree.
    if (!loadSectionText(book, int(*section)))
        return failure(cmd, which + " cannot be read: its record is absent, empty or lies outside the file");
    const std::u16string_view text = book.usableText();
    std::string json = "[";
    bool first = true;
    for (const Utterance &u : planUtterances(text, int(*section), std::int32_t(*offset))) {
        json += first ? "\n" : ",\n";
        first = false;
        json += "{\"section\":" + std::to_string(u.section) + ",\"start\":" + std::to_string(u.start) +
                ",\"length\":" + std::to_string(u.length) +
                ",\"text\":" + jsonString(text.substr(std::size_t(u.start), std::size_t(u.length))) + "}";
    }
    json += first ? "]\n" : "\n]\n";
    if (std::fwrite(json.data(), 1, json.size(), stdout) != json.size() || std::fflush(stdout) != 0)
        return failure(cmd, "cannot write to standard output");
    return 0;
}
