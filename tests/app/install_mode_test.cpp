#include "app/install_mode.h"
#include "test_platform.h"

#include <gtest/gtest.h>

using namespace pagora;

namespace {

// The real file system, except that the chosen folders count as unwritable.
class ReadOnlyFolders final : public Files {
public:
    Files &real = systemFiles();
    std::vector<std::string> readOnly;
    int openRead(const std::string &p) override { return real.openRead(p); }
    int createNew(std::string &p) override { return real.createNew(p); }
    void close(int h) override { real.close(h); }
    std::int64_t size(int h) override { return real.size(h); }
    std::int64_t seek(int h, std::int64_t p) override { return real.seek(h, p); }
    std::int64_t read(int h, void *b, std::int64_t n) override { return real.read(h, b, n); }
    bool write(int h, const void *b, std::int64_t n) override { return real.write(h, b, n); }
    bool flush(int h) override { return real.flush(h); }
    bool exists(const std::string &p) override { return real.exists(p); }
    bool isDirectory(const std::string &p) override { return real.isDirectory(p); }
    bool isWritableDirectory(const std::string &p) override
    {
        for (const std::string &r : readOnly)
            if (r == p)
                return false;
        return real.isWritableDirectory(p);
    }
    bool makeDirectory(const std::string &p) override { return real.makeDirectory(p); }
    bool remove(const std::string &p) override { return real.remove(p); }
    bool copy(const std::string &a, const std::string &b) override { return real.copy(a, b); }
    bool rename(const std::string &a, const std::string &b) override { return real.rename(a, b); }
    std::vector<std::string> list(const std::string &f) override { return real.list(f); }
};

struct FolderCase {
    const char *name;
    bool exeWritable;
    const char *xdgConfigHome; // relative to the temporary folder; "" for unset, "~rel" for a relative value
    const char *documents;     // relative to the temporary folder; "" for unset
    const char *settingsFolder;
    const char *defaultShelf;
};

class ChooseFolders : public ::testing::TestWithParam<FolderCase> {};

TEST_P(ChooseFolders, PicksPortableOrPerUserFolders)
{
    const FolderCase &c = GetParam();
    TempDir dir;
    ReadOnlyFolders files;
    const std::string exe = dir.path() + "bin/";
    files.makeDirectory(dir.path() + "bin");
    if (!c.exeWritable)
        files.readOnly.push_back(exe);
    FolderEnvironment env;
    env.exeFolder = exe;
    env.home = dir.path() + "home";
    const std::string xdg = c.xdgConfigHome;
    env.xdgConfigHome = xdg.empty() ? "" : xdg[0] == '~' ? xdg.substr(1) : dir.path() + xdg;
    env.documentsFolder = std::string(c.documents).empty() ? "" : dir.path() + c.documents;
    ReaderState s;
    chooseFolders(s, files, env);
    EXPECT_EQ(s.folders.installed, !c.exeWritable);
    EXPECT_EQ(s.folders.settingsFolder, dir.path() + c.settingsFolder);
    EXPECT_EQ(s.folders.defaultShelfPath, dir.path() + c.defaultShelf);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChooseFolders,
    ::testing::Values(FolderCase{"Portable", true, "cfg", "docs", "bin/", "bin/"},
                      FolderCase{"InstalledWithXdg", false, "cfg", "docs", "cfg/pagora/", "docs/Pagora/"},
                      FolderCase{"InstalledDefaults", false, "", "", "home/.config/pagora/", "home/Documents/Pagora/"},
                      FolderCase{"RelativeXdgIgnored", false, "~rel/cfg", "docs", "home/.config/pagora/",
                                 "docs/Pagora/"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(MakeDirectories, CreatesMissingParentsOnly)
{
    TempDir dir;
    EXPECT_TRUE(makeDirectories(systemFiles(), dir.path() + "a/b/c/"));
    EXPECT_TRUE(systemFiles().isDirectory(dir.path() + "a/b/c"));
    EXPECT_TRUE(makeDirectories(systemFiles(), dir.path() + "a/b/c"));
    writeFile(dir.file("f"), "x");
    EXPECT_FALSE(makeDirectories(systemFiles(), dir.path() + "f/g"));
}

} // namespace
