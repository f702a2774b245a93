#pragma once
#include <string>
#include <string_view>

namespace pagora {

// Turns a text or EPUB file into a book. The platform runs the work so that
// the window stays responsive and shows its progress; to the caller the call
// returns when the book is written, has failed, or was cancelled.
class BookImporter {
public:
    enum class Outcome { Done, Failed, Cancelled };

    virtual ~BookImporter() = default;
    // .txt or .epub, any case.
    virtual bool isImportable(const std::string &path) = 0;
    // label is shown beside the progress of this and of importBook.
    virtual bool isMostlySimplified(const std::string &path, std::u16string_view label) = 0;
    // Writes outPath completely or not at all; on Failed, error holds the
    // reason (UTF-8).
    virtual Outcome importBook(const std::string &inputPath, const std::string &outPath, bool toTraditional,
                               std::u16string_view label, std::string &error) = 0;
};

} // namespace pagora
