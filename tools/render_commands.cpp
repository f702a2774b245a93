#include "commands.h"

int pagesCommand(const std::vector<std::string> &) { return usage("pages"); }
int renderCommand(const std::vector<std::string> &) { return usage("render"); }
