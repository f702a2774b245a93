#include "commands.h"

#include <cstdio>
#include <cstring>
#include <map>

namespace {

struct Subcommand {
    int (*run)(const std::vector<std::string> &);
    const char *synopsis;
};

const std::map<std::string, Subcommand> &subcommands()
{
    static const std::map<std::string, Subcommand> table = {
        {"make", {makeCommand, "make --encoding cp950|utf16 --title TITLE -o OUT.pdb|OUT.updb FILE..."}},
        {"info", {infoCommand, "info FILE"}},
        {"text", {textCommand, "text FILE SECTION"}},
        {"pages", {pagesCommand, "pages FILE SECTION --width W --height H [--size-step S] [--base-size B] "
                                 "[--vmargin V] [--hmargin H]"}},
        {"render", {renderCommand, "render FILE SECTION PAGE -o OUT.png [--width W --height H ...] "
                                   "[--scheme 1|2] [--background 1..9]"}},
    };
    return table;
}

} // namespace

int usage(const std::string &subcommand)
{
    const auto &table = subcommands();
    auto it = table.find(subcommand);
    if (it != table.end()) {
        std::fprintf(stderr, "usage: pagora-book %s\n", it->second.synopsis);
        return 2;
    }
    std::fputs("usage: pagora-book <subcommand> ...\n\nSubcommands:\n", stderr);
    for (const auto &[name, sub] : table)
        std::fprintf(stderr, "  pagora-book %s\n", sub.synopsis);
    return 2;
}

int main(int argc, char **argv)
{
    if (argc < 2)
        return usage("");
    const std::string name = argv[1];
    const auto &table = subcommands();
    auto it = table.find(name);
    if (it == table.end())
        return usage("");
    std::vector<std::string> args(argv + 2, argv + argc);
    return it->second.run(args);
}
