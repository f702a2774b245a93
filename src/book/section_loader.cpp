#include "book/section_loader.h"

#include "platform/reader.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace pagora {

namespace {

bool fail(BookFault *fault, BookFault why)
{
    if (fault)
        *fault = why;
    return false;
}

// Opens shelfPath + fileName as bookStream and takes its size; the stream is
// closed again when the size is unusable.
bool openStream(Reader &r, const std::string &fileName, BookFault *fault)
{
    ReaderState &s = r.s;
    std::int64_t size = -1;
    s.bookFile.bookStream = r.p.files->openReadSized(s.shelfPath + fileName, size);
    if (s.bookFile.bookStream < 0)
        return fail(fault, BookFault::CannotOpen);
    BookFault why = BookFault::None;
    if (size <= 0)
        why = BookFault::EmptyFile;
    else if (size > std::numeric_limits<std::int32_t>::max())
        why = BookFault::TooLarge; // fileSize is 32-bit
    if (why != BookFault::None) {
        closeBookFile(r);
        return fail(fault, why);
    }
    s.bookFile.fileSize = std::int32_t(size);
    return true;
}

// readRecord, for a caller that knows where the stream stands (-1: unknown);
// a scan of a whole shelf saves one seek per book this way.
bool loadRecord(Reader &r, std::int64_t streamPosition)
{
    ReaderState &s = r.s;
    s.textLength = 0;
    const int i = s.currentSection;
    std::int64_t start = 0;
    std::int64_t end = 0;
    if (!recordRange(s, i, start, end))
        return false;
    const bool isSection = i >= 1 && i <= s.sectionCount;
    std::int64_t len = end - start;
    if (s.bookFile.bookEncoding == BookEncoding::CP950)
        --len; // a section's last byte is not text
    if (len <= 0)
        return false;
    if (streamPosition != start && r.p.files->seek(s.bookFile.bookStream, start) != start)
        return false;
    // The header record, and the records after the sections, are read whole.
    if (s.bookFile.bookEncoding == BookEncoding::CP950 && !isSection)
        ++len;
    s.bookFile.recordBytes.resize(std::size_t(len));
    const std::int64_t got = r.p.files->read(s.bookFile.bookStream, s.bookFile.recordBytes.data(), len);
    if (got != len) {
        s.bookFile.recordEnd = std::int32_t(got > 0 ? got : 0);
        return false;
    }
    s.bookFile.recordEnd = std::int32_t(len);
    if (isSection) {
        s.sectionText = decodeBookText(s.bookFile.bookEncoding, s.bookFile.recordBytes.data(), std::size_t(len));
        s.textLength = std::int32_t(s.sectionText.size());
    } else {
        s.textLength = std::int32_t(len);
    }
    s.bookFile.readPos = 0;
    return true;
}

} // namespace

bool readRecord(Reader &r)
{
    return loadRecord(r, -1);
}

bool addBook(Reader &r, const std::string &fileName, BookFault *fault)
{
    ReaderState &s = r.s;
    // Scans run with no book open; should one be, its handle is not lost.
    closeBookFile(r);
    if (!openStream(r, fileName, fault))
        return false;
    auto reject = [&](BookFault why) {
        closeBookFile(r);
        return fail(fault, why);
    };
    if (!validateBook(r, fault)) {
        closeBookFile(r);
        return false;
    }
    s.currentSection = 0;
    if (s.bookFile.recordCount == 0)
        return reject(BookFault::NoHeaderRecord);
    // Validation read exactly up to the end of the record list.
    if (!loadRecord(r, kRecordListStart + 8 * std::int64_t(s.bookFile.recordCount)))
        return reject(BookFault::HeaderRecordUnusable);

    s.bookFile.readPos = 8;
    s.bookFile.fieldBuffer.resize(std::size_t(s.textLength));
    const std::int32_t n = readTextField(s);
    if (n == 0)
        return reject(BookFault::EmptyTitle);
    std::u16string title = decodeBookText(s.bookFile.bookEncoding, s.bookFile.fieldBuffer.data(), std::size_t(n));
    readTextField(s);
    readTextField(s);
    s.sectionCount = readNumberField(s);
    // A book without sections has nothing to show, and a count that wrapped
    // below zero would size nothing sensibly.
    if (s.sectionCount <= 0)
        return reject(BookFault::BadSectionCount);
    if (s.bookFile.bookEncoding == BookEncoding::UTF16LE)
        ++s.bookFile.readPos; // the 0x00 byte of the separator
    if (s.bookFile.readPos > kMaxTocOffset)
        return reject(BookFault::TocTooFar);
    if (s.sectionCount > s.maxSectionCount)
        s.maxSectionCount = s.sectionCount;

    BookEntry entry;
    entry.tocOffset = std::int16_t(s.bookFile.readPos);
    entry.sectionCount = s.sectionCount;
    entry.lastSection = 1;
    entry.lastPage = 1;
    entry.fileName = fileName;
    entry.title = std::move(title);
    s.catalogue.push_back(std::move(entry));
    ++s.bookCount;
    closeBookFile(r);
    return true;
}

bool openBookFile(Reader &r, BookFault *fault)
{
    ReaderState &s = r.s;
    closeBookFile(r);
    const BookEntry *entry = selectedEntry(s);
    if (!entry)
        return fail(fault, BookFault::NoEntry);
    if (!openStream(r, entry->fileName, fault))
        return false;
    if (!validateBook(r, fault)) {
        closeBookFile(r);
        return false;
    }
    s.openBook = s.selectedBook;
    return true;
}

bool loadContents(Reader &r)
{
    ReaderState &s = r.s;
    s.currentSection = 0;
    const BookEntry *entry = selectedEntry(s);
    if (!entry || !readRecord(r))
        return false;
    s.bookFile.readPos = entry->tocOffset;
    if (s.bookFile.bookEncoding == BookEncoding::UTF16LE) {
        const std::int32_t from = std::clamp<std::int32_t>(s.bookFile.readPos, 0, s.bookFile.recordEnd);
        s.contentsList = splitContentsLines(decodeBookText(
            s.bookFile.bookEncoding, s.bookFile.recordBytes.data() + from, std::size_t(s.bookFile.recordEnd - from)));
        return true;
    }
    s.contentsList.clear();
    for (int k = 0; k < s.sectionCount; ++k) {
        s.bookFile.fieldBuffer.resize(std::size_t(s.bookFile.recordEnd));
        const std::int32_t n = readTextField(s);
        if (n > 0)
            s.contentsList.push_back(
                decodeBookText(s.bookFile.bookEncoding, s.bookFile.fieldBuffer.data(), std::size_t(n)));
        else if (s.bookFile.readPos >= s.bookFile.recordEnd)
            break; // only empty fields are left
    }
    return true;
}

void closeBookFile(Reader &r)
{
    if (r.s.bookFile.bookStream >= 0)
        r.p.files->close(r.s.bookFile.bookStream);
    r.s.bookFile.bookStream = -1;
}

} // namespace pagora
