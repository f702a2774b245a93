#include "import/confine.h"

#include "text/traditional.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <linux/landlock.h>
#include <sched.h>
#include <seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define PAGORA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PAGORA_ASAN 1
#endif
#endif
#ifdef PAGORA_ASAN
#include <sanitizer/lsan_interface.h>
#endif

// Newer than the oldest kernel headers we build against.
#ifndef LANDLOCK_ACCESS_FS_REFER
#define LANDLOCK_ACCESS_FS_REFER (1ULL << 13)
#endif
#ifndef LANDLOCK_ACCESS_FS_TRUNCATE
#define LANDLOCK_ACCESS_FS_TRUNCATE (1ULL << 14)
#endif

namespace pagora {

namespace {

// Far beyond any real book, and after the reader's own clock has run out.
constexpr rlim_t kCpuSeconds = 660;
// A book's size is a 32-bit field.
constexpr rlim_t kFileBytes = rlim_t(4) << 30;
constexpr rlim_t kOpenFiles = 64;
constexpr rlim_t kMemoryBytes = rlim_t(2) << 30;
// A child that could not confine itself; runConfined says so.
constexpr int kNotConfined = 125;

#ifdef PAGORA_ASAN
constexpr bool kCapMemory = false; // the sanitizer reserves terabytes of address space
#else
constexpr bool kCapMemory = true;
#endif

// Lowers, never raises: a parent may have set tighter limits already.
void lowerLimit(int resource, rlim_t value)
{
    rlimit now{};
    if (::getrlimit(resource, &now) != 0)
        return;
    const rlimit lowered{std::min(now.rlim_cur, value), std::min(now.rlim_max, value)};
    ::setrlimit(resource, &lowered);
}

// A deny-list over a default of allow. An allow-list would have to name
// every call glibc, libxml2, libzip, ICU, uchardet, OpenCC and the
// sanitizer runtimes make, which changes with their versions and would end
// imports in the field; what is listed here is every way out of the process
// (network, programs, other processes, kernel state), and Landlock closes
// the files. Calls a library may try and recover from fail with an error;
// calls no import path makes end the process.
bool installFilter(std::string &why)
{
    scmp_filter_ctx ctx = ::seccomp_init(SCMP_ACT_ALLOW);
    if (!ctx) {
        why = "the system-call filter cannot be made";
        return false;
    }
    // Calls through another architecture's table would pass a deny-list.
    int rc = ::seccomp_attr_set(ctx, SCMP_FLTATR_ACT_BADARCH, SCMP_ACT_KILL_PROCESS);
    auto deny = [&](const char *name, std::uint32_t action) {
        const int nr = ::seccomp_syscall_resolve_name(name);
        if (rc == 0 && nr != __NR_SCMP_ERROR)
            rc = ::seccomp_rule_add(ctx, action, nr, 0);
    };
    for (const char *name : {"socket", "socketpair", "connect", "bind", "listen", "accept", "accept4", "execve",
                             "execveat", "fork", "vfork"})
        deny(name, SCMP_ACT_ERRNO(EPERM));
    // Threads stay possible; a new process does not.
    const scmp_arg_cmp newProcess{0, SCMP_CMP_MASKED_EQ, std::uint64_t(CLONE_THREAD), 0};
    if (rc == 0)
        rc = ::seccomp_rule_add_array(ctx, SCMP_ACT_ERRNO(EPERM), SCMP_SYS(clone), 1, &newProcess);
    // Its flags lie behind a pointer the filter cannot read; glibc then
    // falls back to clone.
    for (const char *name : {"clone3", "io_uring_setup"})
        deny(name, SCMP_ACT_ERRNO(ENOSYS));
    for (const char *name : {"ptrace",
                             "process_vm_readv",
                             "process_vm_writev",
                             "pidfd_getfd",
                             "kcmp",
                             "mount",
                             "umount2",
                             "pivot_root",
                             "chroot",
                             "move_mount",
                             "open_tree",
                             "fsopen",
                             "fsmount",
                             "keyctl",
                             "add_key",
                             "request_key",
                             "unshare",
                             "setns",
                             "bpf",
                             "perf_event_open",
                             "kexec_load",
                             "kexec_file_load",
                             "init_module",
                             "finit_module",
                             "delete_module",
                             "userfaultfd",
                             "open_by_handle_at",
                             "swapon",
                             "swapoff",
                             "reboot"})
        deny(name, SCMP_ACT_KILL_PROCESS);
    if (rc == 0)
        rc = ::seccomp_load(ctx);
    ::seccomp_release(ctx);
    if (rc != 0) {
        why = std::string("the system-call filter cannot be installed: ") + std::strerror(-rc);
        return false;
    }
    return true;
}

// Landlock through raw calls: glibc has no wrappers. Returns the ABI put
// in place, 0 when the kernel has none (then the other walls stand alone).
int restrictFiles(const Confinement &walls)
{
#ifdef __NR_landlock_create_ruleset
    const long abi = ::syscall(__NR_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    if (abi < 1)
        return 0;
    landlock_ruleset_attr attr{};
    // Every right of ABI 1, then what later ones added: unhandled rights
    // are not restricted.
    attr.handled_access_fs = (LANDLOCK_ACCESS_FS_MAKE_SYM << 1) - 1;
    if (abi >= 2)
        attr.handled_access_fs |= LANDLOCK_ACCESS_FS_REFER;
    if (abi >= 3)
        attr.handled_access_fs |= LANDLOCK_ACCESS_FS_TRUNCATE;
    const int ruleset = int(::syscall(__NR_landlock_create_ruleset, &attr, sizeof attr, 0));
    if (ruleset < 0)
        return 0;
    auto allow = [&](const std::string &path, bool tree) {
        const int fd = ::open(path.c_str(), O_PATH | O_CLOEXEC);
        if (fd < 0)
            return; // a folder this system does not have
        struct stat st;
        if (::fstat(fd, &st) == 0) {
            // A single folder may be opened, so that it is refused as no
            // file, but nothing in it read.
            landlock_path_beneath_attr rule{};
            rule.allowed_access = !S_ISDIR(st.st_mode) ? LANDLOCK_ACCESS_FS_READ_FILE
                                  : tree               ? LANDLOCK_ACCESS_FS_READ_FILE | LANDLOCK_ACCESS_FS_READ_DIR
                                                       : LANDLOCK_ACCESS_FS_READ_DIR;
            rule.parent_fd = fd;
            ::syscall(__NR_landlock_add_rule, ruleset, LANDLOCK_RULE_PATH_BENEATH, &rule, 0);
        }
        ::close(fd);
    };
    for (const std::string &file : walls.readFiles)
        allow(file, false);
    for (const std::string &folder : walls.readFolders)
        allow(folder, true);
    const bool done = ::syscall(__NR_landlock_restrict_self, ruleset, 0) == 0;
    ::close(ruleset);
    return done ? int(abi) : 0;
#else
    (void)walls;
    return 0;
#endif
}

} // namespace

Confinement importConfinement(const std::string &inputPath)
{
    Confinement walls;
    walls.readFiles = {inputPath, "/etc/ld.so.cache", "/dev/null", "/dev/urandom"};
    // The converter's table, wherever it may be found.
    for (const std::string &table : traditionalTablePaths())
        walls.readFiles.push_back(table);
    // Libraries, gconv modules and locales load lazily; ICU may keep its
    // data beside them; the sanitizers read their own maps.
    walls.readFolders = {"/usr/lib", "/usr/lib64", "/usr/lib32", "/lib", "/lib64", "/lib32", "/usr/share/icu",
                         "/proc/self"};
    return walls;
}

bool confineProcess(const Confinement &walls, ConfinementReport &report, std::string &why)
{
    report = {};
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) {
        why = std::string("no new privileges cannot be set: ") + std::strerror(errno);
        return false;
    }
    lowerLimit(RLIMIT_CPU, kCpuSeconds);
    lowerLimit(RLIMIT_FSIZE, kFileBytes);
    lowerLimit(RLIMIT_NOFILE, kOpenFiles);
    lowerLimit(RLIMIT_CORE, 0);
    if (kCapMemory)
        lowerLimit(RLIMIT_AS, kMemoryBytes);
#ifdef PAGORA_ASAN
    // The exit-time leak check needs clone and ptrace, which the filter
    // forbids: it runs now instead, and not again.
    __lsan_do_leak_check();
#endif
    report.landlockAbi = restrictFiles(walls);
    if (!installFilter(why))
        return false;
    report.filtered = true;
    return true;
}

int runConfined(const Confinement &walls, const std::function<int()> &work, std::string &why)
{
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) {
        why = std::string("the import cannot start: ") + std::strerror(errno);
        return 1;
    }
    if (pid == 0) {
        ConfinementReport report;
        std::string ignored;
        const int status = confineProcess(walls, report, ignored) ? work() : kNotConfined;
        std::fflush(nullptr);
        ::_exit(status);
    }
    int raw = 0;
    while (::waitpid(pid, &raw, 0) < 0) {
        if (errno != EINTR) {
            why = std::string("the import was lost: ") + std::strerror(errno);
            return 1;
        }
    }
    if (WIFSIGNALED(raw)) {
        why = std::string("the import was stopped: ") + ::strsignal(WTERMSIG(raw));
        return 1;
    }
    const int status = WEXITSTATUS(raw);
    if (status == kNotConfined) {
        why = "the import cannot be confined (no new privileges, system-call filter)";
        return 1;
    }
    return status;
}

} // namespace pagora
