#pragma once
#include "app/reader.h"
#include "book/section_loader.h"
#include "platform/files.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Each subcommand gets its arguments after the subcommand name and returns
// the exit status: 0 done, 1 failed (message on stderr), 2 usage error.
int makeCommand(const std::vector<std::string> &args);
int infoCommand(const std::vector<std::string> &args);
int textCommand(const std::vector<std::string> &args);
int pagesCommand(const std::vector<std::string> &args);
int renderCommand(const std::vector<std::string> &args);
int importCommand(const std::vector<std::string> &args);
int notesCommand(const std::vector<std::string> &args);
int probeCommand(const std::vector<std::string> &args);
int selectCommand(const std::vector<std::string> &args);
int lookupCommand(const std::vector<std::string> &args);
int convertCommand(const std::vector<std::string> &args);
int speakCommand(const std::vector<std::string> &args);

// A JSON string literal of the text. Control characters other than \n, \r
// and \t become \uXXXX; \b and \f too unless shortControls (the notes'
// listing has always written them that way).
std::string jsonString(const std::string &utf8, bool shortControls = true);
std::string jsonString(std::u16string_view text);

// For subcommands that work on one page as render draws it: parses the
// positional arguments (FILE SECTION PAGE first) and render's layout options,
// lays the section out and shows the page in the reader handed to use.
// Returns use's status, or the failure or usage status.
int withLaidOutPage(const std::string &command, const std::vector<std::string> &args, std::size_t positionalCount,
                    const std::function<int(pagora::Reader &, const std::vector<std::string> &)> &use);

// Prints the short help of one subcommand (or of all with an empty name) to
// stderr and returns 2.
int usage(const std::string &subcommand);

// "pagora-book COMMAND: MESSAGE" on stderr, the message printable; returns 1.
int failure(const std::string &command, const std::string &message);
// The same message, then the subcommand's help; returns 2.
int usageError(const std::string &command, const std::string &message);
// The text with its control characters (C0, DEL, C1) shown as \xHH: a name
// or a path from a file prints on one line and sends a terminal nothing.
std::string printable(std::string_view text);
// True when args[i] is "--", after which every argument is an operand: those
// are appended to operands and the caller stops reading options.
bool endOfOptions(const std::vector<std::string> &args, std::size_t i, std::vector<std::string> &operands);
// A decimal number of at most 9 characters with an optional '-', nothing else.
std::optional<long> parseNumber(const std::string &text);

// A reader with only the real file system, for one book at a time.
struct ToolReader {
    pagora::Reader r;
    ToolReader() { r.services.files = &pagora::systemFiles(); }
};

// Adds path as the tool reader's only book and opens it, its contents read;
// false, with why, when the reader would turn it down.
bool openToolBook(ToolReader &t, const std::string &path, std::string &why);
