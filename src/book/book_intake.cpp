#include "book/book_intake.h"

#include "book/book_records.h"
#include "book/catalogue.h"
#include "book/section_loader.h"
#include "platform/files.h"
#include "platform/importer.h"
#include "state/reader_state.h"

#include <cstdint>

#include <string_view>

namespace pagora {

namespace {

std::string withoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// A book opened on its own, away from the shelf's open book.
struct Probe {
    BookFile file;
    BookEntry entry;
};

// Opens the file the way the shelf scan does; false when it is not a
// readable book.
bool openProbe(Probe &probe, Files &files, const std::string &path)
{
    probe.file = openBookAt(files, path);
    return probe.file.isOpen() && readHeaderEntry(probe.file, probe.entry);
}

bool isReadableBook(Files &files, const std::string &path)
{
    Probe probe;
    return openProbe(probe, files, path);
}

std::int64_t sectionBytes(const Probe &book)
{
    std::int64_t total = 0;
    for (int i = 1; i <= book.entry.sectionCount; ++i) {
        std::int64_t start = 0;
        std::int64_t end = 0;
        if (book.file.recordRange(i, start, end))
            total += end - start;
    }
    return total;
}

// Section by section; a section neither can read counts as equal.
bool sameSections(Probe &a, Probe &b)
{
    for (int i = 1; i <= a.entry.sectionCount; ++i) {
        std::u16string textA, textB;
        if (readSectionText(a.file, i, textA) != readSectionText(b.file, i, textB) || textA != textB)
            return false;
    }
    return true;
}

} // namespace

std::string sameBookIn(Files &files, const std::string &folder, const std::string &path)
{
    Probe book;
    if (!openProbe(book, files, path))
        return {};
    const std::string self = files.canonicalPath(path);
    const std::int64_t bytes = sectionBytes(book);
    for (const std::string &name : files.list(folder)) {
        if (!isBookName(name) || files.canonicalPath(folder + name) == self)
            continue;
        Probe other;
        // The header alone rules out most books: a count of sections, and the
        // size of their text in the same encoding.
        if (openProbe(other, files, folder + name) && other.entry.sectionCount == book.entry.sectionCount &&
            (other.file.bookEncoding() != book.file.bookEncoding() || sectionBytes(other) == bytes) &&
            sameSections(book, other))
            return name;
    }
    return {};
}

bool isBookName(std::string_view name)
{
    // A name that is only the extension names no book.
    const auto named = [name](std::string_view extension) {
        return name.size() > extension.size() && endsWithNoCase(name, extension);
    };
    return named(".updb") || named(".pdb");
}

std::string baseName(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int shelfHolding(Files &files, const Folders &folders, const std::string &path)
{
    if (folders.mainShelfPath.empty())
        return -1;
    const std::string folder =
        withoutTrailingSlash(files.canonicalPath(folderOf(path).empty() ? std::string(".") : folderOf(path)));
    for (int k = 0; k <= 9; ++k) {
        const std::string shelf = shelfFolder(folders.mainShelfPath, k);
        if (k > 0 && !files.isDirectory(shelf))
            continue;
        if (withoutTrailingSlash(files.canonicalPath(shelf)) == folder)
            return k;
    }
    return -1;
}

std::vector<IntakeItem> planIntake(Files &files, BookImporter &importer, const Folders &folders,
                                   const std::vector<std::string> &paths, int shelf, bool anyShelf)
{
    std::vector<IntakeItem> plan;
    for (const std::string &path : paths) {
        IntakeItem item;
        item.source = path;
        item.shelf = shelf;
        const std::string name = baseName(path);
        if (isBookName(name)) {
            if (!isReadableBook(files, path)) {
                item.action = IntakeAction::NotABook;
            } else {
                const int holder = shelfHolding(files, folders, path);
                if (holder >= 0 && (anyShelf || holder == shelf)) {
                    item.action = IntakeAction::AlreadyThere;
                    item.shelf = holder;
                    item.fileName = name;
                } else {
                    item.action = IntakeAction::Copy;
                }
            }
        } else if (importer.isImportable(path)) {
            item.action = IntakeAction::Import;
        }
        plan.push_back(std::move(item));
    }
    return plan;
}

std::string bookNameFor(const IntakeItem &item)
{
    std::string name = baseName(item.source);
    if (item.action != IntakeAction::Import)
        return name;
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.resize(dot);
    return name + ".updb";
}

std::string freeFileName(Files &files, const std::string &folder, const std::string &wanted)
{
    if (!files.exists(folder + wanted))
        return wanted;
    const std::size_t dot = wanted.rfind('.');
    const std::string stem = dot == std::string::npos || dot == 0 ? wanted : wanted.substr(0, dot);
    const std::string extension = stem.size() == wanted.size() ? std::string() : wanted.substr(dot);
    for (int n = 2; n < 1000; ++n) {
        std::string name = stem + " (" + std::to_string(n) + ")" + extension;
        if (!files.exists(folder + name))
            return name;
    }
    return {};
}

} // namespace pagora
