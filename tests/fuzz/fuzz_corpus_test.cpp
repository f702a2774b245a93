// Every saved fuzz input, seeds and past crashes alike, replayed through the
// fuzz entry so that a fixed crash stays fixed.
#include "test_platform.h"

#include "../../fuzz/book_fuzz_input.h"
#include "../../fuzz/bookmark_fuzz_input.h"
#include "../../fuzz/import_fuzz_input.h"
#include "../../fuzz/settings_fuzz_input.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace pagora;

namespace {

struct CorpusCase {
    const char *folder; // under fuzz/corpus
    int (*entry)(const std::uint8_t *, std::size_t);
    int seeds;
};

class SavedFuzzInputs : public testing::TestWithParam<CorpusCase> {};

TEST_P(SavedFuzzInputs, RunClean)
{
    const char *source = std::getenv("PAGORA_SOURCE_DIR");
    ASSERT_NE(source, nullptr) << "PAGORA_SOURCE_DIR must name the source folder (ctest sets it)";
    const std::filesystem::path corpus = std::filesystem::path(source) / "fuzz" / "corpus" / GetParam().folder;
    int inputs = 0;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(corpus)) {
        if (!entry.is_regular_file())
            continue;
        const std::string bytes = readFile(entry.path().string());
        SCOPED_TRACE(entry.path().filename().string());
        GetParam().entry(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
        ++inputs;
    }
    EXPECT_GE(inputs, GetParam().seeds);
}

INSTANTIATE_TEST_SUITE_P(Targets, SavedFuzzInputs,
                         testing::Values(CorpusCase{"book", bookfuzz::runInput, 5},
                                         CorpusCase{"bookmark", bookmarkfuzz::runInput, 4},
                                         CorpusCase{"settings", settingsfuzz::runInput, 4},
                                         CorpusCase{"import", importfuzz::runInput, 9}),
                         [](const testing::TestParamInfo<CorpusCase> &info) { return std::string(info.param.folder); });

// The entry itself on inputs no corpus needs to keep.
TEST(FuzzCorpus, EdgeInputsRunClean)
{
    std::string header(78, '\0');
    header.replace(64, 4, "MTIU");
    for (const std::string &bytes : {std::string(), std::string(1, '\x1B'), header, header + "\x01\xF4",
                                     header.substr(0, 76) + std::string("\x00\x01", 2) + std::string(8, '\xFF')}) {
        for (auto entry : {bookfuzz::runInput, bookmarkfuzz::runInput, settingsfuzz::runInput})
            entry(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
    }
}

} // namespace
