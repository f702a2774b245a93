#pragma once
// Raw book bytes and a shelf folder for the book tests.
#include "test_platform.h"

#include "book/book_writer.h"
#include "book/section_loader.h"
#include "text/codec.h"

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pagora {

inline std::string sep(BookEncoding e)
{
    return e == BookEncoding::UTF16LE ? std::string("\x1B\0", 2) : "\x1B";
}

// Text in the book's encoding (ASCII and CJK only, so CP950 never fails).
inline std::string enc(BookEncoding e, std::u16string_view text)
{
    if (e == BookEncoding::UTF16LE)
        return encodeUtf16le(text);
    std::string out;
    encodeCp950(text, out);
    return out;
}

// Header record: 8 leading bytes, title, two empty fields, the count, then
// the raw table of contents.
inline std::string headerRecord(BookEncoding e, std::u16string_view title, const std::string &count,
                                const std::string &toc)
{
    return std::string(8, '\0') + enc(e, title) + sep(e) + sep(e) + sep(e) +
           enc(e, std::u16string(count.begin(), count.end())) + sep(e) + toc;
}

inline void putBig16At(std::string &bytes, std::size_t at, unsigned v)
{
    bytes[at] = char((v >> 8) & 0xFF);
    bytes[at + 1] = char(v & 0xFF);
}

inline void putBig32At(std::string &bytes, std::size_t at, std::uint32_t v)
{
    putBig16At(bytes, at, v >> 16);
    putBig16At(bytes, at + 2, v & 0xFFFF);
}

// A book of the given section texts, titled "T1".."Tn".
inline std::string simpleBook(BookEncoding e, const std::vector<std::u16string> &texts)
{
    BookRecipe spec;
    spec.encoding = e;
    spec.title = u"書名";
    for (std::size_t i = 0; i < texts.size(); ++i) {
        std::string n = "T" + std::to_string(i + 1);
        spec.sectionTitles.emplace_back(n.begin(), n.end());
    }
    spec.sectionTexts = texts;
    std::string out;
    writeBookBytes(spec, out);
    return out;
}

// Passes everything to the real file system, failing on request.
class FaultyFiles final : public Files {
public:
    Files &real = systemFiles();
    int openHandles = 0;
    int readCalls = 0;
    int shortReadAt = -1; // 1-based read call that returns one byte fewer
    bool failSeek = false;
    std::int64_t sizeOverride = -2; // -2: the real size

    int openRead(const std::string &path) override
    {
        const int handle = real.openRead(path);
        openHandles += handle >= 0;
        return handle;
    }
    int createNew(std::string &path) override { return real.createNew(path); }
    void close(int handle) override
    {
        --openHandles;
        real.close(handle);
    }
    std::int64_t size(int handle) override { return sizeOverride != -2 ? sizeOverride : real.size(handle); }
    std::int64_t seek(int handle, std::int64_t position) override
    {
        return failSeek ? -1 : real.seek(handle, position);
    }
    std::int64_t read(int handle, void *buffer, std::int64_t count) override
    {
        std::int64_t n = real.read(handle, buffer, count);
        if (++readCalls == shortReadAt && n > 0)
            --n;
        return n;
    }
    bool write(int handle, const void *buffer, std::int64_t count) override
    {
        return real.write(handle, buffer, count);
    }
    bool flush(int handle) override { return real.flush(handle); }
    bool exists(const std::string &path) override { return real.exists(path); }
    bool isDirectory(const std::string &path) override { return real.isDirectory(path); }
    bool isWritableDirectory(const std::string &path) override { return real.isWritableDirectory(path); }
    bool makeDirectory(const std::string &path) override { return real.makeDirectory(path); }
    bool remove(const std::string &path) override { return real.remove(path); }
    bool copy(const std::string &from, const std::string &to) override { return real.copy(from, to); }
    bool rename(const std::string &from, const std::string &to) override { return real.rename(from, to); }
    std::vector<std::string> list(const std::string &folder) override { return real.list(folder); }
};

// A book held in memory.
class MemoryBytes final : public BookBytes {
public:
    explicit MemoryBytes(std::string bytes) : m_bytes(std::move(bytes)) {}
    std::int64_t readAt(std::int64_t offset, void *into, std::int64_t count) override
    {
        if (offset < 0 || count < 0)
            return -1;
        const std::string_view part = std::string_view(m_bytes).substr(std::min(std::size_t(offset), m_bytes.size()));
        const std::size_t n = std::min(part.size(), std::size_t(count));
        std::copy_n(part.data(), n, static_cast<char *>(into));
        return std::int64_t(n);
    }

private:
    std::string m_bytes;
};

inline BookFile bookFromBytes(std::string bytes, BookFault *fault = nullptr)
{
    const std::int64_t size = std::int64_t(bytes.size());
    return BookFile::open(std::make_unique<MemoryBytes>(std::move(bytes)), size, fault);
}

// Offset field of record entry i.
inline std::size_t entryAt(int i)
{
    return 78 + 8 * std::size_t(i);
}

// A shelf folder with a reader pointed at it.
struct ShelfFolder {
    TempDir dir;
    TestParts t;
    FaultyFiles files;
    ReaderState &s = t.s;

    ShelfFolder()
    {
        t.files = &files;
        s.shelf.shelfPath = dir.path();
    }
    ~ShelfFolder() { t.s.book.bookFile.close(); }
    bool add(const std::string &name, const std::string &bytes, BookFault *fault = nullptr)
    {
        writeFile(dir.file(name), bytes);
        return addBook(*t.files, t.s.shelf, name, fault);
    }
    // Opens catalogue entry index as the shelf operations do.
    bool open(int index)
    {
        s.shelf.select(std::int16_t(index));
        if (!openBookFile(*t.files, t.s.shelf, t.s.book))
            return false;
        s.book.sectionCount = s.shelf.catalogue()[std::size_t(index)].sectionCount;
        return true;
    }
    bool load(int section)
    {
        s.book.currentSection = std::int16_t(section);
        return loadSectionText(s.book, section);
    }
};

} // namespace pagora
