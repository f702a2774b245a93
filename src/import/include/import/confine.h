#pragma once
// The walls an import runs inside: whatever a hostile file makes the parsers
// do, the process can read only what the import needs, write only the
// descriptors it already holds, and reach no network, program or process.
#include <functional>
#include <string>
#include <vector>

namespace pagora {

struct Confinement {
    std::vector<std::string> readFiles;   // single files, such as the input
    std::vector<std::string> readFolders; // whole trees: libraries, converter tables
};

// The input and everything the libraries and the converter load lazily.
Confinement importConfinement(const std::string &inputPath);

// What was put in place, for a person checking a machine.
struct ConfinementReport {
    bool filtered = false; // the system-call filter
    int landlockAbi = 0;   // 0: the kernel has no Landlock; files then stay readable
};

// Confines the calling process for good: no new privileges, caps on CPU
// time, file size, open files and memory, no core, the system-call filter,
// and Landlock where the kernel has it. False (why says what) when a wall
// that every supported kernel has could not be raised; the caller must then
// not read the file.
bool confineProcess(const Confinement &walls, ConfinementReport &report, std::string &why);

// Runs work in a forked child that confines itself first, and waits for it:
// the caller stays free to rename or remove the files it made. Returns
// work's status, or 1 with why set when the child could not start or died
// by a signal.
int runConfined(const Confinement &walls, const std::function<int()> &work, std::string &why);

} // namespace pagora
