#pragma once
// One fuzz input: any bytes as Pagora.ini. What readSettings takes from them,
// written back by writeSettings and read again, must come back the same.
// Shared by the libFuzzer target and the test that replays the saved corpus.
#include "app/reader.h"
#include "app/settings_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>

namespace pagora {

namespace settingsfuzz {

// Files held in memory by path; one handle at a time is all the settings need.
class MemoryFiles final : public Files {
public:
    std::map<std::string, std::string> files;

    int openRead(const std::string &path) override
    {
        const auto it = files.find(path);
        if (it == files.end())
            return -1;
        m_path = path, m_data = it->second, m_pos = 0, m_writing = false;
        return 3;
    }
    int createNew(std::string &path) override
    {
        path += "0";
        m_path = path, m_data.clear(), m_pos = 0, m_writing = true;
        return 3;
    }
    void close(int handle) override
    {
        if (handle == 3 && m_writing)
            files[m_path] = m_data;
        m_writing = false;
    }
    std::int64_t size(int handle) override { return handle == 3 ? std::int64_t(m_data.size()) : -1; }
    std::int64_t seek(int handle, std::int64_t position) override
    {
        if (handle != 3 || position < 0)
            return -1;
        m_pos = std::size_t(position);
        return position;
    }
    std::int64_t read(int handle, void *buffer, std::int64_t count) override
    {
        if (handle != 3 || count < 0)
            return -1;
        const std::size_t n = std::min(std::size_t(count), m_data.size() - std::min(m_pos, m_data.size()));
        if (n > 0)
            std::memcpy(buffer, m_data.data() + m_pos, n);
        m_pos += n;
        return std::int64_t(n);
    }
    bool write(int handle, const void *buffer, std::int64_t count) override
    {
        if (handle != 3 || !m_writing || count < 0)
            return false;
        m_data.append(static_cast<const char *>(buffer), std::size_t(count));
        return true;
    }
    bool flush(int handle) override { return handle == 3; }
    bool isWritableFile(const std::string &path) override { return files.count(path) > 0; }
    bool exists(const std::string &path) override { return files.count(path) > 0; }
    bool isDirectory(const std::string &path) override { return path == "exe/"; }
    bool isWritableDirectory(const std::string &path) override { return path == "exe/"; }
    bool makeDirectory(const std::string &) override { return false; }
    bool remove(const std::string &path) override { return files.erase(path) > 0; }
    bool copy(const std::string &, const std::string &) override { return false; }
    bool rename(const std::string &from, const std::string &to) override
    {
        const auto it = files.find(from);
        if (it == files.end())
            return false;
        files[to] = it->second;
        files.erase(from);
        return true;
    }
    std::vector<std::string> list(const std::string &) override { return {}; }

private:
    std::string m_path, m_data;
    std::size_t m_pos = 0;
    bool m_writing = false;
};

// A broken invariant is a finding: stop right here.
inline void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// The state as start-up has it when readSettings runs.
inline void readInto(Reader &r, MemoryFiles &files)
{
    r.services.files = &files;
    r.state.folders.settingsFolder = "exe/";
    r.state.shelf.shelfPath = "exe/";
    r.state.look.fontName = "新細明體";
    readSettings(r);
}

inline int runInput(const std::uint8_t *data, std::size_t size)
{
    MemoryFiles files;
    const std::string path = "exe/Pagora.ini";
    files.files[path].assign(reinterpret_cast<const char *>(data), size);
    Reader first;
    readInto(first, files);
    ReaderState &s = first.state;

    // Close with what was read as the place to keep, as the reader would.
    s.folders.mainShelfPath = s.shelf.shelfPath;
    s.book.sectionCount = s.saved.savedSectionCount;
    s.book.currentSection = s.saved.savedSection;
    s.book.pages.turnTo(s.saved.savedPage);
    BookEntry entry;
    entry.fileName = s.saved.savedBookFile;
    s.shelf.addEntry(entry);
    s.shelf.select(0);
    writeSettings(first);
    require(files.files.size() == 1);

    Reader second;
    readInto(second, files);
    const ReaderState &t = second.state;
    require(t.look.textScheme() == s.look.textScheme() && t.look.backgroundChoice() == s.look.backgroundChoice() &&
            t.look.sizeStep() == s.look.sizeStep());
    require(t.shelf.shelfPath == s.shelf.shelfPath);
    require(t.saved.savedSectionCount == s.saved.savedSectionCount && t.saved.savedSection == s.saved.savedSection &&
            t.saved.savedPage == s.saved.savedPage && t.saved.savedBookFile == s.saved.savedBookFile);
    require(t.saved.reopenSavedBook == s.saved.reopenSavedBook);
    require(t.window.windowMode == s.window.windowMode && t.shelf.currentShelf == s.shelf.currentShelf);
    require(t.look.fontName == s.look.fontName && t.look.baseFontSize == s.look.baseFontSize);
    return 0;
}

} // namespace settingsfuzz

} // namespace pagora
