#include "book/book_file.h"

#include "platform/reader.h"
#include "text/codec.h"

#include <algorithm>
#include <map>

namespace pagora {

namespace {

constexpr std::uint8_t kSeparator = 0x1B;

// The bytes the field readers may look at: never more than recordBytes holds.
std::int32_t fieldEnd(const ReaderState &s)
{
    return std::clamp<std::int32_t>(s.book.bookFile.recordEnd, 0, std::int32_t(s.book.bookFile.recordBytes.size()));
}

// Scans one field from readPos and leaves readPos behind its separator. In
// UTF-16 books only the 0x1B of a 0x1B 0x00 pair is consumed, so the next
// field starts on the 0x00. Calls take(byte) for every byte of the field.
template <typename Take> void scanField(ReaderState &s, Take take)
{
    const std::int32_t end = fieldEnd(s);
    std::int32_t pos = std::max<std::int32_t>(s.book.bookFile.readPos, 0);
    const bool wide = s.book.bookFile.bookEncoding == BookEncoding::UTF16LE;
    while (pos < end) {
        const std::uint8_t b = s.book.bookFile.recordBytes[std::size_t(pos)];
        if (b == kSeparator && (!wide || pos + 1 >= end || s.book.bookFile.recordBytes[std::size_t(pos) + 1] == 0x00)) {
            ++pos;
            break;
        }
        take(b);
        ++pos;
    }
    if (pos > s.book.bookFile.readPos)
        s.book.bookFile.readPos = pos;
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

bool validateBook(Reader &r, BookFault *fault)
{
    ReaderState &s = r.s;
    Files &files = *r.p.files;
    // The stream was just opened, so this first read starts at offset 0.
    std::uint8_t header[kHeaderBytes];
    if (files.read(s.book.bookFile.bookStream, header, kHeaderBytes) != kHeaderBytes)
        return fail(fault, BookFault::ShortHeader);
    if (header[64] != 'M' || header[65] != 'T' || header[66] != 'I')
        return fail(fault, BookFault::BadCreator);
    BookEncoding encoding;
    if (header[67] == 'T')
        encoding = BookEncoding::CP950;
    else if (header[67] == 'U')
        encoding = BookEncoding::UTF16LE;
    else
        return fail(fault, BookFault::BadCreator);

    std::uint8_t countBytes[2];
    if (files.read(s.book.bookFile.bookStream, countBytes, 2) != 2)
        return fail(fault, BookFault::ShortRecordCount);
    // Unsigned, so a count with the top bit set is above 500 too.
    const unsigned count = unsigned(countBytes[0]) * 256 + countBytes[1];
    if (count * 8 > s.book.bookFile.recordList.size())
        return fail(fault, BookFault::TooManyRecords);
    const std::int64_t listBytes = std::int64_t(count) * 8;
    if (files.read(s.book.bookFile.bookStream, s.book.bookFile.recordList.data(), listBytes) != listBytes)
        return fail(fault, BookFault::ShortRecordList);

    s.book.bookFile.bookEncoding = encoding;
    s.book.bookFile.recordCount = std::int16_t(count);
    return true;
}

std::uint32_t recordOffset(const ReaderState &s, int i)
{
    if (i < 0 || i >= kMaxRecords)
        return 0;
    const std::uint8_t *e = s.book.bookFile.recordList.data() + std::size_t(i) * 8;
    return (std::uint32_t(e[0]) << 24) | (std::uint32_t(e[1]) << 16) | (std::uint32_t(e[2]) << 8) | e[3];
}

bool recordRange(const ReaderState &s, int i, std::int64_t &start, std::int64_t &end)
{
    // Entries at and beyond the record count hold nothing meaningful.
    if (i < 0 || i >= s.book.bookFile.recordCount)
        return false;
    start = recordOffset(s, i);
    end = i + 1 == s.book.bookFile.recordCount ? std::int64_t(s.book.bookFile.fileSize)
                                               : std::int64_t(recordOffset(s, i + 1));
    if (start > s.book.bookFile.fileSize || start >= end)
        return false;
    // Such a read could only come up short; refusing it first keeps a damaged
    // offset from sizing a buffer beyond the file.
    return end <= s.book.bookFile.fileSize;
}

std::int32_t readTextField(ReaderState &s)
{
    // Sized to the whole record, the buffer holds any field of it.
    const std::int32_t end = fieldEnd(s);
    if (s.book.bookFile.fieldBuffer.size() < std::size_t(end))
        s.book.bookFile.fieldBuffer.resize(std::size_t(end));
    std::int32_t n = 0;
    scanField(s, [&](std::uint8_t b) { s.book.bookFile.fieldBuffer[std::size_t(n++)] = b; });
    return n;
}

std::int16_t readNumberField(ReaderState &s)
{
    // 16-bit arithmetic: longer numbers wrap as they would in the stored type.
    std::uint16_t value = 0;
    scanField(s, [&](std::uint8_t b) {
        if (b >= '0' && b <= '9')
            value = std::uint16_t(value * 10 + (b - '0'));
    });
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
