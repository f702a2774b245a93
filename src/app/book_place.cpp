#include "app/book_place.h"

#include "app/messages.h"
#include "app/reader.h"
#include "book/book_records.h"
#include "book/section_loader.h"
#include "notes/fingerprint.h"
#include "render/layout_walk.h"

#include <algorithm>

namespace pagora {

namespace {

std::string openBookPath(const ReaderState &s)
{
    if (s.shelf.openBook() < 0 || s.shelf.openBook() >= std::int16_t(s.shelf.catalogue().size()) ||
        !s.book.bookFile.isOpen())
        return {};
    return s.shelf.shelfPath + s.shelf.catalogue()[std::size_t(s.shelf.openBook())].fileName;
}

void tellFault(Reader &r)
{
    const std::u16string message = r.services.notes->takeMessage();
    if (!message.empty())
        showMessage(r, message);
}

} // namespace

std::vector<std::u16string> openBookTexts(Reader &r)
{
    ReaderState &s = r.state;
    std::vector<std::u16string> texts;
    if (openBookPath(s).empty())
        return texts;
    texts.resize(std::size_t(std::max<std::int16_t>(s.book.sectionCount, 0)));
    for (std::size_t i = 0; i < texts.size(); ++i)
        readSectionText(s.book.bookFile, int(i) + 1, texts[i]);
    return texts;
}

namespace {

void settleFingerprint(Reader &r, const std::string &path, std::string fingerprint)
{
    r.state.book.fingerprint = std::move(fingerprint);
    r.state.book.fingerprintFile = path;
    r.keying = BookKeying{};
}

// Whether file, read anew, still is the book the entry lists.
bool listedAs(BookFile &file, const BookEntry &entry)
{
    BookEntry now;
    return file.isOpen() && readHeaderEntry(file, now) && now.title == entry.title &&
           now.sectionCount == entry.sectionCount && now.tocOffset == entry.tocOffset;
}

} // namespace

bool workOnFingerprint(Reader &r)
{
    ReaderState &s = r.state;
    BookKeying &k = r.keying;
    const std::string path = openBookPath(s);
    if (path.empty() || path == s.book.fingerprintFile) {
        if (path.empty())
            settleFingerprint(r, path, {});
        k = BookKeying{};
        return false;
    }
    if (k.path != path) {
        k = BookKeying{};
        k.path = path;
        k.stamp = r.services.files->stamp(path);
        std::string kept = r.services.notes->keptFingerprint(path, k.stamp);
        if (!kept.empty()) {
            settleFingerprint(r, path, std::move(kept));
            return false;
        }
        k.file = openBookAt(*r.services.files, path);
        if (!listedAs(k.file, s.shelf.catalogue()[std::size_t(s.shelf.openBook())]))
            k.file.close();
        k.sections = std::max<int>(s.book.sectionCount, 0);
        return true;
    }
    if (k.next <= k.sections) {
        // An unreadable section counts as empty.
        std::u16string text;
        readSectionText(k.file.isOpen() ? k.file : s.book.bookFile, k.next++, text);
        k.hash.add(text);
        return true;
    }
    std::string fingerprint = k.hash.finish();
    // Kept only for the file hashed, unchanged all the while.
    if (k.file.isOpen() && k.stamp.known() && r.services.files->stamp(path) == k.stamp)
        r.services.notes->keepFingerprint(path, k.stamp, fingerprint);
    settleFingerprint(r, path, std::move(fingerprint));
    return false;
}

bool fingerprintUnderWay(const Reader &r)
{
    return !r.keying.path.empty() && r.keying.path == openBookPath(r.state) &&
           r.keying.path != r.state.book.fingerprintFile;
}

const std::string &openBookFingerprint(Reader &r)
{
    while (workOnFingerprint(r)) {
    }
    return r.state.book.fingerprint;
}

void rememberPlace(Reader &r)
{
    ReaderState &s = r.state;
    if (s.book.currentSection < 1 || s.book.currentSection > s.book.sectionCount || s.book.pages.pageCount() <= 0)
        return;
    const std::string &fingerprint = openBookFingerprint(r);
    if (fingerprint.empty())
        return;
    const BookEntry &entry = s.shelf.catalogue()[std::size_t(s.shelf.openBook())];
    r.services.notes->storePlace(fingerprint, entry.title, s.book.sectionCount,
                                 BookPlace{s.book.currentSection, s.book.pages.start(s.book.pages.shownPage())});
    tellFault(r);
}

void rememberPlaceWhileReading(Reader &r)
{
    const Screen screen = r.state.currentScreen;
    if (r.state.shelf.openBook() >= 0 &&
        (screen == Screen::ReadingScreen || screen == Screen::MenuScreen || screen == Screen::NotesScreen))
        rememberPlace(r);
}

bool goToStoredPlace(Reader &r)
{
    ReaderState &s = r.state;
    // The open book is the selected one while it is being opened.
    const std::int16_t open = s.shelf.openBook();
    if (s.shelf.openBook() < 0)
        s.shelf.setOpenBook(s.shelf.selectedBook());
    const std::string fingerprint = openBookFingerprint(r);
    s.shelf.setOpenBook(open);
    if (fingerprint.empty())
        return false;
    const std::optional<BookPlace> place = r.services.notes->place(fingerprint);
    tellFault(r);
    // A section the book no longer has is no place in it.
    if (!place || place->section < 1 || place->section > s.book.sectionCount)
        return false;
    s.book.currentSection = std::int16_t(place->section);
    loadSectionText(s.book, s.book.currentSection);
    beginSectionLayoutAt(r, place->offset);
    s.book.pages.turnTo(s.book.pages.pageHolding(place->offset));
    return true;
}

} // namespace pagora
