#include "app/book_place.h"

#include "app/startup.h"
#include "book/section_loader.h"
#include "notes/fingerprint.h"
#include "platform/reader.h"
#include "render/layout_walk.h"

#include <utility>

namespace pagora {

namespace {

std::string openBookPath(const ReaderState &s)
{
    if (s.openBook < 0 || s.openBook >= std::int16_t(s.catalogue.size()) || s.bookFile.bookStream < 0)
        return {};
    return s.shelfPath + s.catalogue[std::size_t(s.openBook)].fileName;
}

void tellFault(Reader &r)
{
    const std::u16string message = r.p.notes->takeMessage();
    if (!message.empty())
        showMessage(r, message);
}

} // namespace

std::vector<std::u16string> openBookTexts(Reader &r)
{
    ReaderState &s = r.s;
    std::vector<std::u16string> texts;
    if (openBookPath(s).empty())
        return texts;
    const std::int16_t section = s.currentSection;
    const std::int32_t length = s.textLength;
    std::u16string shown = std::move(s.sectionText);
    BookFile &f = s.bookFile;
    std::vector<std::uint8_t> bytes = std::move(f.recordBytes);
    const std::int32_t recordEnd = f.recordEnd, readPos = f.readPos;
    texts.reserve(std::size_t(std::max<std::int16_t>(s.sectionCount, 0)));
    for (std::int16_t i = 1; i <= s.sectionCount; ++i) {
        s.currentSection = i;
        texts.push_back(readRecord(r) ? std::move(s.sectionText) : std::u16string());
    }
    s.currentSection = section;
    s.textLength = length;
    s.sectionText = std::move(shown);
    f.recordBytes = std::move(bytes);
    f.recordEnd = recordEnd, f.readPos = readPos;
    return texts;
}

const std::string &openBookFingerprint(Reader &r)
{
    ReaderState &s = r.s;
    const std::string path = openBookPath(s);
    if (path != s.fingerprintFile || path.empty()) {
        s.fingerprint = path.empty() ? std::string() : textFingerprint(openBookTexts(r));
        s.fingerprintFile = path;
    }
    return s.fingerprint;
}

void rememberPlace(Reader &r)
{
    ReaderState &s = r.s;
    if (s.currentSection < 1 || s.currentSection > s.sectionCount || s.pages.pageCount <= 0)
        return;
    const std::string &fingerprint = openBookFingerprint(r);
    if (fingerprint.empty())
        return;
    const BookEntry &entry = s.catalogue[std::size_t(s.openBook)];
    r.p.notes->storePlace(fingerprint, entry.title, s.sectionCount,
                          BookPlace{s.currentSection, s.pages.start(s.pages.shownPage())});
    tellFault(r);
}

void rememberPlaceWhileReading(Reader &r)
{
    const Screen screen = r.s.currentScreen;
    if (r.s.openBook >= 0 && (screen == Screen::ReadingScreen || screen == Screen::MenuScreen))
        rememberPlace(r);
}

bool goToStoredPlace(Reader &r)
{
    ReaderState &s = r.s;
    // The open book is the selected one while it is being opened.
    const std::int16_t open = s.openBook;
    if (s.openBook < 0)
        s.openBook = s.selectedBook;
    const std::string fingerprint = openBookFingerprint(r);
    s.openBook = open;
    if (fingerprint.empty())
        return false;
    const std::optional<BookPlace> place = r.p.notes->place(fingerprint);
    tellFault(r);
    // A section the book no longer has is no place in it.
    if (!place || place->section < 1 || place->section > s.sectionCount)
        return false;
    s.currentSection = std::int16_t(place->section);
    readRecord(r);
    paginate(r);
    s.pages.currentPage = std::int16_t(s.pages.pageHolding(place->offset));
    return true;
}

} // namespace pagora
