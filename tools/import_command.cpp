// import: a text file or an EPUB becomes a .updb book.
#include "commands.h"

#include "import/confine.h"
#include "import/import_book.h"
#include "import/text_decode.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace pagora;

namespace {

void reportFault(bool progress, const ImportResult &result)
{
    if (progress)
        std::fprintf(stderr, "fault %s\n", importFaultName(result.fault));
}

// The walls go up before a byte of the file is read.
bool confineSelf(const std::string &command, const std::string &input)
{
    ConfinementReport report;
    std::string why;
    if (confineProcess(importConfinement(input), report, why))
        return true;
    failure(command, why);
    return false;
}

int runImport(int fd, const std::string &input, const ImportOptions &options, bool progress)
{
    int last = -1;
    const ImportResult result = importBookInto(fd, input, options, [&](double share) {
        const int permille = int(share * 1000);
        if (progress && permille > last) {
            std::fprintf(stderr, "progress %d\n", permille);
            std::fflush(stderr);
            last = permille;
        }
        return true;
    });
    if (!result.ok) {
        reportFault(progress, result);
        return failure("import", input + ": " + result.error);
    }
    return 0;
}

// By hand: this process stays unconfined to make the temporary file beside
// OUT and to rename it; a confined child of its own does the reading.
int importToPath(const std::string &out, const std::string &input, const ImportOptions &options, bool progress)
{
    struct stat in, existing;
    if (::stat(input.c_str(), &in) == 0 && ::stat(out.c_str(), &existing) == 0 && in.st_dev == existing.st_dev &&
        in.st_ino == existing.st_ino) {
        reportFault(progress, {false, {}, ImportFault::CannotWrite});
        return failure("import", input + ": the book would replace the file it is made from");
    }
    const std::size_t slash = out.rfind('/');
    std::string temp =
        (slash == std::string::npos ? std::string() : out.substr(0, slash + 1)) + kImportTempPrefix + "XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        reportFault(progress, {false, {}, ImportFault::CannotWrite});
        return failure("import", out + ": " + std::strerror(errno));
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    std::string why;
    int status = runConfined(
        importConfinement(input), [&] { return runImport(fd, input, options, progress); }, why);
    if (!why.empty())
        failure("import", input + ": " + why);
    ::close(fd);
    if (status == 0 && ::rename(temp.c_str(), out.c_str()) != 0) {
        reportFault(progress, {false, {}, ImportFault::CannotWrite});
        status = failure("import", out + ": " + std::strerror(errno));
    }
    if (status != 0)
        ::unlink(temp.c_str());
    return status;
}

// From a program that made the file: it is checked, emptied, and written
// from here once the walls are up.
int importToDescriptor(const std::string &fdText, const std::string &input, const ImportOptions &options, bool progress)
{
    const std::optional<long> fd = parseNumber(fdText);
    struct stat st;
    const int mode = fd && *fd >= 0 ? ::fcntl(int(*fd), F_GETFL) : -1;
    if (mode < 0 || (mode & O_ACCMODE) == O_RDONLY || ::fstat(int(*fd), &st) != 0 || !S_ISREG(st.st_mode))
        return usageError("import", "--output-fd must name a file open for writing");
    if (::ftruncate(int(*fd), 0) != 0) {
        reportFault(progress, {false, {}, ImportFault::CannotWrite});
        return failure("import", std::string("the book cannot be written: ") + std::strerror(errno));
    }
    if (!confineSelf("import", input))
        return 1;
    return runImport(int(*fd), input, options, progress);
}

} // namespace

int importCommand(const std::vector<std::string> &args)
{
    ImportOptions options;
    bool progress = false;
    std::string out, outFd;
    std::vector<std::string> inputs;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (endOfOptions(args, i, inputs))
            break;
        if (a == "--encoding" || a == "--title" || a == "-o" || a == "--output-fd") {
            if (i + 1 >= args.size())
                return usageError("import", a + " needs a value");
            const std::string &v = args[++i];
            if (a == "--encoding")
                options.encoding = v;
            else if (a == "--title")
                options.title = v;
            else if (a == "-o")
                out = v;
            else
                outFd = v;
        } else if (a == "--to-traditional") {
            options.toTraditional = true;
        } else if (a == "--progress") {
            progress = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError("import", "unknown option " + a);
        } else {
            inputs.push_back(a);
        }
    }
    static const char *const encodings[] = {"auto", "utf8", "utf16", "big5", "gb18030"};
    bool knownEncoding = false;
    for (const char *e : encodings)
        knownEncoding = knownEncoding || options.encoding == e;
    if (!knownEncoding)
        return usageError("import", "--encoding must be auto, utf8, utf16, big5 or gb18030");
    if (out.empty() == outFd.empty())
        return usageError("import", "-o must name the book file to write (or --output-fd an open one)");
    if (!out.empty() && (out.size() < 5 || !(out.compare(out.size() - 5, 5, ".updb") == 0 ||
                                             out.compare(out.size() - 5, 5, ".UPDB") == 0)))
        return usageError("import", "-o must name a .updb book");
    if (inputs.size() != 1)
        return usageError("import", "name one .txt or .epub file");
    // Whether the file is a text is read once confined, as the rest of it.
    return out.empty() ? importToDescriptor(outFd, inputs[0], options, progress)
                       : importToPath(out, inputs[0], options, progress);
}

int probeCommand(const std::vector<std::string> &args)
{
    std::string encoding = "auto";
    bool progress = false;
    std::vector<std::string> inputs;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (endOfOptions(args, i, inputs))
            break;
        if (a == "--encoding") {
            if (i + 1 >= args.size())
                return usageError("probe", "--encoding needs a value");
            encoding = args[++i];
        } else if (a == "--progress") {
            progress = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError("probe", "unknown option " + a);
        } else {
            inputs.push_back(a);
        }
    }
    bool isAuto = false;
    TextEncoding chosen;
    if (!parseEncodingName(encoding, isAuto, chosen))
        return usageError("probe", "--encoding must be auto, utf8, utf16, big5 or gb18030");
    if (inputs.size() != 1)
        return usageError("probe", "name one .txt or .epub file");
    if (!confineSelf("probe", inputs[0]))
        return 1;
    bool simplified = false;
    ImportResult failed;
    if (!probeMostlySimplified(inputs[0], encoding, simplified, failed)) {
        reportFault(progress, failed);
        return failure("probe", inputs[0] + ": " + failed.error);
    }
    std::printf("{\"file\": %s, \"mostlySimplified\": %s}\n", jsonString(inputs[0]).c_str(),
                simplified ? "true" : "false");
    return 0;
}
