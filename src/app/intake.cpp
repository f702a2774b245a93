#include "app/intake.h"

#include "app/book_place.h"
#include "app/input_dispatch.h"
#include "app/search.h"
#include "app/shelf_operations.h"
#include "app/startup.h"
#include "book/book_intake.h"
#include "book/bookmark_store.h"
#include "book/catalogue.h"
#include "platform/codec.h"
#include "platform/reader.h"
#include "screens/shelf_screen.h"
#include "state/interface_texts.h"

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
};

// Writes one planned item onto its shelf; reports failures itself.
void takeIn(Reader &r, const IntakeItem &item, IntakeResult &result)
{
    Files &files = *r.p.files;
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
    const std::string folder = shelfFolder(r.s.mainShelfPath, item.shelf);
    if (item.shelf > 0 && !files.isDirectory(folder))
        files.makeDirectory(folder);
    // Never over a book already there: the new one takes a free name.
    const std::string name = freeFileName(files, folder, bookNameFor(item));
    const bool isImport = item.action == IntakeAction::Import;
    const std::u16string_view failure = isImport ? texts::cannotImport : texts::cannotAdd;
    if (name.empty()) {
        complain(r, failure, item.source, texts::cannotWrite);
        return;
    }
    if (!isImport) {
        if (!files.copy(item.source, folder + name)) {
            complain(r, failure, item.source, texts::cannotWrite);
            return;
        }
    } else {
        BookImporter &importer = *r.p.importer;
        const std::u16string label = std::u16string(texts::importing) + quoted(item.source);
        const bool toTraditional = importer.isMostlySimplified(item.source, label) &&
                                   askYesNo(r, quoted(item.source) + std::u16string(texts::mostlySimplified));
        std::string error;
        switch (importer.importBook(item.source, folder + name, toTraditional, label, error)) {
        case BookImporter::Outcome::Done: break;
        case BookImporter::Outcome::Cancelled: result.cancelled = true; return;
        case BookImporter::Outcome::Failed: complain(r, failure, item.source, utf8ToUtf16(error)); return;
        }
    }
    result.shelf = item.shelf;
    result.fileName = name;
    result.wrote = true;
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
    for (std::size_t i = 0; i < s.catalogue.size(); ++i) {
        if (s.catalogue[i].fileName == fileName)
            return int(i);
    }
    return -1;
}

// Shows the shelf of the result with its book selected; false when the book
// is not listed there. A shelf that only had a book chosen on it keeps its
// listing, and the book read so far its place, as a click on a title does.
bool showShelfWith(Reader &r, const IntakeResult &result)
{
    ReaderState &s = r.s;
    hideSearchBox(r);
    // A book handed over while another is read: that one is left here.
    rememberPlaceWhileReading(r);
    int index = result.wrote || result.shelf != s.currentShelf ? -1 : indexOf(s, result.fileName);
    if (index >= 0 && index != s.selectedBook) {
        if (s.selectedBook >= 0)
            storeEntryPosition(s);
        storeBookmarks(r);
        s.selectedBook = std::int16_t(index);
        loadEntryPosition(s);
    } else if (index < 0) {
        s.currentShelf = std::int16_t(result.shelf);
        s.shelfPath = shelfFolder(s.mainShelfPath, result.shelf);
        // Stores the open book's bookmarks first.
        releaseCatalogue(r);
        rebuildCatalogue(r);
        s.openBook = -1;
        index = indexOf(s, result.fileName);
        if (index >= 0)
            s.selectedBook = std::int16_t(index);
    }
    placeShelfPageOnSelection(s);
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
    return isBookName(baseName(path)) || (r.p.importer->isImportable(path));
}

void dropFiles(Reader &r, const std::vector<std::string> &paths)
{
    if (paths.empty() || !acceptsDrops(r.s))
        return;
    const IntakeResult result = takeInAll(r, planIntake(r, paths, r.s.currentShelf, false));
    if (result.shelf >= 0)
        showShelfWith(r, result);
}

void openFiles(Reader &r, const std::vector<std::string> &paths)
{
    if (paths.empty())
        return;
    const IntakeResult result = takeInAll(r, planIntake(r, paths, 0, true));
    if (result.shelf >= 0 && showShelfWith(r, result))
        openSelectedBook(r);
}

} // namespace pagora
