#include "commands.h"

int makeCommand(const std::vector<std::string> &) { return usage("make"); }
int infoCommand(const std::vector<std::string> &) { return usage("info"); }
int textCommand(const std::vector<std::string> &) { return usage("text"); }
