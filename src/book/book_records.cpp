#include "book/book_records.h"

#include "platform/files.h"
#include "text/codec.h"

#include <algorithm>
#include <limits>
#include <map>
#include <memory>

namespace pagora {

namespace {

constexpr std::uint8_t kSeparator = 0x1B;

// A book read through a handle of Files, which it closes when destroyed.
// It remembers where the handle stands, so reading on from there needs no
// seek: a shelf scan reads the header record right behind the record list.
class FileBytes final : public BookBytes {
public:
    FileBytes(Files &files, int handle) : m_files(files), m_handle(handle) {}
    ~FileBytes() override { m_files.close(m_handle); }
    FileBytes(const FileBytes &) = delete;
    FileBytes &operator=(const FileBytes &) = delete;

    std::int64_t readAt(std::int64_t offset, void *into, std::int64_t count) override
    {
        if (offset != m_position && m_files.seek(m_handle, offset) != offset) {
            m_position = -1;
            return -1;
        }
        const std::int64_t got = m_files.read(m_handle, into, count);
        m_position = got >= 0 ? offset + got : -1;
        return got;
    }

private:
    Files &m_files;
    int m_handle;
    std::int64_t m_position = 0; // a fresh handle stands at the start
};

// The length of the field at the cursor, separator excluded.
std::size_t fieldLength(const RecordCursor &cursor, BookEncoding encoding)
{
    const bool wide = encoding == BookEncoding::UTF16LE;
    const std::size_t left = cursor.remaining();
    std::size_t n = 0;
    while (n < left && !(cursor.peek(n) == kSeparator && (!wide || n + 1 >= left || cursor.peek(n + 1) == 0x00)))
        ++n;
    return n;
}

} // namespace

const char *bookFaultText(BookFault fault)
{
    switch (fault) {
    case BookFault::None: return "no fault";
    case BookFault::CannotOpen: return "the file cannot be opened for reading";
    case BookFault::EmptyFile: return "the file is empty";
    case BookFault::TooLarge: return "the file is larger than 2 GiB";
    case BookFault::ShortHeader: return "the file is shorter than the 76-byte database header";
    case BookFault::BadCreator: return "the creator code (bytes 64 to 67) is neither MTIT nor MTIU";
    case BookFault::ShortRecordCount: return "the file ends before the record count (bytes 76 and 77)";
    case BookFault::TooManyRecords: return "the record count is above 500";
    case BookFault::ShortRecordList: return "the file ends inside the record list";
    case BookFault::NoHeaderRecord: return "the book has no records, so no header record";
    case BookFault::HeaderRecordUnusable: return "the header record (record 0) lies outside the file or is empty";
    case BookFault::EmptyTitle: return "the title field of the header record is empty";
    case BookFault::BadSectionCount: return "the section count of the header record is not a positive 16-bit number";
    case BookFault::TocTooFar: return "the table of contents starts beyond byte 32767 of the header record";
    case BookFault::NoEntry: return "no book is selected";
    }
    return "unknown fault";
}

BookFile openBookAt(Files &files, const std::string &path, BookFault *fault)
{
    std::int64_t size = -1;
    const int handle = files.openReadSized(path, size);
    if (handle < 0) {
        fail(fault, BookFault::CannotOpen);
        return {};
    }
    auto bytes = std::make_unique<FileBytes>(files, handle);
    if (size <= 0 || size > std::numeric_limits<std::int32_t>::max()) {
        // fileSize is 32-bit
        fail(fault, size <= 0 ? BookFault::EmptyFile : BookFault::TooLarge);
        return {};
    }
    return BookFile::open(std::move(bytes), size, fault);
}

std::span<const std::uint8_t> headerRecord(BookFile &file)
{
    const std::span<const std::uint8_t> bytes = file.record(0);
    // A CP950 record ends in one byte that is not text: alone, it holds nothing.
    if (file.bookEncoding() == BookEncoding::CP950 && bytes.size() <= 1)
        return {};
    return bytes;
}

bool readHeaderEntry(BookFile &file, BookEntry &entry, BookFault *fault)
{
    if (file.recordCount() == 0)
        return fail(fault, BookFault::NoHeaderRecord);
    const std::span<const std::uint8_t> header = headerRecord(file);
    if (header.empty())
        return fail(fault, BookFault::HeaderRecordUnusable);
    const BookEncoding encoding = file.bookEncoding();
    RecordCursor cursor(header, 8);
    const std::span<const std::uint8_t> title = readTextField(cursor, encoding);
    if (title.empty())
        return fail(fault, BookFault::EmptyTitle);
    std::u16string decodedTitle = decodeBookText(encoding, title);
    readTextField(cursor, encoding);
    readTextField(cursor, encoding);
    const std::int16_t sectionCount = readNumberField(cursor, encoding);
    // A book without sections has nothing to show, and a count that wrapped
    // below zero would size nothing sensibly.
    if (sectionCount <= 0)
        return fail(fault, BookFault::BadSectionCount);
    // In UTF-16 books the table starts behind the 0x00 byte of the separator.
    const std::size_t tocOffset = cursor.position() + (encoding == BookEncoding::UTF16LE ? 1 : 0);
    if (tocOffset > std::size_t(kMaxTocOffset))
        return fail(fault, BookFault::TocTooFar);
    entry.tocOffset = std::int16_t(tocOffset);
    entry.sectionCount = sectionCount;
    entry.lastSection = 1;
    entry.lastPage = 1;
    entry.title = std::move(decodedTitle);
    return true;
}

std::span<const std::uint8_t> readTextField(RecordCursor &cursor, BookEncoding encoding)
{
    const std::span<const std::uint8_t> field = cursor.take(fieldLength(cursor, encoding));
    cursor.skip(1); // the separator, when there is one
    return field;
}

std::int16_t readNumberField(RecordCursor &cursor, BookEncoding encoding)
{
    // 16-bit arithmetic: longer numbers wrap as they would in the stored type.
    std::uint16_t value = 0;
    for (const std::uint8_t b : readTextField(cursor, encoding)) {
        if (b >= '0' && b <= '9')
            value = std::uint16_t(value * 10 + (b - '0'));
    }
    return std::int16_t(value);
}

std::u16string decodeBookText(BookEncoding encoding, const std::uint8_t *bytes, std::size_t count)
{
    const char *p = reinterpret_cast<const char *>(bytes);
    return encoding == BookEncoding::CP950 ? decodeCp950(p, count) : decodeUtf16le(p, count);
}

std::vector<std::u16string> splitContentsLines(std::u16string_view text)
{
    if (std::size_t nul = text.find(u'\0'); nul != std::u16string_view::npos)
        text = text.substr(0, nul);
    std::vector<std::u16string> lines;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t j = i;
        while (j < text.size() && text[j] != u'\r' && text[j] != u'\n')
            ++j;
        lines.emplace_back(text.substr(i, j - i));
        if (j < text.size() && text[j] == u'\r' && j + 1 < text.size() && text[j + 1] == u'\n')
            ++j;
        i = j + 1;
    }
    return lines;
}

std::vector<std::pair<int, std::vector<std::int16_t>>> parseBookmarkRecord(const std::uint8_t *bytes, std::size_t count,
                                                                           int sectionCount)
{
    std::map<int, std::vector<std::int16_t>> marks;
    std::size_t pos = 0;
    auto next = [&](std::int16_t &v) {
        if (count - pos < 2)
            return false;
        v = std::int16_t(bytes[pos] | (bytes[pos + 1] << 8));
        pos += 2;
        return true;
    };
    std::int16_t section;
    while (next(section) && section != -1) {
        std::int16_t n;
        if (!next(n) || n < 0)
            break;
        const bool wanted = section >= 0 && section <= sectionCount;
        for (std::int16_t k = 0; k < n; ++k) {
            std::int16_t page;
            if (!next(page))
                break;
            if (wanted && page >= 1)
                marks[section].push_back(page);
        }
    }
    std::vector<std::pair<int, std::vector<std::int16_t>>> out;
    for (auto &[section, pages] : marks) {
        std::sort(pages.begin(), pages.end());
        out.emplace_back(section, std::move(pages));
    }
    return out;
}

} // namespace pagora
