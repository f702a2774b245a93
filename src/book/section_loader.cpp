#include "book/section_loader.h"

#include "platform/reader.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace pagora {

namespace {

// Opens shelfPath + fileName as bookStream and takes its size; the stream is
// closed again when the size is unusable.
bool openStream(Reader &r, const std::string &fileName, BookFault *fault)
{
    ReaderState &s = r.s;
    std::int64_t size = -1;
    s.book.bookFile.bookStream = r.p.files->openReadSized(s.shelf.shelfPath + fileName, size);
    if (s.book.bookFile.bookStream < 0)
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
    s.book.bookFile.fileSize = std::int32_t(size);
    return true;
}

// readRecord, for a caller that knows where the stream stands (-1: unknown);
// a scan of a whole shelf saves one seek per book this way.
bool loadRecord(Reader &r, std::int64_t streamPosition)
{
    ReaderState &s = r.s;
    s.book.textLength = 0;
    const int i = s.book.currentSection;
    std::int64_t start = 0;
    std::int64_t end = 0;
    if (!recordRange(s, i, start, end))
        return false;
    const bool isSection = i >= 1 && i <= s.book.sectionCount;
    std::int64_t len = end - start;
    if (s.book.bookFile.bookEncoding == BookEncoding::CP950)
        --len; // a section's last byte is not text
    if (len <= 0)
        return false;
    if (streamPosition != start && r.p.files->seek(s.book.bookFile.bookStream, start) != start)
        return false;
    // The header record, and the records after the sections, are read whole.
    if (s.book.bookFile.bookEncoding == BookEncoding::CP950 && !isSection)
        ++len;
    s.book.bookFile.recordBytes.resize(std::size_t(len));
    const std::int64_t got = r.p.files->read(s.book.bookFile.bookStream, s.book.bookFile.recordBytes.data(), len);
    if (got != len) {
        s.book.bookFile.recordEnd = std::int32_t(got > 0 ? got : 0);
        return false;
    }
    s.book.bookFile.recordEnd = std::int32_t(len);
    if (isSection) {
        s.book.sectionText =
            decodeBookText(s.book.bookFile.bookEncoding, s.book.bookFile.recordBytes.data(), std::size_t(len));
        s.book.textLength = std::int32_t(s.book.sectionText.size());
    } else {
        s.book.textLength = std::int32_t(len);
    }
    s.book.bookFile.readPos = 0;
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
    s.book.currentSection = 0;
    if (s.book.bookFile.recordCount == 0)
        return reject(BookFault::NoHeaderRecord);
    // Validation read exactly up to the end of the record list.
    if (!loadRecord(r, kRecordListStart + 8 * std::int64_t(s.book.bookFile.recordCount)))
        return reject(BookFault::HeaderRecordUnusable);

    s.book.bookFile.readPos = 8;
    s.book.bookFile.fieldBuffer.resize(std::size_t(s.book.textLength));
    const std::int32_t n = readTextField(s);
    if (n == 0)
        return reject(BookFault::EmptyTitle);
    std::u16string title =
        decodeBookText(s.book.bookFile.bookEncoding, s.book.bookFile.fieldBuffer.data(), std::size_t(n));
    readTextField(s);
    readTextField(s);
    s.book.sectionCount = readNumberField(s);
    // A book without sections has nothing to show, and a count that wrapped
    // below zero would size nothing sensibly.
    if (s.book.sectionCount <= 0)
        return reject(BookFault::BadSectionCount);
    if (s.book.bookFile.bookEncoding == BookEncoding::UTF16LE)
        ++s.book.bookFile.readPos; // the 0x00 byte of the separator
    if (s.book.bookFile.readPos > kMaxTocOffset)
        return reject(BookFault::TocTooFar);
    if (s.book.sectionCount > s.book.maxSectionCount)
        s.book.maxSectionCount = s.book.sectionCount;

    BookEntry entry;
    entry.tocOffset = std::int16_t(s.book.bookFile.readPos);
    entry.sectionCount = s.book.sectionCount;
    entry.lastSection = 1;
    entry.lastPage = 1;
    entry.fileName = fileName;
    entry.title = std::move(title);
    s.shelf.catalogue.push_back(std::move(entry));
    closeBookFile(r);
    return true;
}

bool openBookFile(Reader &r, BookFault *fault)
{
    ReaderState &s = r.s;
    closeBookFile(r);
    const BookEntry *entry = s.shelf.selectedEntry();
    if (!entry)
        return fail(fault, BookFault::NoEntry);
    if (!openStream(r, entry->fileName, fault))
        return false;
    if (!validateBook(r, fault)) {
        closeBookFile(r);
        return false;
    }
    s.shelf.openBook = s.shelf.selectedBook;
    return true;
}

bool loadContents(Reader &r)
{
    ReaderState &s = r.s;
    s.book.currentSection = 0;
    const BookEntry *entry = s.shelf.selectedEntry();
    if (!entry || !readRecord(r))
        return false;
    s.book.bookFile.readPos = entry->tocOffset;
    if (s.book.bookFile.bookEncoding == BookEncoding::UTF16LE) {
        const std::int32_t from = std::clamp<std::int32_t>(s.book.bookFile.readPos, 0, s.book.bookFile.recordEnd);
        s.book.contentsList =
            splitContentsLines(decodeBookText(s.book.bookFile.bookEncoding, s.book.bookFile.recordBytes.data() + from,
                                              std::size_t(s.book.bookFile.recordEnd - from)));
        return true;
    }
    s.book.contentsList.clear();
    for (int k = 0; k < s.book.sectionCount; ++k) {
        s.book.bookFile.fieldBuffer.resize(std::size_t(s.book.bookFile.recordEnd));
        const std::int32_t n = readTextField(s);
        if (n > 0)
            s.book.contentsList.push_back(
                decodeBookText(s.book.bookFile.bookEncoding, s.book.bookFile.fieldBuffer.data(), std::size_t(n)));
        else if (s.book.bookFile.readPos >= s.book.bookFile.recordEnd)
            break; // only empty fields are left
    }
    return true;
}

void closeBookFile(Reader &r)
{
    if (r.s.book.bookFile.bookStream >= 0)
        r.p.files->close(r.s.book.bookFile.bookStream);
    r.s.book.bookFile.bookStream = -1;
}

} // namespace pagora
