#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pagora {

// What tells one state of a file from another without reading it: a file
// written anew or replaced differs in one of them. Size -1: not known.
struct FileStamp {
    std::int64_t size = -1;
    std::int64_t modified = 0; // nanoseconds since 1970
    std::int64_t inode = 0;
    bool known() const { return size >= 0; }
    bool operator==(const FileStamp &) const = default;
};

// Files and folders. Paths are UTF-8 with '/' separators. Handles are small
// integers; -1 is none. Every call fails softly (false, -1 or 0 bytes).
class Files {
public:
    virtual ~Files() = default;

    virtual int openRead(const std::string &path) = 0;
    // openRead that also gives the file's size (-1 when it does not open),
    // in one step where the system allows: a shelf scan opens every book.
    virtual int openReadSized(const std::string &path, std::int64_t &size)
    {
        const int handle = openRead(path);
        size = handle >= 0 ? this->size(handle) : -1;
        return handle;
    }
    // Creates a new file for writing, named path (a folder and a name's
    // start) followed by characters that make it unique; path becomes the
    // name made. Never opens an existing file nor follows a link: a name
    // planted in a shared folder cannot redirect the write.
    virtual int createNew(std::string &path) = 0;
    virtual void close(int handle) = 0;
    virtual std::int64_t size(int handle) = 0;
    // Returns the position reached, or -1.
    virtual std::int64_t seek(int handle, std::int64_t position) = 0;
    // Returns the number of bytes read (fewer at the end of the file), or -1.
    virtual std::int64_t read(int handle, void *buffer, std::int64_t count) = 0;
    virtual bool write(int handle, const void *buffer, std::int64_t count) = 0;
    // Forces the written bytes to the medium.
    virtual bool flush(int handle) = 0;

    // Whether an existing file may be changed: its permission bits and the
    // medium allow writing. Doubles that do not say are read-only.
    virtual bool isWritableFile(const std::string &) { return false; }
    virtual bool exists(const std::string &path) = 0;
    virtual bool isDirectory(const std::string &path) = 0;
    virtual bool isWritableDirectory(const std::string &path) = 0;
    // One level.
    virtual bool makeDirectory(const std::string &path) = 0;
    virtual bool remove(const std::string &path) = 0;
    // Replaces an existing target.
    virtual bool copy(const std::string &from, const std::string &to) = 0;
    // Atomically replaces an existing target, keeping its permission bits.
    virtual bool rename(const std::string &from, const std::string &to) = 0;
    // The path with links, "." and ".." resolved, for telling whether two
    // paths name the same file; the path unchanged when it cannot be resolved.
    virtual std::string canonicalPath(const std::string &path) { return path; }
    // The stamp of the file at path; not known for doubles that do not say.
    virtual FileStamp stamp(const std::string &) { return {}; }
    // Names (no folder) of every entry of a folder, in a stable order.
    virtual std::vector<std::string> list(const std::string &folder) = 0;
};

// The real file system.
Files &systemFiles();

// Whether name ends with suffix, ASCII letters compared without regard to
// case: what the platform wildcard "*.ext" matches.
bool endsWithNoCase(std::string_view name, std::string_view suffix);
// The folder part of a path, with its '/'; empty for a bare name.
std::string folderOf(const std::string &path);
// Temporary files our own writes leave beside their target while they run
// (".pagora-new-…", ".pagora-import-…"): short, so that any name legal for
// a book can be written, and hidden. One left by a killed writer is stale.
inline constexpr const char *kReplaceTempPrefix = ".pagora-new-";
inline constexpr const char *kImportTempPrefix = ".pagora-import-";
bool isLeftoverTempName(const std::string &name);

// Whether the first bytes of a file may be a text whatever its name: no NUL
// but as the zero halves of UTF-16, and few other control bytes. The import
// reads it all and tells a text it cannot decode.
bool headLooksLikeText(std::string_view head);
// The same on the first 64 KB of a regular file; false for an empty one.
bool startsLikeText(Files &files, const std::string &path);

// Whole-file helpers on top of Files.
bool readWholeFile(Files &files, const std::string &path, std::string &bytes);
// The temporary file our writes use beside path, made by createNew under
// kReplaceTempPrefix; temp is its name.
int createBeside(Files &files, const std::string &path, std::string &temp);

// Puts the folder holding path on disk, so that a new name in it survives a
// crash.
void syncFolderOf(const std::string &path);
// Writes beside the target, flushes and renames over it: a failure at any
// step leaves the previous file as it was.
bool replaceFileAtomically(Files &files, const std::string &path, const std::string &bytes);

} // namespace pagora
