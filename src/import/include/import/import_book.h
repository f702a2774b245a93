#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace pagora {

class ChineseConverter;

struct ImportOptions {
    std::string encoding = "auto"; // auto|utf8|utf16|big5|gb18030
    bool toTraditional = false;
    std::string title; // empty: from the EPUB metadata, or the file's name
};
// Called now and then with the share done (0..1); returning false cancels. May be empty.
using ImportProgress = std::function<bool(double)>;

// Why an import failed, in a form a caller can word for its own readers.
enum class ImportFault {
    None,
    NotImportable,   // not named .txt or .epub
    NotAFile,        // a folder, a pipe, a device
    Unreadable,      // missing or not permitted
    TooLarge,        // beyond what any book needs
    Changed,         // written to while it was read
    Empty,           // no text in it
    NotText,         // binary data under a text name
    UnknownEncoding, // no candidate encoding reads it
    InvalidText,     // not the encoding it was said to be in
    NotAnEpub,       // not a readable EPUB package
    DamagedEpub,     // a readable package with a broken document
    Entities,        // a document declares entities
    Drm,             // its text is encrypted
    NoConverter,     // the Simplified to Traditional tables are missing
    CannotWrite,     // the book cannot be written to its shelf
    NoMemory,        // not enough memory
    Cancelled,
};
// A stable one-word name of a fault ("not-text"), and back (None when unknown).
const char *importFaultName(ImportFault fault);
ImportFault importFaultFromName(std::string_view name);

struct ImportResult {
    bool ok = false;
    std::string error; // one line for a person when !ok
    ImportFault fault = ImportFault::None;
};
// Imports a .txt or .epub into a .updb book at outPath through a temporary file and a
// rename: a failed or cancelled import leaves nothing at outPath. Safe to call from a
// worker thread (no shared mutable state).
ImportResult importBook(const std::string &inputPath, const std::string &outPath, const ImportOptions &options,
                        const ImportProgress &progress = {});
// The same into an open file, from its start: for a confined process that
// may open nothing for writing. Whoever made the file names or removes it.
ImportResult importBookInto(int fd, const std::string &inputPath, const ImportOptions &options,
                            const ImportProgress &progress = {});
// The same in memory: the bytes of a text file (or of an EPUB when isEpub) in,
// the book's bytes out. converter is used when options.toTraditional; it may be
// shared between calls but not between threads. name gives the title when
// neither options nor the EPUB do.
ImportResult importBookBytes(std::string_view bytes, bool isEpub, const std::u16string &name,
                             const ImportOptions &options, const ChineseConverter *converter, std::string &book,
                             const ImportProgress &progress = {});
// True when the text of a .txt/.epub is mostly Simplified Chinese (worth offering conversion).
bool isMostlySimplified(const std::string &inputPath, const std::string &encoding = "auto");
// The same, with the reason when the file cannot be read as text at all.
bool probeMostlySimplified(const std::string &inputPath, const std::string &encoding, bool &simplified,
                           ImportResult &failure);
// True for names ending in .txt or .epub, any case.
bool isImportable(const std::string &path);

} // namespace pagora
