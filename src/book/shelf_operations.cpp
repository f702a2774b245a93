#include "book/shelf_operations.h"

#include "app/input_dispatch.h"
#include "app/interface_texts.h"
#include "app/startup.h"
#include "book/bookmark_store.h"
#include "book/catalogue.h"
#include "book/section_loader.h"
#include "render/layout_walk.h"
#include "render/navigation.h"

int shelfPageSize(const ReaderState &s)
{
    return s.windowMode > 2 ? 48 : 32;
}

void placeShelfPageOnSelection(ReaderState &s)
{
    const int p = shelfPageSize(s);
    s.shelfPageStart = s.selectedBook < 0 ? 0 : p * (s.selectedBook / p);
}

void setBookCaption(Reader &r)
{
    const BookEntry *entry = selectedEntry(r.s);
    if (!entry || !r.p.window)
        return;
    std::u16string caption = entry->title;
    caption += texts::captionSeparator;
    caption += texts::caption;
    r.p.window->setCaption(caption);
}

namespace {

void closeOpenBook(Reader &r)
{
    closeBookFile(r);
    r.s.openBook = -1;
}

// The file fields of the state that a probe or an open overwrite.
struct OpenFileState {
    int bookStream;
    std::int16_t openBook, bookCount, sectionCount, currentSection, recordCount;
    std::int32_t textLength, fileSize, recordEnd, readPos;
    BookEncoding bookEncoding;
    std::array<std::uint8_t, kRecordListEntries * 8> recordList;
    std::vector<std::uint8_t> recordBytes, fieldBuffer;

    explicit OpenFileState(const ReaderState &s)
        : bookStream(s.bookStream), openBook(s.openBook), bookCount(s.bookCount), sectionCount(s.sectionCount),
          currentSection(s.currentSection), recordCount(s.recordCount), textLength(s.textLength), fileSize(s.fileSize),
          recordEnd(s.recordEnd), readPos(s.readPos), bookEncoding(s.bookEncoding), recordList(s.recordList),
          recordBytes(s.recordBytes), fieldBuffer(s.fieldBuffer)
    {
    }
    void restore(ReaderState &s)
    {
        s.bookStream = bookStream, s.openBook = openBook, s.bookCount = bookCount;
        s.sectionCount = sectionCount, s.currentSection = currentSection, s.recordCount = recordCount;
        s.textLength = textLength, s.fileSize = fileSize, s.recordEnd = recordEnd, s.readPos = readPos;
        s.bookEncoding = bookEncoding, s.recordList = recordList;
        s.recordBytes = std::move(recordBytes), s.fieldBuffer = std::move(fieldBuffer);
    }
};

// The file may have been replaced or removed since the scan. It is read the
// way the scan read it, and only a file that still describes the selected
// entry is opened. A refusal leaves everything as it was, the book open
// until then included: the menu of that book may still be shown.
bool openSelectedFileIfUnchanged(Reader &r)
{
    ReaderState &s = r.s;
    const BookEntry *entry = selectedEntry(s);
    if (!entry || !r.p.files)
        return false;
    OpenFileState kept(s);
    // The probe and the open use bookStream; the open book's stays aside.
    s.bookStream = -1;
    const std::size_t index = std::size_t(s.selectedBook);
    const std::size_t before = s.catalogue.size();
    const std::string fileName = entry->fileName;

    bool same = addBook(r, fileName);
    if (s.catalogue.size() > before) {
        // addBook appended: compare, then take the probe back out.
        const BookEntry &probe = s.catalogue.back();
        const BookEntry &listed = s.catalogue[index];
        same = same && probe.title == listed.title && probe.sectionCount == listed.sectionCount &&
               probe.tocOffset == listed.tocOffset;
        s.catalogue.resize(before);
    }
    s.bookCount = kept.bookCount;
    if (!same || !openBookFile(r)) {
        closeBookFile(r);
        kept.restore(s);
        return false;
    }
    if (kept.bookStream >= 0)
        r.p.files->close(kept.bookStream);
    s.bookCount = kept.bookCount;
    s.currentSection = kept.currentSection;
    s.textLength = kept.textLength;
    // A hit remembered in another book is no place in this one.
    forgetSearchHit(s);
    return true;
}

// Page p of the section just paginated, within 1..pageCount.
std::int16_t pageWithinSection(const ReaderState &s, std::int16_t p)
{
    if (p > 0 && s.pageCount < p)
        p = s.pageCount;
    if (p <= 0)
        p = 1;
    return p;
}

std::int32_t pageStart(const ReaderState &s, std::int16_t page)
{
    if (page < 1 || std::size_t(page) >= s.pageStarts.size())
        return 0;
    return s.pageStarts[std::size_t(page)];
}

} // namespace

void openSelectedBook(Reader &r)
{
    ReaderState &s = r.s;
    if (!selectedEntry(s))
        return;
    if (s.openBook == -1 || s.openBook != s.selectedBook) {
        if (!openSelectedFileIfUnchanged(r))
            return;
        BookEntry &entry = *selectedEntry(s);
        s.sectionCount = entry.sectionCount;
        loadContents(r);
        loadBookmarks(r);
        s.currentSection = entry.lastSection;
        s.currentPage = entry.lastPage;
        setBookCaption(r);
        if (s.currentSection == 1 && s.currentPage == 1) {
            // A book at its very beginning starts on its table of contents.
            s.cameFromMenu = 0;
            s.openBook = -1;
            s.contentsStart = 0;
            showScreen(r, ContentsScreen);
            return;
        }
        const std::int16_t p = s.currentPage;
        readRecord(r);
        paginate(r);
        s.currentPage = pageWithinSection(s, p);
    }
    showPageAt(r, pageStart(s, s.currentPage));
}

void deleteSelectedBook(Reader &r)
{
    ReaderState &s = r.s;
    const BookEntry *entry = selectedEntry(s);
    if (s.bookCount == 0 || !entry)
        return;
    std::u16string question = std::u16string(texts::deleteText) + u"《";
    question += entry->title;
    question += u"》？";
    if (!askYesNo(r, question))
        return;
    closeOpenBook(r);
    if (!r.p.files || !r.p.files->remove(s.shelfPath + entry->fileName))
        return;
    s.catalogue.erase(s.catalogue.begin() + s.selectedBook);
    s.bookCount = std::int16_t(s.bookCount - 1);
    // The book that followed takes the place; after the last one, the one before.
    if (s.selectedBook == s.bookCount)
        s.selectedBook = std::int16_t(s.selectedBook - 1);
    s.openBook = -1;
    s.cameFromMenu = 0;
    placeShelfPageOnSelection(s);
    showScreen(r, ShelfScreen);
}

namespace {

// Whether copying source to target would lose a book: target holds a file
// that is not the same book byte for byte.
bool wouldReplaceAnotherBook(Files &files, const std::string &source, const std::string &target)
{
    if (!files.exists(target))
        return false;
    std::string ours, theirs;
    return !readWholeFile(files, source, ours) || !readWholeFile(files, target, theirs) || ours != theirs;
}

} // namespace

void moveSelectedBook(Reader &r)
{
    ReaderState &s = r.s;
    const BookEntry *entry = selectedEntry(s);
    if (!entry || !r.p.files)
        return;
    const int k = s.moveTarget;
    if (k < 0 || k > 9)
        return;
    const std::string folder = shelfFolder(s.mainShelfPath, k);
    const std::string source = s.shelfPath + entry->fileName;
    const std::string target = folder + entry->fileName;
    // Copying a file onto itself and then deleting the "source" would lose
    // the only copy.
    if (source == target)
        return;
    // An identical copy (left by an earlier "No" to the delete question) is
    // replaced silently; a different book of that name only when the user says so.
    if (wouldReplaceAnotherBook(*r.p.files, source, target)) {
        std::u16string question = std::u16string(texts::replaceSameName) + u"《";
        question += entry->title;
        question += u"》取代？";
        if (!askYesNo(r, question))
            return;
    }
    closeOpenBook(r);
    if (k > 0 && !r.p.files->isDirectory(folder))
        r.p.files->makeDirectory(folder);
    if (!r.p.files->copy(source, target))
        return;
    deleteSelectedBook(r);
}

void reopenLastBook(Reader &r)
{
    ReaderState &s = r.s;
    if (s.currentScreen != ReadingScreen)
        return;
    s.currentScreen = ShelfScreen;
    if (s.bookCount == 0)
        return;
    std::int16_t found = -1;
    for (std::size_t i = 0; i < s.catalogue.size(); ++i) {
        if (s.catalogue[i].fileName == s.savedBookFile) {
            found = std::int16_t(i);
            break;
        }
    }
    s.selectedBook = found;
    if (found < 0 || !openSelectedFileIfUnchanged(r))
        return;

    BookEntry &entry = *selectedEntry(s);
    s.sectionCount = entry.sectionCount;
    loadContents(r);
    loadBookmarks(r);
    // A section the book no longer has (the file was replaced) reopens at the first.
    std::int16_t section = s.savedSection;
    if (section < 1 || section > s.sectionCount)
        section = 1;
    s.currentSection = section;
    entry.lastSection = section;
    readRecord(r);
    paginate(r);
    const std::int16_t p = pageWithinSection(s, s.savedPage);
    s.currentPage = p;
    entry.lastPage = p;
    // No repaint here: the panel's first paint shows the page.
    s.shownPageStart = pageStart(s, p);
    s.openBook = s.selectedBook;
    s.currentScreen = ReadingScreen;
    if (r.p.surface)
        r.p.surface->setBackgroundColour(s.readingColour);
    placeShelfPageOnSelection(s);
    setBookCaption(r);
}
