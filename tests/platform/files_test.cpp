#include "platform/files.h"
#include "test_platform.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace pagora;

namespace {

// Reads through the real file system agree with the bytes on disk for every
// size around the read-ahead block and every mix of seeks and reads.
TEST(SystemFiles, ReadsAgreeWithTheFileAroundTheReadAheadBlock)
{
    TempDir dir;
    Files &files = systemFiles();
    for (int size : {0, 1, 77, 4095, 4096, 4097, 10000}) {
        std::string bytes(std::size_t(size), '\0');
        for (int i = 0; i < size; ++i)
            bytes[std::size_t(i)] = char((i * 7 + 3) & 0xFF);
        const std::string path = dir.file("f" + std::to_string(size));
        writeFile(path, bytes);
        struct Step {
            std::int64_t seekTo; // -1: read on from where the last read ended
            std::int64_t count;
        };
        const Step steps[] = {{-1, 76}, {-1, 2},   {-1, 40},  {100, 3000}, {4090, 20},     {-1, 5000},
                              {0, 1},   {4095, 1}, {4096, 1}, {size, 4},   {size + 10, 4}, {0, size + 1}};
        const int h = files.openRead(path);
        ASSERT_GE(h, 0);
        EXPECT_EQ(files.size(h), size);
        std::int64_t position = 0;
        for (const Step &step : steps) {
            if (step.seekTo >= 0) {
                ASSERT_EQ(files.seek(h, step.seekTo), step.seekTo);
                position = step.seekTo;
            }
            std::string got(std::size_t(step.count), '\0');
            const std::int64_t n = files.read(h, got.data(), step.count);
            const std::int64_t expected =
                std::max<std::int64_t>(0, std::min<std::int64_t>(step.count, size - position));
            ASSERT_EQ(n, expected) << "size " << size << " at " << position;
            EXPECT_EQ(got.substr(0, std::size_t(n)),
                      bytes.substr(std::size_t(std::min<std::int64_t>(position, size)), std::size_t(n)))
                << "size " << size << " at " << position;
            position += n;
        }
        files.close(h);
    }
}

TEST(SystemFiles, FoldersAndMissingFilesDoNotOpen)
{
    TempDir dir;
    systemFiles().makeDirectory(dir.path() + "x.pdb");
    EXPECT_EQ(systemFiles().openRead(dir.path() + "x.pdb"), -1);
    EXPECT_EQ(systemFiles().openRead(dir.path() + "none.pdb"), -1);
}

// A replacement never writes through a name someone else put in the folder:
// its temporary file is always new, and a link at the target is replaced,
// not followed.
TEST(SystemFiles, ReplacingWritesOnlyFilesOfItsOwn)
{
    TempDir dir;
    Files &files = systemFiles();
    std::string first = dir.path() + "t-", second = first;
    const int a = files.createNew(first), b = files.createNew(second);
    EXPECT_GE(a, 0);
    EXPECT_GE(b, 0);
    EXPECT_NE(first, second);
    files.close(a);
    files.close(b);

    writeFile(dir.file("elsewhere"), "keep");
    ASSERT_EQ(::symlink(dir.file("elsewhere").c_str(), dir.file("out.md").c_str()), 0);
    ASSERT_TRUE(replaceFileAtomically(files, dir.file("out.md"), "new"));
    EXPECT_EQ(readFile(dir.file("elsewhere")), "keep");
    EXPECT_EQ(readFile(dir.file("out.md")), "new");
    struct stat st;
    ASSERT_EQ(::lstat(dir.file("out.md").c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(files.list(dir.path()).size(), 4u) << "a temporary file was left behind";
}

TEST(SystemFiles, TellTextByItsFirstBytes)
{
    using namespace std::string_literals;
    const std::vector<std::pair<std::string, bool>> heads = {
        {"天地玄黃\n宇宙洪荒\r\n", true},
        {"\xFF\xFE\x29\x59\0\0"s, true},      // UTF-16 with a mark
        {"a\0b\0\n\0\x29\x59"s, true},        // UTF-16LE without one
        {"\x1B[31mred\x1B[0m\tline\f", true}, // terminal colours
        {"", false},
        {"\x7F"
         "ELF\x02\x01\x01\0\0\0\x02\0"s,
         false}, // zeros on both sides
        {"\x89PNG\r\n\x1A\n\x01\x02\x03\x04\x05\x06\x07\x08", false},
    };
    for (const auto &[head, text] : heads)
        EXPECT_EQ(headLooksLikeText(head), text) << head;
    TempDir dir;
    writeFile(dir.file("README"), "天地玄黃\n");
    EXPECT_TRUE(startsLikeText(systemFiles(), dir.file("README")));
    EXPECT_FALSE(startsLikeText(systemFiles(), dir.path()));
}

} // namespace
