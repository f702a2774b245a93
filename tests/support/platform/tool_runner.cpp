#include "tool_runner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace pagora {

namespace {

std::string quoted(const std::string &arg)
{
    std::string out = "'";
    for (char c : arg)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

} // namespace

std::string bookToolPath()
{
    const char *d = std::getenv("PAGORA_BUILD_DIR");
    if (!d) {
        ADD_FAILURE() << "PAGORA_BUILD_DIR must name the build folder (ctest sets it)";
        return "/nonexistent/pagora-book";
    }
    return std::string(d) + "/pagora-book";
}

Outcome runBookTool(const TempDir &dir, const std::vector<std::string> &args, const std::string &input)
{
    writeFile(dir.file("stdin"), input);
    std::string cmd = quoted(bookToolPath());
    for (const std::string &a : args)
        cmd += " " + quoted(a);
    cmd += " >" + quoted(dir.file("stdout")) + " 2>" + quoted(dir.file("stderr")) + " <" + quoted(dir.file("stdin"));
    Outcome r;
    const int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = readFile(dir.file("stdout"));
    r.err = readFile(dir.file("stderr"));
    return r;
}

} // namespace pagora
