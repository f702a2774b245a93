#include "book/section_loader.h"

#include "state/reader_state.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace pagora {

bool addBook(Files &files, Shelf &shelf, const std::string &fileName, BookFault *fault)
{
    BookFile file = openBookAt(files, shelf.shelfPath + fileName, fault);
    BookEntry entry;
    if (!file.isOpen() || !readHeaderEntry(file, entry, fault))
        return false;
    entry.fileName = fileName;
    const std::int16_t sections = entry.sectionCount;
    if (!shelf.addEntry(std::move(entry)))
        return false;
    shelf.maxSectionCount = std::max(shelf.maxSectionCount, sections);
    return true;
}

bool openBookFile(Files &files, Shelf &shelf, OpenBook &book, BookFault *fault)
{
    book.bookFile.close();
    const BookEntry *entry = shelf.selectedEntry();
    if (!entry)
        return fail(fault, BookFault::NoEntry);
    book.bookFile = openBookAt(files, shelf.shelfPath + entry->fileName, fault);
    if (!book.bookFile.isOpen())
        return false;
    shelf.setOpenBook(shelf.selectedBook());
    return true;
}

bool readSectionText(BookFile &file, int i, std::u16string &text)
{
    std::int64_t start = 0;
    std::int64_t end = 0;
    if (!file.recordRange(i, start, end))
        return false;
    std::int64_t len = end - start;
    if (file.bookEncoding() == BookEncoding::CP950)
        --len; // a section's last byte is not text
    if (len <= 0)
        return false;
    if (file.bookEncoding() == BookEncoding::UTF16LE && std::endian::native == std::endian::little) {
        // Straight into the text: a long section is never held twice.
        std::u16string read(std::size_t(len / 2), u'\0');
        if (!file.readRecordInto(i, std::span(reinterpret_cast<std::uint8_t *>(read.data()), read.size() * 2)))
            return false;
        text = std::move(read);
        return true;
    }
    const std::span<const std::uint8_t> bytes = file.record(i, std::size_t(len));
    if (bytes.size() != std::size_t(len))
        return false;
    text = decodeBookText(file.bookEncoding(), bytes);
    return true;
}

bool loadSectionText(OpenBook &book, int section)
{
    book.markTextUnloaded();
    std::u16string text;
    if (section < 1 || section > book.sectionCount || !readSectionText(book.bookFile, section, text))
        return false;
    book.setSectionText(std::move(text));
    return true;
}

bool loadContents(OpenBook &book, const BookEntry *entry)
{
    if (!entry)
        return false;
    BookFile &file = book.bookFile;
    const std::span<const std::uint8_t> header = headerRecord(file);
    if (header.empty())
        return false;
    const std::size_t from = std::size_t(std::max<int>(entry->tocOffset, 0));
    if (file.bookEncoding() == BookEncoding::UTF16LE) {
        const std::span<const std::uint8_t> toc = header.subspan(std::min(from, header.size()));
        book.contentsList = splitContentsLines(decodeBookText(file.bookEncoding(), toc));
        file.releaseBuffer();
        return true;
    }
    book.contentsList.clear();
    RecordCursor cursor(header, from);
    for (int k = 0; k < book.sectionCount; ++k) {
        const std::span<const std::uint8_t> title = readTextField(cursor, file.bookEncoding());
        if (!title.empty())
            book.contentsList.push_back(decodeBookText(file.bookEncoding(), title));
        else if (cursor.atEnd())
            break; // only empty fields are left
    }
    file.releaseBuffer();
    return true;
}

} // namespace pagora
