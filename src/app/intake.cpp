#include "app/intake.h"

#include "app/book_place.h"
#include "app/messages.h"
#include "app/reader.h"
#include "app/search.h"
#include "app/shelf_operations.h"
#include "app/show_screen.h"
#include "book/book_intake.h"
#include "book/bookmark_store.h"
#include "book/catalogue.h"
#include "platform/dialogs.h"
#include "screens/shelf_screen.h"
#include "state/interface_texts.h"
#include "text/codec.h"

namespace pagora {

namespace {

std::u16string quoted(const std::string &path)
{
    return u"《" + utf8ToUtf16(baseName(path)) + u"》";
}

void complain(Reader &r, std::u16string_view what, const std::string &path, std::u16string_view why)
{
    showMessage(r, std::u16string(what) + quoted(path) + u"：" + std::u16string(why));
}

// Where the work stopped and which book to show afterwards.
struct IntakeResult {
    int shelf = -1; // -1: nothing to show
    std::string fileName;
    bool wrote = false; // a book was copied or imported
    bool cancelled = false;
    bool open = false; // the person chose to open a book already there
};

// A book about to be placed on the shelf in folder whose text is already
// there: true when no copy is to be added, because the person opens that
// one instead or closed the question without answering.
bool keepTheOneThere(Reader &r, const std::string &folder, const std::string &book, int shelf, IntakeResult &result)
{
    const std::string there = sameBookIn(*r.services.files, folder, book);
    if (there.empty())
        return false;
    switch (r.services.dialogs->askEitherOr(quoted(there) + std::u16string(texts::sameBookOnShelf),
                                            texts::openTheOneThere, texts::addAnotherCopy)) {
    case Dialogs::Answer::Second: return false;
    case Dialogs::Answer::Neither: return true;
    case Dialogs::Answer::First: break;
    }
    result.shelf = shelf;
    result.fileName = there;
    result.open = true;
    return true;
}

// A book now stands on the item's shelf under fileName (copied or imported
// there): the intake shows it once the batch is done.
void bookProduced(const IntakeItem &item, const std::string &fileName, IntakeResult &result)
{
    result.shelf = item.shelf;
    result.fileName = fileName;
    result.wrote = true;
    result.open = false;
}

// Writes one planned item onto its shelf; reports failures itself.
void takeIn(Reader &r, const IntakeItem &item, IntakeResult &result)
{
    Files &files = *r.services.files;
    switch (item.action) {
    case IntakeAction::Unsupported: complain(r, texts::cannotAdd, item.source, texts::unsupportedFile); return;
    case IntakeAction::NotABook: complain(r, texts::cannotAdd, item.source, texts::notABook); return;
    case IntakeAction::AlreadyThere:
        result.shelf = item.shelf;
        result.fileName = item.fileName;
        return;
    case IntakeAction::Copy:
    case IntakeAction::Import: break;
    }
    const std::string folder = shelfFolder(r.state.folders.mainShelfPath, item.shelf);
    if (item.shelf > 0 && !files.isDirectory(folder))
        files.makeDirectory(folder);
    const bool isImport = item.action == IntakeAction::Import;
    const std::u16string_view failure = isImport ? texts::cannotImport : texts::cannotAdd;
    // An import is written beside the shelf's books under a short name no
    // scan lists (a scan clears it if the reader dies), and moved onto the
    // shelf once it is known to be wanted.
    const std::string book = isImport ? folder + kImportTempPrefix + "book.updb" : item.source;
    if (isImport) {
        BookImporter &importer = *r.services.importer;
        const std::u16string label = std::u16string(texts::importing) + quoted(item.source);
        bool toTraditional = false;
        if (importer.isMostlySimplified(item.source, label)) {
            // Cancel (or Esc) imports nothing, as a cancelled import does.
            const int answer =
                r.services.dialogs->askOneOfThree(quoted(item.source) + std::u16string(texts::mostlySimplified),
                                                  texts::convert, texts::dontConvert, texts::cancel);
            if (answer == 2) {
                result.cancelled = true;
                return;
            }
            toTraditional = answer == 0;
        }
        // A staging file left by a reader that died mid-import would block
        // the move onto this name, which is ours alone.
        files.remove(book);
        std::string error;
        switch (importer.importBook(item.source, book, toTraditional, label, error)) {
        case BookImporter::Outcome::Done: break;
        case BookImporter::Outcome::Cancelled: result.cancelled = true; return;
        case BookImporter::Outcome::Failed: complain(r, failure, item.source, utf8ToUtf16(error)); return;
        }
    }
    if (keepTheOneThere(r, folder, book, item.shelf, result)) {
        if (isImport)
            files.remove(book);
        return;
    }
    // Never over a book already there: the new one takes a free name.
    const std::string name = freeFileName(files, folder, bookNameFor(item));
    if (name.empty() || !(isImport ? files.rename(book, folder + name) : files.copy(book, folder + name))) {
        if (isImport)
            files.remove(book);
        complain(r, failure, item.source, texts::cannotWrite);
        return;
    }
    bookProduced(item, name, result);
}

IntakeResult takeInAll(Reader &r, const std::vector<IntakeItem> &plan)
{
    IntakeResult result;
    for (const IntakeItem &item : plan) {
        takeIn(r, item, result);
        // A cancelled import stops the rest of the batch.
        if (result.cancelled)
            break;
    }
    return result;
}

int indexOf(const ReaderState &s, const std::string &fileName)
{
    for (std::size_t i = 0; i < s.shelf.catalogue().size(); ++i) {
        if (s.shelf.catalogue()[i].fileName == fileName)
            return int(i);
    }
    return -1;
}

// Shows the shelf of the result with its book selected; false when the book
// is not listed there. A shelf that only had a book chosen on it keeps its
// listing, and the book read so far its place, as a click on a title does.
bool showShelfWith(Reader &r, const IntakeResult &result)
{
    ReaderState &s = r.state;
    hideSearchBox(*r.services.searchBox, s.menu);
    // A book handed over while another is read: that one is left here.
    rememberPlaceWhileReading(r);
    int index = result.wrote || result.shelf != s.shelf.currentShelf ? -1 : indexOf(s, result.fileName);
    if (index >= 0 && index != s.shelf.selectedBook()) {
        if (s.shelf.selectedBook() >= 0)
            storeEntryPosition(s.shelf, s.book);
        storeBookmarks(*r.services.files, r.state.bookmarks);
        s.shelf.select(std::int16_t(index));
        loadEntryPosition(s.shelf, s.book);
    } else if (index < 0) {
        s.shelf.currentShelf = std::int16_t(result.shelf);
        s.shelf.shelfPath = shelfFolder(s.folders.mainShelfPath, result.shelf);
        // Stores the open book's bookmarks first.
        releaseCatalogue(*r.services.files, s.shelf, s.book, s.bookmarks);
        rebuildCatalogue(*r.services.files, s.shelf, s.book, s.bookmarks, s.menu, s.search);
        s.shelf.setOpenBook(-1);
        index = indexOf(s, result.fileName);
        if (index >= 0)
            s.shelf.select(std::int16_t(index));
    }
    placeShelfPageOnSelection(s.shelf, s.window.windowMode);
    showScreen(r, Screen::ShelfScreen);
    return index >= 0;
}

} // namespace

bool acceptsDrops(const ReaderState &s)
{
    return s.currentScreen == Screen::ShelfScreen;
}

bool canTakeIn(Reader &r, const std::string &path)
{
    return isBookName(baseName(path)) || r.services.files->isDirectory(path) || r.services.importer->isImportable(path);
}

namespace {

// The books and texts directly in a folder; hidden files and folders within
// are left out.
std::vector<std::string> folderItems(Reader &r, const std::string &folder)
{
    const std::string base = folder.ends_with('/') ? folder : folder + "/";
    std::vector<std::string> items;
    for (const std::string &name : r.services.files->list(base)) {
        const std::string path = base + name;
        if (!name.starts_with('.') && !r.services.files->isDirectory(path) && canTakeIn(r, path))
            items.push_back(path);
    }
    return items;
}

// The dropped paths with each folder replaced by its items, once the person
// has agreed to their number.
std::vector<std::string> withFoldersOpened(Reader &r, const std::vector<std::string> &paths)
{
    std::vector<std::string> out;
    for (const std::string &path : paths) {
        if (!r.services.files->isDirectory(path)) {
            out.push_back(path);
            continue;
        }
        std::vector<std::string> items = folderItems(r, path);
        const std::string count = std::to_string(items.size());
        if (items.empty())
            showMessage(r, texts::emptyFolder);
        else if (askYesNo(r, std::u16string(texts::addFolderBefore) + utf8ToUtf16(count) +
                                 std::u16string(texts::addFolderAfter)))
            out.insert(out.end(), items.begin(), items.end());
    }
    return out;
}

} // namespace

void dropFiles(Reader &r, const std::vector<std::string> &given)
{
    if (given.empty() || !acceptsDrops(r.state))
        return;
    const std::vector<std::string> paths = withFoldersOpened(r, given);
    if (paths.empty())
        return;
    const IntakeResult result = takeInAll(r, planIntake(*r.services.files, *r.services.importer, r.state.folders, paths,
                                                        r.state.shelf.currentShelf, false));
    if (result.shelf >= 0 && showShelfWith(r, result) && result.open)
        openSelectedBook(r);
}

std::vector<std::string> chooseFilesToTakeIn(Reader &r)
{
    if (!acceptsDrops(r.state))
        return {};
    return r.services.dialogs->chooseFilesToOpen();
}

void openFiles(Reader &r, const std::vector<std::string> &paths)
{
    if (paths.empty())
        return;
    const IntakeResult result =
        takeInAll(r, planIntake(*r.services.files, *r.services.importer, r.state.folders, paths, 0, true));
    if (result.shelf >= 0 && showShelfWith(r, result))
        openSelectedBook(r);
}

} // namespace pagora
