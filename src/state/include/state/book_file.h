#pragma once
#include "state/book_entry.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <vector>

namespace pagora {

constexpr int kHeaderBytes = 76;
constexpr int kMaxRecords = 500;
// Offset of the record list in the file.
constexpr int kRecordListStart = 78;

// Which check turned a book file down; the reader itself stays silent, but
// the command-line tool names it.
enum class BookFault {
    None,
    CannotOpen,
    EmptyFile,
    TooLarge,
    ShortHeader,
    BadCreator,
    ShortRecordCount,
    TooManyRecords,
    ShortRecordList,
    NoHeaderRecord,
    HeaderRecordUnusable,
    EmptyTitle,
    BadSectionCount,
    TocTooFar,
    NoEntry,
};

// Where an open book's bytes come from: a file handle or bytes in memory.
// Destroying it releases what it holds.
class BookBytes {
public:
    virtual ~BookBytes() = default;
    // Reads up to count bytes at offset; the number read, or -1.
    virtual std::int64_t readAt(std::int64_t offset, void *into, std::int64_t count) = 0;
};

// Reads the fields of a record front to back. Every read checks what is
// left first, so no byte outside the span is ever touched; a read that does
// not fit fails and leaves the position where it was.
class RecordCursor {
public:
    explicit RecordCursor(std::span<const std::uint8_t> bytes, std::size_t position = 0)
        : bytes_(bytes), position_(position)
    {
    }

    std::size_t position() const { return position_; }
    std::size_t remaining() const { return position_ < bytes_.size() ? bytes_.size() - position_ : 0; }
    bool atEnd() const { return remaining() == 0; }
    // The byte at the position; call only when not at the end.
    std::uint8_t peek(std::size_t ahead = 0) const { return bytes_[position_ + ahead]; }

    bool skip(std::size_t n);
    bool big16(std::uint16_t &value);
    bool big32(std::uint32_t &value);
    // The next n bytes; empty when fewer are left.
    std::span<const std::uint8_t> take(std::size_t n);

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_;
};

// An open book: checked once when opened, read record by record after.
// It owns its bytes; moving it hands them on, destroying it releases them.
class BookFile {
public:
    BookFile() = default;

    // Checks the header and the record list of a file of fileSize bytes
    // (the first read is the one at offset 0). A file that fails gives a
    // closed BookFile, and *fault names the check when the caller asked.
    static BookFile open(std::unique_ptr<BookBytes> bytes, std::int64_t fileSize, BookFault *fault = nullptr);

    bool isOpen() const { return bytes_ != nullptr; }
    void close();

    BookEncoding bookEncoding() const { return bookEncoding_; }
    std::int32_t fileSize() const { return fileSize_; }
    std::int16_t recordCount() const { return std::int16_t(recordOffsets_.size()); }
    // Offset of record i from the record list; 0 outside it.
    std::uint32_t recordOffset(int i) const;
    // Byte range [start, end) of record i. False when the record is absent
    // (index outside 0..recordCount-1) or unusable (start beyond the file
    // size, start not below end, or end beyond the file size).
    bool recordRange(int i, std::int64_t &start, std::int64_t &end) const;

    // The first limit bytes of record i (all of it by default), valid until
    // the next read; empty when the record is absent, unusable or reads short.
    std::span<const std::uint8_t> record(int i, std::size_t limit = std::numeric_limits<std::size_t>::max());
    // The first into.size() bytes of record i, straight into the caller's
    // buffer; false when the record is absent, unusable or shorter.
    bool readRecordInto(int i, std::span<std::uint8_t> into);

    // Frees the bytes of the last record read.
    void releaseBuffer() { std::vector<std::uint8_t>().swap(buffer_); }
    // Heap held by the read buffer.
    std::size_t bufferBytes() const { return buffer_.capacity(); }

private:
    std::unique_ptr<BookBytes> bytes_;
    BookEncoding bookEncoding_ = BookEncoding::CP950;
    std::int32_t fileSize_ = 0;
    std::vector<std::uint32_t> recordOffsets_;
    std::vector<std::uint8_t> buffer_;
};

} // namespace pagora
