// A confined process tries the ways out of its walls.
#include "test_platform.h"

#include "import/confine.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sys/ptrace.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace pagora;

namespace {

struct ForbiddenCase {
    const char *name;
    // Returns 0 when the call went through, else its errno.
    std::function<int(const TempDir &)> attempt;
    int expected;               // the errno, 0 for a call that must work, SIGSYS: killed
    bool needsLandlock = false; // files stay readable on a kernel without it
};

int opened(const std::string &path, int flags)
{
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    ::close(fd);
    return 0;
}

class Confined : public testing::TestWithParam<ForbiddenCase> {};

TEST_P(Confined, IsStoppedAtTheWall)
{
    const ForbiddenCase &c = GetParam();
    TempDir dir;
    writeFile(dir.file("in.txt"), "正文");
    writeFile(dir.file("other.txt"), "private");
    ConfinementReport report;
    std::string why;
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (!confineProcess(importConfinement(dir.file("in.txt")), report, why))
            ::_exit(200);
        if (c.needsLandlock && report.landlockAbi == 0)
            ::_exit(201);
        ::_exit(c.attempt(dir));
    }
    int raw = 0;
    ASSERT_EQ(::waitpid(pid, &raw, 0), pid);
    if (WIFEXITED(raw) && WEXITSTATUS(raw) == 201)
        GTEST_SKIP() << "this kernel has no Landlock";
    if (c.expected == SIGSYS) {
        EXPECT_TRUE(WIFSIGNALED(raw) && WTERMSIG(raw) == SIGSYS) << raw;
    } else {
        ASSERT_TRUE(WIFEXITED(raw)) << "killed by signal " << WTERMSIG(raw);
        EXPECT_EQ(WEXITSTATUS(raw), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Import, Confined,
    testing::Values(
        ForbiddenCase{"ReadsItsInput", [](const TempDir &d) { return opened(d.file("in.txt"), O_RDONLY); }, 0},
        ForbiddenCase{"ReadsAnotherFile", [](const TempDir &d) { return opened(d.file("other.txt"), O_RDONLY); },
                      EACCES, true},
        ForbiddenCase{"WritesAFile", [](const TempDir &d) { return opened(d.file("new.txt"), O_WRONLY | O_CREAT); },
                      EACCES, true},
        ForbiddenCase{"ConnectsASocket",
                      [](const TempDir &) { return ::socket(AF_INET, SOCK_STREAM, 0) < 0 ? errno : 0; }, EPERM},
        ForbiddenCase{"RunsAProgram",
                      [](const TempDir &) {
                          char *const argv[] = {const_cast<char *>("true"), nullptr};
                          ::execv("/bin/true", argv);
                          return errno;
                      },
                      EPERM},
        ForbiddenCase{"StartsAProcess",
                      [](const TempDir &) {
                          const pid_t child = ::fork();
                          if (child == 0)
                              ::_exit(0);
                          return child < 0 ? errno : 0;
                      },
                      EPERM},
        ForbiddenCase{"TracesItself",
                      [](const TempDir &) { return ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) < 0 ? errno : 0; },
                      SIGSYS}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
