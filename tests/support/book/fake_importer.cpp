#include "fake_importer.h"

#include "book/book_writer.h"
#include "platform/files.h"
#include "test_platform.h"
#include "text/codec.h"

#include <algorithm>
#include <filesystem>

namespace pagora {

bool FakeImporter::isImportable(const std::string &path)
{
    return path.ends_with(".txt") || path.ends_with(".epub") || startsLikeText(systemFiles(), path);
}

bool FakeImporter::isMostlySimplified(const std::string &path, std::u16string_view)
{
    return std::find(simplified.begin(), simplified.end(), path) != simplified.end();
}

BookImporter::Outcome FakeImporter::importBook(const std::string &inputPath, const std::string &outPath,
                                               bool toTraditional, std::u16string_view, std::string &error)
{
    calls.push_back({inputPath, outPath, toTraditional});
    if (std::find(cancels.begin(), cancels.end(), inputPath) != cancels.end())
        return Outcome::Cancelled;
    for (const auto &[input, reason] : failures) {
        if (input == inputPath) {
            error = reason;
            return Outcome::Failed;
        }
    }
    BookRecipe spec;
    spec.title = utf8ToUtf16(std::filesystem::path(inputPath).stem().string());
    spec.sectionTitles = {u"第一章"};
    spec.sectionTexts = {u"第一章\r\n天地玄黃"};
    std::string bytes;
    if (!writeBookBytes(spec, bytes))
        return Outcome::Failed;
    writeFile(outPath, bytes);
    return Outcome::Done;
}

} // namespace pagora
