#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pagora {
struct Reader;
}

// Each subcommand gets its arguments after the subcommand name and returns
// the exit status: 0 done, 1 failed (message on stderr), 2 usage error.
int makeCommand(const std::vector<std::string> &args);
int infoCommand(const std::vector<std::string> &args);
int textCommand(const std::vector<std::string> &args);
int pagesCommand(const std::vector<std::string> &args);
int renderCommand(const std::vector<std::string> &args);
int importCommand(const std::vector<std::string> &args);
int selectCommand(const std::vector<std::string> &args);
int lookupCommand(const std::vector<std::string> &args);

// A JSON string literal of the text.
std::string jsonString(const std::string &utf8);
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
