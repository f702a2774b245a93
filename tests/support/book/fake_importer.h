#pragma once
// A book importer that writes its books with the book writer, without a child.
#include "platform/importer.h"

#include <string>
#include <utility>
#include <vector>

namespace pagora {

// Imports by writing a small one-section book titled after the file; inputs
// can be scripted to read as Simplified, to fail or to be cancelled.
class FakeImporter final : public BookImporter {
public:
    struct Call {
        std::string input, out;
        bool toTraditional = false;
    };
    std::vector<Call> calls;
    std::vector<std::string> simplified;
    std::vector<std::pair<std::string, std::string>> failures; // input, reason
    std::vector<std::string> cancels;

    bool isImportable(const std::string &path) override;
    bool isMostlySimplified(const std::string &path, std::u16string_view label) override;
    Outcome importBook(const std::string &inputPath, const std::string &outPath, bool toTraditional,
                       std::u16string_view label, std::string &error) override;
};

} // namespace pagora
