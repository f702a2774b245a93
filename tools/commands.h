#pragma once
#include <string>
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

// Prints the short help of one subcommand (or of all with an empty name) to
// stderr and returns 2.
int usage(const std::string &subcommand);
