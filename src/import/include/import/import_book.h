#pragma once
#include <functional>
#include <string>

namespace pagora {

struct ImportOptions {
    std::string encoding = "auto"; // auto|utf8|utf16|big5|gb18030
    bool toTraditional = false;
    std::string title; // empty: from the EPUB metadata, or the file's name
};
// Called now and then with the share done (0..1); returning false cancels. May be empty.
using ImportProgress = std::function<bool(double)>;
struct ImportResult {
    bool ok = false;
    std::string error; // one line for a person when !ok
};
// Imports a .txt or .epub into a .updb book at outPath through a temporary file and a
// rename: a failed or cancelled import leaves nothing at outPath. Safe to call from a
// worker thread (no shared mutable state).
ImportResult importBook(const std::string &inputPath, const std::string &outPath, const ImportOptions &options,
                        const ImportProgress &progress = {});
// True when the text of a .txt/.epub is mostly Simplified Chinese (worth offering conversion).
bool isMostlySimplified(const std::string &inputPath, const std::string &encoding = "auto");
// True for names ending in .txt or .epub, any case.
bool isImportable(const std::string &path);

} // namespace pagora
