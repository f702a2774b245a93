// notes: the marks and notes the reader keeps for a book, in the same
// database and found the same way.
#include "commands.h"

#include "app/book_place.h"
#include "app/install_mode.h"
#include "app/reader.h"
#include "book/section_loader.h"
#include "notes/notes_database.h"
#include "notes/notes_export.h"
#include "platform/files.h"
#include "text/codec.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

using namespace pagora;

namespace {

// Where the reader beside this tool keeps its settings, and so its notes.
std::string defaultDatabase()
{
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    FolderEnvironment env;
    env.exeFolder = ec ? std::string("./") : exe.parent_path().string() + "/";
    if (const char *v = std::getenv("XDG_CONFIG_HOME"))
        env.xdgConfigHome = v;
    if (const char *v = std::getenv("HOME"))
        env.home = v;
    ReaderState s;
    chooseFolders(s, systemFiles(), env);
    return s.folders.settingsFolder + kNotesFileName;
}

// One book, open, with its texts and contents.
struct OpenedBook {
    ToolReader t;
    BookKey key;
    std::vector<std::u16string> texts;
};

bool openBook(OpenedBook &b, const std::string &path, std::string &why)
{
    Reader &r = b.t.r;
    ReaderState &s = r.state;
    BookFault fault = BookFault::None;
    if (!addBook(*r.services.files, r.state.shelf, path, &fault) ||
        (s.shelf.select(0), !openBookFile(*r.services.files, r.state.shelf, r.state.book, &fault))) {
        why = path + ": rejected: " + bookFaultText(fault);
        return false;
    }
    s.book.sectionCount = s.shelf.catalogue()[0].sectionCount;
    loadContents(s.book, &s.shelf.catalogue()[0]);
    b.texts = openBookTexts(r);
    b.key = {textFingerprint(b.texts), s.shelf.catalogue()[0].title, s.book.sectionCount};
    return true;
}

std::string markJson(const StoredMark &m)
{
    return "{\"id\": " + std::to_string(m.id) + ", \"section\": " + std::to_string(m.anchor.section) +
           ", \"start\": " + std::to_string(m.anchor.start) + ", \"length\": " + std::to_string(m.anchor.length) +
           ", \"quote\": " + jsonString(utf16ToUtf8(m.anchor.quote), false) +
           ", \"colour\": " + std::to_string(m.colour) + ", \"note\": " + jsonString(m.note, false) +
           ", \"detached\": " + (m.detached ? "true" : "false") + "}";
}

} // namespace

int notesCommand(const std::vector<std::string> &all)
{
    std::vector<std::string> args;
    std::string db;
    std::optional<long> colour;
    std::optional<std::string> note;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const std::string &a = all[i];
        if (a == "--db" || a == "--colour" || a == "--note") {
            if (i + 1 >= all.size())
                return usageError("notes", a + " needs a value");
            const std::string &v = all[++i];
            if (a == "--db")
                db = v;
            else if (a == "--note")
                note = v;
            else if (!(colour = parseNumber(v)) || *colour < 1 || *colour > 4)
                return usageError("notes", "--colour is 1, 2, 3 or 4");
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            return usageError("notes", "unknown option " + a);
        } else {
            args.push_back(a);
        }
    }
    if (args.size() < 2)
        return usageError("notes", "an action and a book are needed");
    const std::string action = args[0];
    const std::size_t wanted = action == "add" ? 5 : action == "remove" ? 3 : 2;
    if ((action != "add" && action != "list" && action != "remove" && action != "export") || args.size() != wanted)
        return usageError("notes", "expected add BOOK SECTION START LENGTH, list BOOK, remove BOOK ID or export BOOK");
    if (action != "add" && (colour || note))
        return usageError("notes", "--colour and --note belong to add");
    std::vector<long> numbers;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const auto n = parseNumber(args[i]);
        if (!n || *n < 0)
            return usageError("notes", args[i] + " is not a number");
        numbers.push_back(*n);
    }
    if (note && utf16ToUtf8(utf8ToUtf16(*note)) != *note)
        return failure("notes", "the note is not UTF-8 text");

    OpenedBook book;
    std::string why;
    if (!openBook(book, args[1], why))
        return failure("notes", why);
    NotesDatabase notes(db.empty() ? defaultDatabase() : db);
    if (!notes.open())
        return failure("notes", notes.reason());
    // The command goes on with a new, empty database: say where the old one went.
    if (notes.fault() == NotesFault::Damaged)
        std::fprintf(stderr, "pagora-book notes: %s; a new one was started\n", notes.reason().c_str());
    // Marks are found again in this text first, as the reader does.
    const auto marks = notes.marks(book.key, &book.texts);
    if (!marks)
        return failure("notes", notes.reason());

    if (action == "add") {
        const long section = numbers[0], start = numbers[1], length = numbers[2];
        const auto anchor =
            section >= 1 && section <= book.t.r.state.book.sectionCount && start <= INT32_MAX && length <= INT32_MAX
                ? anchorAt(book.texts, int(section), std::int32_t(start), std::int32_t(length))
                : std::nullopt;
        if (!anchor)
            return failure("notes", "the range " + std::to_string(start) + "+" + std::to_string(length) +
                                        " is not within section " + std::to_string(section));
        const auto id = notes.addMark(book.key, *anchor, int(colour.value_or(1)), note.value_or(""));
        if (!id)
            return failure("notes", notes.reason());
        std::printf("{\"id\": %lld}\n", static_cast<long long>(*id));
    } else if (action == "list") {
        std::string out = "[";
        for (std::size_t i = 0; i < marks->size(); ++i)
            out += (i ? ",\n " : "") + markJson((*marks)[i]);
        std::printf("%s]\n", out.c_str());
    } else if (action == "remove") {
        if (!notes.removeMark(book.key.fingerprint, numbers[0]))
            return failure("notes", notes.fault() == NotesFault::None
                                        ? "the book has no mark " + std::to_string(numbers[0])
                                        : notes.reason());
    } else {
        std::fputs(notesMarkdown(book.key.title, book.t.r.state.book.contentsList, *marks).c_str(), stdout);
    }
    return 0;
}
