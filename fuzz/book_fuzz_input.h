#pragma once
// One fuzz input: the bytes of a book file, run through validation, addBook,
// openBookFile, loadContents, the record and section readers and the field
// readers. Shared by the
// libFuzzer target and the test that replays the saved corpus.
#include "book/book_records.h"
#include "book/section_loader.h"
#include "platform/files.h"
#include "state/reader_state.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace pagora {

namespace bookfuzz {

// One read-only file, "shelf/book", held in memory.
class MemoryFiles final : public Files {
public:
    MemoryFiles(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(std::int64_t(size)) {}
    int openHandles = 0;

    int openRead(const std::string &path) override
    {
        if (path != "shelf/book")
            return -1;
        ++openHandles;
        m_pos = 0;
        return 3;
    }
    int createNew(std::string &) override { return -1; }
    void close(int handle) override
    {
        if (handle == 3)
            --openHandles;
    }
    std::int64_t size(int handle) override { return handle == 3 ? m_size : -1; }
    std::int64_t seek(int handle, std::int64_t position) override
    {
        if (handle != 3 || position < 0)
            return -1;
        m_pos = position;
        return position;
    }
    std::int64_t read(int handle, void *buffer, std::int64_t count) override
    {
        if (handle != 3 || count < 0)
            return -1;
        const std::int64_t n = std::clamp<std::int64_t>(m_size - m_pos, 0, count);
        if (n > 0)
            std::memcpy(buffer, m_data + m_pos, std::size_t(n));
        m_pos += n;
        return n;
    }
    bool write(int, const void *, std::int64_t) override { return false; }
    bool flush(int) override { return false; }
    bool exists(const std::string &path) override { return path == "shelf/book"; }
    bool isDirectory(const std::string &path) override { return path == "shelf/"; }
    bool isWritableDirectory(const std::string &) override { return false; }
    bool makeDirectory(const std::string &) override { return false; }
    bool remove(const std::string &) override { return false; }
    bool copy(const std::string &, const std::string &) override { return false; }
    bool rename(const std::string &, const std::string &) override { return false; }
    std::vector<std::string> list(const std::string &) override { return {"book"}; }

private:
    const std::uint8_t *m_data;
    std::int64_t m_size;
    std::int64_t m_pos = 0;
};

// A broken invariant is a finding: stop right here.
inline void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

inline void loadAndCheck(ReaderState &s, int section)
{
    const std::u16string before = s.book.sectionText();
    const bool ok = loadSectionText(s.book, section);
    require(s.book.bookFile.bufferBytes() <= std::size_t(s.book.bookFile.fileSize()));
    if (!ok)
        require(s.book.textLength() == 0 && s.book.sectionText() == before);
    else
        require(section >= 1 && section <= s.book.sectionCount &&
                std::size_t(s.book.textLength()) == s.book.sectionText().size());
    const std::span<const std::uint8_t> record = s.book.bookFile.record(section);
    require(record.size() <= std::size_t(s.book.bookFile.fileSize()));
}

// Runs every field reader over the raw bytes until they are used up.
inline void scanFields(const std::uint8_t *data, std::size_t size, BookEncoding encoding)
{
    RecordCursor cursor(std::span(data, size));
    for (std::size_t k = 0; k <= size && !cursor.atEnd(); ++k) {
        const std::size_t from = cursor.position();
        const std::size_t n = k % 2 ? (readNumberField(cursor, encoding), 0) : readTextField(cursor, encoding).size();
        require(cursor.position() > from && cursor.position() <= size);
        require(n <= cursor.position() - from);
    }
}

inline int runInput(const std::uint8_t *data, std::size_t size)
{
    MemoryFiles files(data, size);
    ReaderState s;
    s.shelf.shelfPath = "shelf/";
    if (addBook(files, s.shelf, "book")) {
        require(s.shelf.catalogue().size() == 1 && s.shelf.bookCount() == 1);
        const BookEntry &e = s.shelf.catalogue()[0];
        require(e.sectionCount > 0 && e.tocOffset >= 0 && e.sectionCount <= s.shelf.maxSectionCount);
    } else {
        require(s.shelf.catalogue().empty());
        // Still open the file as if a damaged entry pointed at it.
        BookEntry e;
        e.fileName = "book";
        e.tocOffset = 8;
        e.sectionCount = 3;
        s.shelf.addEntry(e);
    }
    require(!s.book.bookFile.isOpen() && files.openHandles == 0);

    s.shelf.select(0);
    if (openBookFile(files, s.shelf, s.book)) {
        require(s.book.bookFile.recordCount() >= 0 && s.book.bookFile.recordCount() <= kMaxRecords);
        s.book.sectionCount = s.shelf.catalogue()[0].sectionCount;
        const std::vector<std::u16string> before = s.book.contentsList;
        if (loadContents(s.book, s.shelf.selectedEntry())) {
            if (s.book.bookFile.bookEncoding() == BookEncoding::CP950)
                require(s.book.contentsList.size() <= std::size_t(s.book.sectionCount));
        } else {
            require(s.book.contentsList == before);
        }
        const int last = std::min<int>(s.book.sectionCount, s.book.bookFile.recordCount()) + 1;
        for (int i = -1; i <= last; ++i)
            loadAndCheck(s, i);
        loadAndCheck(s, 32767);
        const std::span<const std::uint8_t> marks = s.book.bookFile.record(s.book.sectionCount + 1);
        parseBookmarkRecord(marks.data(), marks.size(), s.book.sectionCount);
    } else {
        require(!s.book.bookFile.isOpen());
    }
    s.book.bookFile.close();
    require(files.openHandles == 0);

    scanFields(data, size, BookEncoding::CP950);
    scanFields(data, size, BookEncoding::UTF16LE);
    splitContentsLines(decodeBookText(BookEncoding::UTF16LE, data, size));
    decodeBookText(BookEncoding::CP950, data, size);
    parseBookmarkRecord(data, size, 500);
    return 0;
}

} // namespace bookfuzz

} // namespace pagora
