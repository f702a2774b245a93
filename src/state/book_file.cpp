#include "state/book_file.h"

#include <algorithm>

namespace pagora {

bool RecordCursor::skip(std::size_t n)
{
    if (n > remaining())
        return false;
    position_ += n;
    return true;
}

bool RecordCursor::big16(std::uint16_t &value)
{
    const std::span<const std::uint8_t> b = take(2);
    if (b.empty())
        return false;
    value = std::uint16_t(b[0] << 8 | b[1]);
    return true;
}

bool RecordCursor::big32(std::uint32_t &value)
{
    const std::span<const std::uint8_t> b = take(4);
    if (b.empty())
        return false;
    value = std::uint32_t(b[0]) << 24 | std::uint32_t(b[1]) << 16 | std::uint32_t(b[2]) << 8 | b[3];
    return true;
}

std::span<const std::uint8_t> RecordCursor::take(std::size_t n)
{
    if (n == 0 || n > remaining())
        return {};
    const std::span<const std::uint8_t> out = bytes_.subspan(position_, n);
    position_ += n;
    return out;
}

BookFile BookFile::open(std::unique_ptr<BookBytes> bytes, std::int64_t fileSize, BookFault *fault)
{
    const auto reject = [fault](BookFault why) {
        if (fault)
            *fault = why;
        return BookFile();
    };
    if (!bytes)
        return reject(BookFault::CannotOpen);
    // Three reads in order: a short one names the part that is missing.
    std::uint8_t header[kHeaderBytes];
    if (bytes->readAt(0, header, kHeaderBytes) != kHeaderBytes)
        return reject(BookFault::ShortHeader);
    if (header[64] != 'M' || header[65] != 'T' || header[66] != 'I' || (header[67] != 'T' && header[67] != 'U'))
        return reject(BookFault::BadCreator);

    std::uint8_t countBytes[2];
    if (bytes->readAt(kHeaderBytes, countBytes, 2) != 2)
        return reject(BookFault::ShortRecordCount);
    std::uint16_t count = 0;
    RecordCursor(countBytes).big16(count);
    // Unsigned, so a count with the top bit set is above the limit too.
    if (count > kMaxRecords)
        return reject(BookFault::TooManyRecords);
    std::vector<std::uint8_t> list(std::size_t(count) * 8);
    if (bytes->readAt(kRecordListStart, list.data(), std::int64_t(list.size())) != std::int64_t(list.size()))
        return reject(BookFault::ShortRecordList);

    BookFile file;
    file.recordOffsets_.resize(count);
    RecordCursor entries(list);
    for (std::uint32_t &offset : file.recordOffsets_) {
        entries.big32(offset);
        entries.skip(4); // attributes and unique id
    }
    file.bookEncoding_ = header[67] == 'T' ? BookEncoding::CP950 : BookEncoding::UTF16LE;
    file.fileSize_ = std::int32_t(std::clamp<std::int64_t>(fileSize, 0, std::numeric_limits<std::int32_t>::max()));
    file.bytes_ = std::move(bytes);
    return file;
}

void BookFile::close()
{
    bytes_.reset();
    recordOffsets_.clear();
    releaseBuffer();
}

std::uint32_t BookFile::recordOffset(int i) const
{
    if (i < 0 || std::size_t(i) >= recordOffsets_.size())
        return 0;
    return recordOffsets_[std::size_t(i)];
}

bool BookFile::recordRange(int i, std::int64_t &start, std::int64_t &end) const
{
    if (i < 0 || i >= recordCount())
        return false;
    start = recordOffset(i);
    end = i + 1 == recordCount() ? std::int64_t(fileSize_) : std::int64_t(recordOffset(i + 1));
    if (start > fileSize_ || start >= end)
        return false;
    // Such a read could only come up short; refusing it first keeps a damaged
    // offset from sizing a buffer beyond the file.
    return end <= fileSize_;
}

std::span<const std::uint8_t> BookFile::record(int i, std::size_t limit)
{
    std::int64_t start = 0;
    std::int64_t end = 0;
    if (!isOpen() || !recordRange(i, start, end))
        return {};
    const std::size_t length = std::min<std::size_t>(std::size_t(end - start), limit);
    // Grown to the record exactly: resize alone may double the room, past the file.
    if (length > buffer_.capacity())
        buffer_.reserve(length);
    buffer_.resize(length);
    if (length == 0 || bytes_->readAt(start, buffer_.data(), std::int64_t(length)) != std::int64_t(length))
        return {};
    return buffer_;
}

bool BookFile::readRecordInto(int i, std::span<std::uint8_t> into)
{
    std::int64_t start = 0;
    std::int64_t end = 0;
    if (!isOpen() || !recordRange(i, start, end) || std::int64_t(into.size()) > end - start)
        return false;
    return bytes_->readAt(start, into.data(), std::int64_t(into.size())) == std::int64_t(into.size());
}

} // namespace pagora
