#pragma once
// Runs the built pagora-book as a person would, capturing its output.
#include "test_platform.h"

#include <string>
#include <vector>

namespace pagora {

struct Outcome {
    int status = -1;
    std::string out, err;
};

// The tool in the build folder that CTest names (PAGORA_BUILD_DIR).
std::string bookToolPath();
// Runs it with args, with stdout and stderr kept in files of dir; standard
// input is input (through a file of dir), or empty.
Outcome runBookTool(const TempDir &dir, const std::vector<std::string> &args, const std::string &input = {});

} // namespace pagora
