#include "app/shelf_operations.h"

#include "app/book_place.h"
#include "app/messages.h"
#include "app/navigation.h"
#include "app/reader.h"
#include "app/show_screen.h"
#include "book/book_opening.h"
#include "book/bookmark_store.h"
#include "book/catalogue.h"
#include "book/section_loader.h"
#include "render/layout_walk.h"
#include "state/interface_texts.h"

namespace pagora {

void setBookCaption(Reader &r)
{
    const BookEntry *entry = r.state.shelf.selectedEntry();
    if (!entry)
        return;
    std::u16string caption = entry->title;
    caption += texts::captionSeparator;
    caption += texts::caption;
    r.services.window->setCaption(caption);
}

namespace {

// Page p of the section just loaded, within 1..pageCount; its pages are
// laid out as far as p.
std::int16_t pageWithinSection(const ReaderState &s, std::int16_t p)
{
    if (p > 0 && s.book.pages.pageCount() < p)
        p = s.book.pages.pageCount();
    if (p <= 0)
        p = 1;
    return p;
}

} // namespace

void openSelectedBook(Reader &r)
{
    ReaderState &s = r.state;
    if (!s.shelf.selectedEntry())
        return;
    if (s.shelf.openBook() == -1 || s.shelf.openBook() != s.shelf.selectedBook()) {
        const OpenOutcome outcome = openSelectedEntry(*r.services.files, s.shelf, s.book, s.bookmarks, s.search);
        if (outcome == OpenOutcome::Refused)
            return;
        setBookCaption(r);
        // The place kept in the notes store outlives the session; the entry's does not.
        const bool stored = goToStoredPlace(r);
        if (stored ? s.book.currentSection == 1 && s.book.pages.currentPage() == 1
                   : outcome == OpenOutcome::AtContents) {
            s.shelf.cameFromMenu = EnteredFrom::Shelf;
            s.shelf.setOpenBook(-1);
            s.book.contentsStart = 0;
            showScreen(r, Screen::ContentsScreen);
            return;
        }
        s.shelf.setOpenBook(s.shelf.selectedBook());
        if (!stored) {
            const std::int16_t p = s.book.pages.currentPage();
            loadSectionText(s.book, s.book.currentSection);
            beginSectionLayout(r, p);
            s.book.pages.turnTo(pageWithinSection(s, p));
        }
    }
    showPage(r, s.book.pages.currentPage());
}

void deleteSelectedBook(Reader &r)
{
    ReaderState &s = r.state;
    const BookEntry *entry = s.shelf.selectedEntry();
    if (s.shelf.bookCount() == 0 || !entry)
        return;
    std::u16string question = std::u16string(texts::deleteText) + u"《";
    question += entry->title;
    question += u"》？";
    if (!askYesNo(r, question))
        return;
    closeOpenBook(s.shelf, s.book);
    if (!r.services.files->remove(s.shelf.shelfPath + entry->fileName))
        return;
    // The book that followed takes the place; after the last one, the one before.
    s.shelf.removeSelected();
    s.shelf.cameFromMenu = EnteredFrom::Shelf;
    placeShelfPageOnSelection(s.shelf, s.window.windowMode);
    showScreen(r, Screen::ShelfScreen);
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
    ReaderState &s = r.state;
    const BookEntry *entry = s.shelf.selectedEntry();
    if (!entry)
        return;
    const int k = s.shelf.moveTarget;
    if (k < 0 || k > 9)
        return;
    const std::string folder = shelfFolder(s.folders.mainShelfPath, k);
    const std::string source = s.shelf.shelfPath + entry->fileName;
    const std::string target = folder + entry->fileName;
    // Copying a file onto itself and then deleting the "source" would lose
    // the only copy.
    if (source == target)
        return;
    // An identical copy (left by an earlier "No" to the delete question) is
    // replaced silently; a different book of that name only when the user says so.
    if (wouldReplaceAnotherBook(*r.services.files, source, target)) {
        std::u16string question = std::u16string(texts::replaceSameName) + u"《";
        question += entry->title;
        question += u"》取代？";
        if (!askYesNo(r, question))
            return;
    }
    closeOpenBook(s.shelf, s.book);
    if (k > 0 && !r.services.files->isDirectory(folder))
        r.services.files->makeDirectory(folder);
    if (!r.services.files->copy(source, target))
        return;
    deleteSelectedBook(r);
}

void reopenLastBook(Reader &r)
{
    ReaderState &s = r.state;
    if (!s.saved.reopenSavedBook)
        return;
    s.saved.reopenSavedBook = false;
    if (s.shelf.bookCount() == 0)
        return;
    std::int16_t found = -1;
    for (std::size_t i = 0; i < s.shelf.catalogue().size(); ++i) {
        if (s.shelf.catalogue()[i].fileName == s.saved.savedBookFile) {
            found = std::int16_t(i);
            break;
        }
    }
    s.shelf.select(found);
    if (found < 0 || !openSelectedIfUnchanged(*r.services.files, s.shelf, s.book, s.search))
        return;

    BookEntry &entry = *s.shelf.selectedEntry();
    s.book.sectionCount = entry.sectionCount;
    loadContents(s.book, &entry);
    loadBookmarks(*r.services.files, s.bookmarks, s.shelf, s.book);
    // A section the book no longer has (the file was replaced) reopens at the first.
    std::int16_t section = s.saved.savedSection;
    if (section < 1 || section > s.book.sectionCount)
        section = 1;
    s.book.currentSection = section;
    entry.lastSection = section;
    loadSectionText(s.book, section);
    // Only the pages up to the one shown before the first paint.
    beginSectionLayout(r, s.saved.savedPage);
    const std::int16_t p = pageWithinSection(s, s.saved.savedPage);
    entry.lastPage = p;
    // No repaint here: the panel's first paint shows the page.
    s.book.pages.show(p);
    s.shelf.setOpenBook(s.shelf.selectedBook());
    enterScreen(r, Screen::ReadingScreen);
    placeShelfPageOnSelection(s.shelf, s.window.windowMode);
    setBookCaption(r);
}

} // namespace pagora
