// import: a text file or an EPUB becomes a .updb book.
#include "commands.h"

#include "import/import_book.h"
#include "import/text_decode.h"

#include <cstdio>

using namespace pagora;

namespace {

void reportFault(bool progress, const ImportResult &result)
{
    if (progress)
        std::fprintf(stderr, "fault %s\n", importFaultName(result.fault));
}

} // namespace

int importCommand(const std::vector<std::string> &args)
{
    ImportOptions options;
    bool progress = false;
    std::string out;
    std::vector<std::string> inputs;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (a == "--encoding" || a == "--title" || a == "-o") {
            if (i + 1 >= args.size())
                return usageError("import", a + " needs a value");
            const std::string &v = args[++i];
            if (a == "--encoding")
                options.encoding = v;
            else if (a == "--title")
                options.title = v;
            else
                out = v;
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
    if (out.empty())
        return usageError("import", "-o must name the book file to write");
    if (out.size() < 5 ||
        !(out.compare(out.size() - 5, 5, ".updb") == 0 || out.compare(out.size() - 5, 5, ".UPDB") == 0))
        return usageError("import", "-o must name a .updb book");
    if (inputs.size() != 1)
        return usageError("import", "name one .txt or .epub file");
    if (!isImportable(inputs[0])) {
        std::fprintf(stderr, "pagora-book import: %s: only text and .epub files can be imported\n", inputs[0].c_str());
        return 1;
    }
    int last = -1;
    const ImportResult result = importBook(
        inputs[0], out, options,
        [&](double share) {
            const int permille = int(share * 1000);
            if (progress && permille > last) {
                std::fprintf(stderr, "progress %d\n", permille);
                std::fflush(stderr);
                last = permille;
            }
            return true;
        },
        [&](const std::string &temp) {
            if (progress) {
                std::fprintf(stderr, "temp %s\n", temp.c_str());
                std::fflush(stderr);
            }
        });
    if (!result.ok) {
        reportFault(progress, result);
        std::fprintf(stderr, "pagora-book import: %s: %s\n", inputs[0].c_str(), result.error.c_str());
        return 1;
    }
    return 0;
}

int probeCommand(const std::vector<std::string> &args)
{
    std::string encoding = "auto";
    bool progress = false;
    std::vector<std::string> inputs;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (a == "--encoding") {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "pagora-book probe: --encoding needs a value\n");
                return usage("probe");
            }
            encoding = args[++i];
        } else if (a == "--progress") {
            progress = true;
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "pagora-book probe: unknown option %s\n", a.c_str());
            return usage("probe");
        } else {
            inputs.push_back(a);
        }
    }
    bool isAuto = false;
    TextEncoding chosen;
    if (!parseEncodingName(encoding, isAuto, chosen)) {
        std::fprintf(stderr, "pagora-book probe: --encoding must be auto, utf8, utf16, big5 or gb18030\n");
        return usage("probe");
    }
    if (inputs.size() != 1) {
        std::fprintf(stderr, "pagora-book probe: name one .txt or .epub file\n");
        return usage("probe");
    }
    bool simplified = false;
    ImportResult failure;
    if (!probeMostlySimplified(inputs[0], encoding, simplified, failure)) {
        reportFault(progress, failure);
        std::fprintf(stderr, "pagora-book probe: %s: %s\n", inputs[0].c_str(), failure.error.c_str());
        return 1;
    }
    std::printf("{\"file\": %s, \"mostlySimplified\": %s}\n", jsonString(inputs[0]).c_str(),
                simplified ? "true" : "false");
    return 0;
}
