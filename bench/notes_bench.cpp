// Marks and places with a book of 10,000 marks against the same book with
// none: opening the book from the shelf and drawing its page, the notes
// screen's first page, and one mark added and committed. And a book of 200
// sections of 50,000 characters (20 MB) opened a second time, by a reader
// started anew: how much of its file is read, and how many of its sections,
// to show its page.
//
// The database lives in a folder made in the working folder, so that commits
// reach a real disk (a temporary folder may be in memory).
#include "prose_text.h"

#include "app/book_place.h"
#include "app/notes_handlers.h"
#include "app/passage_mark_commands.h"
#include "app/reader.h"
#include "app/shelf_operations.h"
#include "book/book_records.h"
#include "book/book_writer.h"
#include "book/catalogue.h"
#include "book/section_loader.h"
#include "notes/notes_database.h"
#include "platform/files.h"
#include "qt/qt_surface.h"
#include "render/page_painter.h"
#include "render/primitives.h"
#include "state/interface_texts.h"
#include "text/codec.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <tuple>

using namespace pagora;

namespace {

constexpr int kSections = 40;
constexpr int kMarks = 10000;

struct Fixture {
    std::string folder;
    std::vector<std::u16string> texts;
    BookKey key;

    Fixture()
    {
        folder = std::filesystem::absolute("notes-bench-XXXXXX").string();
        if (!mkdtemp(folder.data()))
            std::abort();
        folder += "/";
        BookRecipe spec;
        spec.encoding = BookEncoding::UTF16LE;
        spec.title = u"千字文";
        for (int k = 0; k < kSections; ++k) {
            texts.push_back(proseText({.seed = unsigned(k + 1), .units = 15000, .cutToUnits = true}));
            spec.sectionTexts.push_back(texts.back());
            spec.sectionTitles.push_back(u"第" + std::u16string(1, char16_t(0x4E00 + k)) + u"回");
        }
        std::string bytes;
        if (!writeBookBytes(spec, bytes) || !replaceFileAtomically(systemFiles(), folder + "book.updb", bytes))
            std::abort();
        key = {textFingerprint(texts), spec.title, kSections};
        for (const int marks : {0, kMarks})
            makeDatabase(database(marks), marks);
    }
    ~Fixture() { std::filesystem::remove_all(folder); }
    std::string database(int marks) const { return folder + "notes-" + std::to_string(marks) + ".sqlite"; }

    // One transaction for all: the figures are about using the marks.
    void makeDatabase(const std::string &path, int marks)
    {
        {
            NotesDatabase db(path);
            db.storePlace(key.fingerprint, key.title, kSections, {7, 4000});
        }
        sqlite3 *raw = nullptr;
        sqlite3_open(path.c_str(), &raw);
        sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt *ins = nullptr;
        sqlite3_prepare_v2(raw,
                           "INSERT INTO marks(book_id, section, start, length, quote, context_before, "
                           "context_after, colour, note, created, changed) VALUES(1, ?, ?, ?, ?, ?, ?, ?, ?, 0, 0)",
                           -1, &ins, nullptr);
        std::mt19937 rng(5);
        for (int i = 0; i < marks; ++i) {
            const int section = int(rng() % kSections) + 1;
            const auto a = anchorAt(texts, section, std::int32_t(rng() % 14900), std::int32_t(5 + rng() % 60));
            const std::string quote = utf16ToUtf8(a->quote), before = utf16ToUtf8(a->before),
                              after = utf16ToUtf8(a->after), note = i % 3 ? "" : "一條附註";
            sqlite3_bind_int(ins, 1, a->section);
            sqlite3_bind_int(ins, 2, a->start);
            sqlite3_bind_int(ins, 3, a->length);
            sqlite3_bind_text(ins, 4, quote.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(ins, 5, before.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(ins, 6, after.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(ins, 7, 1 + i % 4);
            sqlite3_bind_text(ins, 8, note.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_step(ins);
            sqlite3_reset(ins);
        }
        sqlite3_finalize(ins);
        sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(raw);
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

// A reader on the shelf of folder, at 1280 x 800.
void prepareReaderOn(Reader &r, QtSurface &surface, Files &files, const std::string &folder)
{
    ReaderState &s = r.state;
    r.services.surface = &surface;
    r.services.files = &files;
    s.window.clientWidth = 1280;
    s.window.clientHeight = 800;
    s.look.fontName = std::string(texts::defaultFaceUtf8);
    remakeInterfaceFont(r);
    remakeReadingFont(r);
    s.shelf.shelfPath = folder;
    rebuildCatalogue(*r.services.files, r.state.shelf, r.state.book, r.state.bookmarks, r.state.menu, r.state.search);
}

void prepareReader(Reader &r, QtSurface &surface)
{
    prepareReaderOn(r, surface, systemFiles(), fixture().folder);
}

// Opening the book from the shelf at its stored place and drawing that
// page, with the marks of the section shown read and drawn beside it.
void openAndDrawPage(benchmark::State &state)
{
    const int marks = int(state.range(0));
    QtSurface surface;
    surface.resize(1280, 800);
    Reader r;
    prepareReader(r, surface);
    NotesDatabase db(fixture().database(marks));
    r.services.notes = &db;
    std::size_t shown = 0;
    for (auto _ : state) {
        r.state.book.bookFile.close();
        r.state.shelf.setOpenBook(-1);
        r.state.book.fingerprintFile.clear(); // as for a book not yet opened in this session
        r.state.book.shownMarks = {};
        r.state.shelf.select(0);
        // Shows the page: the section's marks are read and drawn with it.
        openSelectedBook(r);
        shown = r.state.book.shownMarks.marks.size();
    }
    state.counters["marksInSection"] = double(shown);
    state.SetLabel(std::to_string(marks) + " marks");
}

// The book open on its page, the reader as the reading screen has it.
struct OpenReader {
    QtSurface surface;
    Reader r;
    NotesDatabase db;
    explicit OpenReader(const std::string &database) : db(database)
    {
        surface.resize(1280, 800);
        prepareReader(r, surface);
        r.services.notes = &db;
        r.state.shelf.select(0);
        openSelectedBook(r);
    }
};

// The notes screen opened from the menu: every mark checked against the
// text of the whole book (and moved where it moved), all of them listed in
// book order, and the first page drawn.
void notesScreenFirstPage(benchmark::State &state)
{
    OpenReader o(fixture().database(kMarks));
    for (auto _ : state) {
        o.r.state.currentScreen = Screen::MenuScreen;
        openNotesScreen(o.r);
    }
    state.counters["listed"] = double(o.r.state.book.notes.entries.size());
}

// The selection marked from its menu, with a note: stored, committed and
// added to the marks the page draws.
void addMarkCommitted(benchmark::State &state)
{
    Fixture &f = fixture();
    const std::string path = f.folder + "add.sqlite";
    std::filesystem::copy_file(f.database(kMarks), path, std::filesystem::copy_options::overwrite_existing);
    OpenReader o(path);
    Selection &sel = o.r.state.book.selection;
    std::int32_t start = 0;
    for (auto _ : state) {
        sel.start = start;
        sel.length = 12;
        start = (start + 37) % 14000;
        if (!markSelection(o.r, 2, u"新的附註"))
            state.SkipWithError("not stored");
    }
}

} // namespace

// The real files, with the bytes read counted and where they were read.
class CountingFiles final : public Files {
public:
    struct Read {
        std::string path;
        std::int64_t start, end;
    };
    std::int64_t bytesRead = 0;
    std::vector<Read> reads;
    int openRead(const std::string &path) override { return opened(path, m_files.openRead(path)); }
    int openReadSized(const std::string &path, std::int64_t &size) override
    {
        return opened(path, m_files.openReadSized(path, size));
    }
    int createNew(std::string &path) override { return m_files.createNew(path); }
    void close(int handle) override { m_files.close(handle); }
    std::int64_t size(int handle) override { return m_files.size(handle); }
    std::int64_t seek(int handle, std::int64_t position) override
    {
        const std::int64_t at = m_files.seek(handle, position);
        m_open[handle].second = at;
        return at;
    }
    std::int64_t read(int handle, void *buffer, std::int64_t count) override
    {
        const std::int64_t n = m_files.read(handle, buffer, count);
        bytesRead += std::max<std::int64_t>(n, 0);
        auto &[path, at] = m_open[handle];
        if (n > 0) {
            reads.push_back({path, at, at + n});
            at += n;
        }
        return n;
    }
    bool write(int handle, const void *buffer, std::int64_t count) override
    {
        return m_files.write(handle, buffer, count);
    }
    bool flush(int handle) override { return m_files.flush(handle); }
    bool exists(const std::string &path) override { return m_files.exists(path); }
    bool isDirectory(const std::string &path) override { return m_files.isDirectory(path); }
    bool isWritableDirectory(const std::string &path) override { return m_files.isWritableDirectory(path); }
    bool makeDirectory(const std::string &path) override { return m_files.makeDirectory(path); }
    bool remove(const std::string &path) override { return m_files.remove(path); }
    bool copy(const std::string &from, const std::string &to) override { return m_files.copy(from, to); }
    bool rename(const std::string &from, const std::string &to) override { return m_files.rename(from, to); }
    std::vector<std::string> list(const std::string &folder) override { return m_files.list(folder); }
    FileStamp stamp(const std::string &path) override { return m_files.stamp(path); }

    // How many of the first `sections` sections of the book at path had any
    // of their bytes read (record i holds section i).
    int sectionsRead(const std::string &path, int sections)
    {
        const std::vector<Read> seen = reads;
        BookFile book = openBookAt(*this, path);
        int count = 0;
        for (int i = 1; i <= sections && i < book.recordCount(); ++i) {
            std::int64_t start = 0, end = 0;
            if (book.recordRange(i, start, end))
                count += std::any_of(seen.begin(), seen.end(),
                                     [&](const Read &r) { return r.path == path && r.start < end && start < r.end; });
        }
        reads = seen;
        return count;
    }

private:
    int opened(const std::string &path, int handle)
    {
        if (handle >= 0)
            m_open[handle] = {path, 0};
        return handle;
    }
    Files &m_files = systemFiles();
    std::map<int, std::pair<std::string, std::int64_t>> m_open;
};

// A folder holding one book of 200 sections of 50,000 characters.
struct BigBookShelf {
    std::string folder;
    BigBookShelf()
    {
        folder = std::filesystem::absolute("notes-bench-big-XXXXXX").string();
        if (!mkdtemp(folder.data()))
            std::abort();
        folder += "/";
        BookRecipe spec;
        spec.encoding = BookEncoding::UTF16LE;
        spec.title = u"長書";
        for (int k = 0; k < 200; ++k) {
            spec.sectionTexts.push_back(proseText({.seed = unsigned(k + 1), .units = 50000, .cutToUnits = true}));
            spec.sectionTitles.push_back(u"第" + std::u16string(1, char16_t(0x4E00 + k)) + u"回");
        }
        std::string bytes;
        if (!writeBookBytes(spec, bytes) || !replaceFileAtomically(systemFiles(), folder + "big.updb", bytes))
            std::abort();
    }
    ~BigBookShelf() { std::filesystem::remove_all(folder); }
};

// A reader started anew opens the big book from the shelf, read before up to
// section 150: its page is shown and its place stored again on leaving.
void reopenBigBook(benchmark::State &state)
{
    BigBookShelf shelf;
    const std::string notes = shelf.folder + "notes.sqlite";
    const auto session = [&](CountingFiles &files, bool firstTime) {
        QtSurface surface;
        surface.resize(1280, 800);
        Reader r;
        prepareReaderOn(r, surface, files, shelf.folder);
        NotesDatabase db(notes);
        r.services.notes = &db;
        r.state.shelf.select(0);
        if (firstTime) {
            r.state.shelf.selectedEntry()->lastSection = 150;
            r.state.shelf.selectedEntry()->lastPage = 2;
        }
        files.bytesRead = 0;
        files.reads.clear();
        openSelectedBook(r);
        const std::int64_t read = files.bytesRead;
        const int decoded = files.sectionsRead(shelf.folder + "big.updb", 200);
        rememberPlace(r);
        return std::tuple{read, decoded, int(r.state.book.currentSection)};
    };
    CountingFiles files;
    session(files, true);
    std::int64_t read = 0;
    int decoded = 0, section = 0;
    for (auto _ : state)
        std::tie(read, decoded, section) = session(files, false);
    state.counters["read_MB"] = double(read) / (1024 * 1024);
    state.counters["sections_decoded"] = decoded;
    state.counters["section"] = section;
}

BENCHMARK(openAndDrawPage)->Arg(0)->Arg(kMarks)->Unit(benchmark::kMillisecond);
BENCHMARK(notesScreenFirstPage)->Unit(benchmark::kMillisecond);
BENCHMARK(addMarkCommitted)->Unit(benchmark::kMillisecond);
BENCHMARK(reopenBigBook)->Unit(benchmark::kMillisecond);
