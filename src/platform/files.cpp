#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace pagora {

bool endsWithNoCase(std::string_view name, std::string_view suffix)
{
    if (name.size() < suffix.size())
        return false;
    const std::string_view tail = name.substr(name.size() - suffix.size());
    return std::equal(tail.begin(), tail.end(), suffix.begin(), [](char a, char b) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        return lower(a) == lower(b);
    });
}

std::string folderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

namespace {

// The process's umask, read without changing it (umask(2) cannot read it
// alone, and setting it races other threads making files).
mode_t creationMask()
{
    static const mode_t mask = [] {
        std::FILE *f = std::fopen("/proc/self/status", "re");
        mode_t m = 022;
        if (!f)
            return m;
        char line[256];
        unsigned value = 0;
        while (std::fgets(line, sizeof line, f))
            if (std::sscanf(line, "Umask: %o", &value) == 1) {
                m = mode_t(value & 0777);
                break;
            }
        std::fclose(f);
        return m;
    }();
    return mask;
}

class PosixFiles final : public Files {
public:
    int openRead(const std::string &path) override
    {
        std::int64_t size;
        return openReadSized(path, size);
    }
    int openReadSized(const std::string &path, std::int64_t &size) override
    {
        size = -1;
        // Non-blocking so that a named pipe called like a book cannot hang
        // the reader; regular files ignore the flag.
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            return -1;
        struct stat st;
        // A folder opens on Linux; it is not a file for us.
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            return -1;
        }
        size = st.st_size;
        m_readers[fd] = ReadHandle{};
        return fd;
    }
    int createNew(std::string &path) override
    {
        std::string name = path + "XXXXXX";
        // O_EXCL underneath: an existing name, a dangling link included, is
        // never opened, and a fresh name is tried.
        const int fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0)
            return -1;
        // mkostemp makes the file private; a written file is as readable as
        // one the user makes.
        ::fchmod(fd, 0666 & ~creationMask());
        path = std::move(name);
        return fd;
    }
    void close(int handle) override
    {
        if (handle >= 0) {
            m_readers.erase(handle);
            ::close(handle);
        }
    }
    std::int64_t size(int handle) override
    {
        struct stat st;
        if (handle < 0 || ::fstat(handle, &st) != 0)
            return -1;
        return st.st_size;
    }
    std::int64_t seek(int handle, std::int64_t position) override
    {
        if (handle < 0 || position < 0)
            return -1;
        if (auto it = m_readers.find(handle); it != m_readers.end()) {
            it->second.position = position;
            return position;
        }
        off_t r = ::lseek(handle, off_t(position), SEEK_SET);
        return r < 0 ? -1 : std::int64_t(r);
    }
    std::int64_t read(int handle, void *buffer, std::int64_t count) override
    {
        if (handle < 0 || count < 0)
            return -1;
        auto it = m_readers.find(handle);
        if (it == m_readers.end())
            return readFrom(handle, -1, buffer, count);
        ReadHandle &r = it->second;
        // A book's header, record list and header record are small reads at
        // its start: one read of the first block serves them all.
        if (r.position < kAheadBytes && !r.loaded) {
            r.ahead.resize(kAheadBytes);
            const std::int64_t n = readFrom(handle, 0, r.ahead.data(), kAheadBytes);
            r.ahead.resize(std::size_t(n > 0 ? n : 0));
            r.loaded = n >= 0;
        }
        const auto held = std::int64_t(r.ahead.size());
        std::int64_t n;
        if (r.loaded && r.position + count <= held) {
            std::copy_n(r.ahead.data() + r.position, count, static_cast<char *>(buffer));
            n = count;
        } else if (r.loaded && held < kAheadBytes && r.position >= 0) {
            // The whole file is held: a read past its end comes up short.
            n = std::max<std::int64_t>(0, std::min(count, held - r.position));
            if (n > 0)
                std::copy_n(r.ahead.data() + r.position, n, static_cast<char *>(buffer));
        } else {
            n = readFrom(handle, r.position, buffer, count);
        }
        if (n > 0)
            r.position += n;
        return n;
    }

private:
    static constexpr std::int64_t kAheadBytes = 4096;
    struct ReadHandle {
        std::int64_t position = 0;
        bool loaded = false;
        std::vector<char> ahead;
    };
    std::unordered_map<int, ReadHandle> m_readers;

    // At offset, or at the file position when offset is negative.
    static std::int64_t readFrom(int handle, std::int64_t offset, void *buffer, std::int64_t count)
    {
        std::int64_t done = 0;
        auto *p = static_cast<char *>(buffer);
        while (done < count) {
            ssize_t n = offset < 0 ? ::read(handle, p + done, std::size_t(count - done))
                                   : ::pread(handle, p + done, std::size_t(count - done), off_t(offset + done));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return done > 0 ? done : -1;
            }
            if (n == 0)
                break;
            done += n;
        }
        return done;
    }

public:
    bool write(int handle, const void *buffer, std::int64_t count) override
    {
        if (handle < 0 || count < 0)
            return false;
        std::int64_t done = 0;
        auto *p = static_cast<const char *>(buffer);
        while (done < count) {
            ssize_t n = ::write(handle, p + done, std::size_t(count - done));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            done += n;
        }
        return true;
    }
    bool flush(int handle) override { return handle >= 0 && ::fsync(handle) == 0; }

    bool isWritableFile(const std::string &path) override
    {
        struct stat st;
        // A file without any write bit counts as read-only, also for root.
        return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
               (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && ::access(path.c_str(), W_OK) == 0;
    }
    bool exists(const std::string &path) override
    {
        struct stat st;
        return ::stat(path.c_str(), &st) == 0;
    }
    bool isDirectory(const std::string &path) override
    {
        struct stat st;
        return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    bool isWritableDirectory(const std::string &path) override
    {
        return isDirectory(path) && ::access(path.c_str(), W_OK | X_OK) == 0;
    }
    bool makeDirectory(const std::string &path) override { return ::mkdir(path.c_str(), 0755) == 0; }
    bool remove(const std::string &path) override { return ::unlink(path.c_str()) == 0; }
    bool copy(const std::string &from, const std::string &to) override
    {
        std::string bytes;
        if (!readWholeFile(*this, from, bytes))
            return false;
        return replaceFileAtomically(*this, to, bytes);
    }
    bool rename(const std::string &from, const std::string &to) override
    {
        // A link at the target is replaced, not followed: its file's bits
        // are not the new file's.
        struct stat st;
        if (::lstat(to.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            ::chmod(from.c_str(), st.st_mode & 07777);
        if (::rename(from.c_str(), to.c_str()) != 0)
            return false;
        syncFolderOf(to);
        return true;
    }
    std::string canonicalPath(const std::string &path) override
    {
        char *resolved = ::realpath(path.c_str(), nullptr);
        if (!resolved)
            return path;
        std::string out = resolved;
        ::free(resolved);
        return out;
    }
    FileStamp stamp(const std::string &path) override
    {
        struct stat st;
        if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            return {};
        // Wrapping, not overflowing, for a time set far ahead: it only has to differ.
        const std::uint64_t modified =
            std::uint64_t(st.st_mtim.tv_sec) * 1000000000u + std::uint64_t(st.st_mtim.tv_nsec);
        return {std::int64_t(st.st_size), std::int64_t(modified), std::int64_t(st.st_ino)};
    }
    std::vector<std::string> list(const std::string &folder) override
    {
        std::vector<std::string> names;
        DIR *dir = ::opendir(folder.empty() ? "." : folder.c_str());
        if (!dir)
            return names;
        while (dirent *e = ::readdir(dir)) {
            std::string n = e->d_name;
            if (n != "." && n != "..")
                names.push_back(std::move(n));
        }
        ::closedir(dir);
        // readdir's order is arbitrary; byte order is stable across runs.
        std::sort(names.begin(), names.end());
        return names;
    }
};

} // namespace

Files &systemFiles()
{
    static PosixFiles files;
    return files;
}

bool headLooksLikeText(std::string_view head)
{
    if (head.empty())
        return false;
    if (head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF"))
        return true;
    std::size_t zeros[2] = {0, 0};
    std::size_t controls = 0;
    for (std::size_t i = 0; i < head.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(head[i]);
        if (c == 0)
            ++zeros[i % 2];
        else if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != 0x1B)
            ++controls;
    }
    // UTF-16 without a mark: the zero halves of its ASCII fall on one side.
    const bool utf16 = (zeros[0] == 0) != (zeros[1] == 0);
    return (utf16 || zeros[0] + zeros[1] == 0) && controls * 20 <= head.size();
}

void syncFolderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

bool startsLikeText(Files &files, const std::string &path)
{
    const int h = files.openRead(path);
    if (h < 0)
        return false;
    std::string head(64 * 1024, '\0');
    const std::int64_t n = files.read(h, head.data(), std::int64_t(head.size()));
    files.close(h);
    if (n <= 0)
        return false;
    head.resize(std::size_t(n));
    return headLooksLikeText(head);
}

bool readWholeFile(Files &files, const std::string &path, std::string &bytes)
{
    int h = files.openRead(path);
    if (h < 0)
        return false;
    std::int64_t n = files.size(h);
    bool ok = n >= 0;
    if (ok) {
        bytes.resize(std::size_t(n));
        ok = files.read(h, bytes.data(), n) == n;
    }
    files.close(h);
    return ok;
}

bool isLeftoverTempName(const std::string &name)
{
    return name.rfind(kReplaceTempPrefix, 0) == 0 || name.rfind(kImportTempPrefix, 0) == 0;
}

int createBeside(Files &files, const std::string &path, std::string &temp)
{
    // In the target's folder, so that the rename stays on one file system,
    // under a short name: a target name near the file system's limit must
    // not fail for its temporary name.
    temp = folderOf(path) + kReplaceTempPrefix;
    return files.createNew(temp);
}

bool replaceFileAtomically(Files &files, const std::string &path, const std::string &bytes)
{
    std::string temp;
    int h = createBeside(files, path, temp);
    if (h < 0)
        return false;
    bool ok = files.write(h, bytes.data(), std::int64_t(bytes.size())) && files.flush(h);
    files.close(h);
    if (ok)
        ok = files.rename(temp, path);
    if (!ok)
        files.remove(temp);
    return ok;
}

} // namespace pagora
