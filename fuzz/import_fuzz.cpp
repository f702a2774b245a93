// libFuzzer entry over importing: the first byte picks a text file or an
// EPUB, the rest is the file. Whatever the bytes, the import ends with a book
// or with a reason and nothing at its target.
#include "import/import_book.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace pagora;

namespace {

const std::string &folder()
{
    static const std::string path = [] {
        std::string tmpl = (std::filesystem::temp_directory_path() / "pagora-import-fuzz-XXXXXX").string();
        if (!mkdtemp(tmpl.data()))
            std::abort();
        return tmpl + "/";
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string in = folder() + (data[0] & 1 ? "in.epub" : "in.txt");
    const std::string out = folder() + "out.updb";
    std::FILE *f = std::fopen(in.c_str(), "wb");
    if (!f)
        std::abort();
    std::fwrite(data + 1, 1, size - 1, f);
    std::fclose(f);
    ImportOptions options;
    options.toTraditional = (data[0] & 2) != 0;
    const ImportResult r = importBook(in, out, options);
    if (!r.ok && (r.error.empty() || access(out.c_str(), F_OK) == 0))
        std::abort(); // a failure must say why and leave nothing
    std::remove(out.c_str());
    std::remove(in.c_str());
    return 0;
}
