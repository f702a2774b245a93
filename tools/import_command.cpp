// import: a text file or an EPUB becomes a .updb book.
#include "commands.h"

#include "import/import_book.h"

#include <cstdio>

using namespace pagora;

int importCommand(const std::vector<std::string> &args)
{
    ImportOptions options;
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
        std::fprintf(stderr, "pagora-book import: %s: only .txt and .epub files can be imported\n", inputs[0].c_str());
        return 1;
    }
    const ImportResult result = importBook(inputs[0], out, options);
    if (!result.ok) {
        std::fprintf(stderr, "pagora-book import: %s: %s\n", inputs[0].c_str(), result.error.c_str());
        return 1;
    }
    return 0;
}
