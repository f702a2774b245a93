#include "notes/notes_database.h"

#include "text/codec.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace pagora {

namespace {

constexpr int kSchemaVersion = 1;

constexpr const char *kSchema = R"sql(
CREATE TABLE books(
  id INTEGER PRIMARY KEY,
  fingerprint TEXT NOT NULL UNIQUE,
  title TEXT NOT NULL,
  section_count INTEGER NOT NULL);
CREATE TABLE marks(
  id INTEGER PRIMARY KEY,
  book_id INTEGER NOT NULL REFERENCES books(id),
  section INTEGER NOT NULL,
  start INTEGER NOT NULL,
  length INTEGER NOT NULL,
  quote TEXT NOT NULL,
  context_before TEXT NOT NULL,
  context_after TEXT NOT NULL,
  colour INTEGER NOT NULL CHECK(colour BETWEEN 1 AND 4),
  note TEXT NOT NULL DEFAULT '',
  created INTEGER NOT NULL,
  changed INTEGER NOT NULL,
  detached INTEGER NOT NULL DEFAULT 0);
CREATE INDEX marks_in_book_order ON marks(book_id, detached, section, start);
CREATE INDEX books_by_title ON books(title, section_count);
CREATE TABLE places(
  book_id INTEGER PRIMARY KEY REFERENCES books(id),
  section INTEGER NOT NULL,
  offset INTEGER NOT NULL,
  changed INTEGER NOT NULL);
)sql";

// Each book file's fingerprint while the file is as it was hashed, so that
// opening it again reads none of it. Added to a database of any version in
// place: a reader that does not know it passes it by.
constexpr const char *kFingerprintsTable = R"sql(
CREATE TABLE IF NOT EXISTS book_files(
  path TEXT PRIMARY KEY,
  size INTEGER NOT NULL,
  modified INTEGER NOT NULL,
  inode INTEGER NOT NULL,
  fingerprint TEXT NOT NULL);
)sql";

// The reader's small choices that do not belong in the settings file's lines
// (the voice that reads aloud), added in place as book_files is.
constexpr const char *kPreferencesTable = R"sql(
CREATE TABLE IF NOT EXISTS preferences(
  key TEXT PRIMARY KEY,
  value TEXT NOT NULL);
)sql";

constexpr const char *kMarkColumns =
    "id, section, start, length, quote, context_before, context_after, colour, note, created, changed, detached";

// The rest of a query for a book's marks in the notes screen's order, at most ? of them.
constexpr const char *kMarksOfBook = " FROM marks WHERE book_id = (SELECT id FROM books WHERE fingerprint = ?) "
                                     "ORDER BY detached, section, start, id LIMIT ?";

std::int64_t now()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// One prepared statement; finalized when it goes.
class Statement {
public:
    Statement(sqlite3 *db, const char *sql) { m_rc = sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr); }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool ok() const { return m_rc == SQLITE_OK; }
    int prepareCode() const { return m_rc; }
    Statement &bind(int i, std::int64_t v)
    {
        sqlite3_bind_int64(m_stmt, i, v);
        return *this;
    }
    Statement &bind(int i, std::string_view utf8)
    {
        sqlite3_bind_text(m_stmt, i, utf8.data(), int(utf8.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement &bind(int i, std::u16string_view text) { return bind(i, std::string_view(utf16ToUtf8(text))); }
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step() { return m_stmt ? sqlite3_step(m_stmt) : m_rc; }
    void reset()
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    std::int64_t integer(int i) const { return sqlite3_column_int64(m_stmt, i); }
    // Valid until the next step: no copy, for comparing.
    std::u16string_view text16(int i) const
    {
        const auto *p = static_cast<const char16_t *>(sqlite3_column_text16(m_stmt, i));
        return p ? std::u16string_view(p, std::size_t(sqlite3_column_bytes16(m_stmt, i)) / 2) : std::u16string_view();
    }
    std::string text(int i) const
    {
        const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, i));
        return p ? std::string(p, std::size_t(sqlite3_column_bytes(m_stmt, i))) : std::string();
    }

private:
    sqlite3_stmt *m_stmt = nullptr;
    int m_rc = SQLITE_OK;
};

StoredMark markFrom(const Statement &q)
{
    StoredMark m;
    m.id = q.integer(0);
    m.anchor.section = int(q.integer(1));
    m.anchor.start = std::int32_t(q.integer(2));
    m.anchor.length = std::int32_t(q.integer(3));
    m.anchor.quote = utf8ToUtf16(q.text(4));
    m.anchor.before = utf8ToUtf16(q.text(5));
    m.anchor.after = utf8ToUtf16(q.text(6));
    m.colour = int(q.integer(7));
    m.note = q.text(8);
    m.created = q.integer(9);
    m.changed = q.integer(10);
    m.detached = q.integer(11) != 0;
    return m;
}

bool isDamage(int code)
{
    const int primary = code & 0xFF;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

bool isReadOnly(int code)
{
    const int primary = code & 0xFF;
    return primary == SQLITE_READONLY || primary == SQLITE_CANTOPEN || primary == SQLITE_PERM;
}

bool isLocked(int code)
{
    const int primary = code & 0xFF;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

std::string dateSuffix()
{
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, ".damaged-%Y%m%d-%H%M%S", &local);
    return buf;
}

} // namespace

// Rolls back unless committed, so that a failed step leaves nothing half done.
// It follows the connection by reference: a damaged file closes it midway.
class NotesTransaction {
public:
    explicit NotesTransaction(sqlite3 *&db) : m_db(db)
    {
        m_rc = sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    }
    ~NotesTransaction()
    {
        if (m_rc == SQLITE_OK && !m_done && m_db)
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    int beginCode() const { return m_rc; }
    int commit()
    {
        m_done = true;
        const int rc = sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        return rc;
    }

private:
    sqlite3 *&m_db;
    int m_rc;
    bool m_done = false;
};

NotesDatabase::NotesDatabase(std::string path) : m_path(std::move(path)) {}

NotesDatabase::~NotesDatabase()
{
    closeDatabase();
}

void NotesDatabase::closeDatabase()
{
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
}

bool NotesDatabase::failWith(int code, const char *what)
{
    if (isDamage(code)) {
        // Whatever it held stays on disk beside a new, empty database.
        moveAside();
        m_messagePending = true;
        if (m_movedAside.empty()) {
            // Left where it is, and not tried again this session.
            m_fault = NotesFault::Unusable;
            m_reason = "the notes database " + m_path + " is damaged or not SQLite and cannot be moved aside";
            return false;
        }
        m_fault = NotesFault::Damaged;
        m_reason = "the notes database " + m_path + " is damaged or not SQLite; it was moved to " + m_movedAside;
        return false;
    }
    if (isLocked(code)) {
        m_fault = NotesFault::Locked;
        m_reason = "the notes database " + m_path + " is locked by another program";
    } else if (isReadOnly(code)) {
        m_fault = NotesFault::ReadOnly;
        m_reason = "the notes database " + m_path + " cannot be written (a read-only folder or file)";
    } else {
        m_fault = NotesFault::Unusable;
        m_reason = std::string("the notes database ") + m_path + " cannot be used: " + what;
    }
    // A read-only folder is told about at the first mark, not at every page.
    m_messagePending = m_fault != NotesFault::ReadOnly;
    return false;
}

void NotesDatabase::moveAside()
{
    closeDatabase();
    m_movedAside.clear();
    std::error_code ec;
    // A file moved aside earlier in the same second is not replaced.
    std::string target = m_path + dateSuffix();
    for (int n = 2; std::filesystem::exists(target, ec) && n < 100; ++n)
        target = m_path + dateSuffix() + "-" + std::to_string(n);
    std::filesystem::rename(m_path, target, ec);
    if (ec)
        return;
    m_movedAside = target;
    // The journal belongs to the file it was written for.
    for (const char *extra : {"-wal", "-shm"})
        if (std::filesystem::exists(m_path + extra, ec))
            std::filesystem::rename(m_path + extra, target + extra, ec);
}

bool NotesDatabase::open()
{
    if (m_db)
        return true;
    // A damaged file was moved aside: the next use starts a new database.
    if (m_fault == NotesFault::Unusable)
        return false;
    if (openFile()) {
        keepWaitingFingerprint();
        return true;
    }
    if (m_fault == NotesFault::Damaged && !m_movedAside.empty()) {
        const std::string moved = m_movedAside;
        const std::string reason = m_reason;
        if (openFile()) {
            m_fault = NotesFault::Damaged;
            m_reason = reason;
            m_movedAside = moved;
            m_messagePending = true;
            keepWaitingFingerprint();
            return true;
        }
    }
    return false;
}

bool NotesDatabase::openFile()
{
    const std::filesystem::path folder = std::filesystem::path(m_path).parent_path();
    std::error_code ec;
    if (!folder.empty() && !std::filesystem::exists(folder, ec))
        std::filesystem::create_directories(folder, ec);
    int rc = sqlite3_open_v2(m_path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        closeDatabase();
        // An existing database in a read-only folder can still be read.
        rc = sqlite3_open_v2(m_path.c_str(), &m_db, SQLITE_OPEN_READONLY, nullptr);
        if (rc != SQLITE_OK) {
            closeDatabase();
            return failWith(SQLITE_CANTOPEN, "it does not open");
        }
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, 1000);
    rc = sqlite3_exec(m_db, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(m_db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
    // Committed means on the disk: a power cut must not take back a note.
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(m_db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
    // A book's marks are read whole for the notes screen: keep them mapped.
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(m_db, "PRAGMA mmap_size = 268435456", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK && !isReadOnly(rc)) {
        const std::string message = sqlite3_errmsg(m_db);
        closeDatabase();
        return failWith(rc, message.c_str());
    }
    if (!prepareSchema())
        return false;
    m_fault = sqlite3_db_readonly(m_db, "main") == 1 ? NotesFault::ReadOnly : NotesFault::None;
    if (m_fault == NotesFault::ReadOnly)
        m_reason = "the notes database " + m_path + " cannot be written (a read-only folder or file)";
    return true;
}

bool NotesDatabase::prepareSchema()
{
    std::int64_t version = -1;
    int rc = SQLITE_OK;
    {
        Statement check(m_db, "PRAGMA quick_check");
        rc = check.step();
        if (rc == SQLITE_ROW && check.text(0) != "ok")
            rc = SQLITE_CORRUPT;
        if (rc == SQLITE_ROW || rc == SQLITE_DONE) {
            Statement q(m_db, "PRAGMA user_version");
            rc = q.step();
            if (rc == SQLITE_ROW)
                version = q.integer(0);
        } else if (rc == SQLITE_OK) {
            rc = check.prepareCode();
        }
    }
    if (version < 0) {
        const std::string message = sqlite3_errmsg(m_db);
        closeDatabase();
        return failWith(rc == SQLITE_ROW || rc == SQLITE_DONE ? SQLITE_ERROR : rc, message.c_str());
    }
    if (version > kSchemaVersion) {
        closeDatabase();
        m_fault = NotesFault::Unusable;
        m_reason = "the notes database " + m_path + " was made by a newer Pagora";
        m_messagePending = true;
        return false;
    }
    if (version == kSchemaVersion) {
        // Fails harmlessly in a read-only database: fingerprints are then not kept.
        sqlite3_exec(m_db, kFingerprintsTable, nullptr, nullptr, nullptr);
        sqlite3_exec(m_db, kPreferencesTable, nullptr, nullptr, nullptr);
        return true;
    }
    NotesTransaction t(m_db);
    rc = t.beginCode();
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(m_db, kSchema, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(m_db, kFingerprintsTable, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(m_db, kPreferencesTable, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(m_db, ("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str(), nullptr, nullptr,
                          nullptr);
    if (rc == SQLITE_OK)
        rc = t.commit();
    if (rc != SQLITE_OK) {
        const std::string message = sqlite3_errmsg(m_db);
        closeDatabase();
        return failWith(rc, message.c_str());
    }
    return true;
}

std::u16string NotesDatabase::takeMessage()
{
    if (!m_messagePending)
        return {};
    m_messagePending = false;
    switch (m_fault) {
    case NotesFault::None: return {};
    case NotesFault::ReadOnly: return u"附註資料庫所在的資料夾無法寫入，畫線與附註不會保存：\n" + utf8ToUtf16(m_path);
    case NotesFault::Locked: return u"附註資料庫正由其他程式使用，這次不顯示畫線與附註：\n" + utf8ToUtf16(m_path);
    case NotesFault::Damaged:
        return u"附註資料庫已損壞，原檔已移至：\n" + utf8ToUtf16(m_movedAside) + u"\n已另建新的附註資料庫。";
    case NotesFault::Unusable: return u"附註資料庫無法使用，這次不顯示畫線與附註：\n" + utf8ToUtf16(m_path);
    }
    return {};
}

bool NotesDatabase::fileExists() const
{
    std::error_code ec;
    return m_db || std::filesystem::exists(m_path, ec);
}

// Kept on a best effort: a fault here is told by the next use that needs
// the database, and costs only a book read again.
std::string NotesDatabase::keptFingerprint(const std::string &path, const FileStamp &stamp)
{
    if (m_waiting && m_waiting->path == path && m_waiting->stamp == stamp)
        return m_waiting->fingerprint;
    // Looking must not make the database.
    if (!stamp.known() || !fileExists() || !open())
        return {};
    Statement q(m_db, "SELECT fingerprint FROM book_files WHERE path = ? AND size = ? AND modified = ? AND inode = ?");
    q.bind(1, std::string_view(path)).bind(2, stamp.size).bind(3, stamp.modified).bind(4, stamp.inode);
    return q.ok() && q.step() == SQLITE_ROW ? q.text(0) : std::string();
}

void NotesDatabase::keepFingerprint(const std::string &path, const FileStamp &stamp, const std::string &fingerprint)
{
    if (!stamp.known() || fingerprint.empty())
        return;
    // Written when the database is first opened for something else.
    m_waiting = KeptFingerprint{path, stamp, fingerprint};
    if (fileExists() && open())
        keepWaitingFingerprint();
}

void NotesDatabase::keepWaitingFingerprint()
{
    if (!m_waiting || m_fault == NotesFault::ReadOnly)
        return;
    Statement q(m_db, "INSERT INTO book_files(path, size, modified, inode, fingerprint) VALUES(?, ?, ?, ?, ?) "
                      "ON CONFLICT(path) DO UPDATE SET size = excluded.size, modified = excluded.modified, "
                      "inode = excluded.inode, fingerprint = excluded.fingerprint");
    const KeptFingerprint &k = *m_waiting;
    q.bind(1, std::string_view(k.path)).bind(2, k.stamp.size).bind(3, k.stamp.modified).bind(4, k.stamp.inode);
    q.bind(5, std::string_view(k.fingerprint));
    if (q.ok())
        q.step();
    m_waiting.reset();
}

std::optional<std::int64_t> NotesDatabase::bookId(const std::string &fingerprint)
{
    Statement q(m_db, "SELECT id FROM books WHERE fingerprint = ?");
    q.bind(1, std::string_view(fingerprint));
    const int rc = q.step();
    if (rc == SQLITE_ROW)
        return q.integer(0);
    if (rc != SQLITE_DONE)
        failWith(rc, sqlite3_errmsg(m_db));
    return std::nullopt;
}

// Inside a transaction.
std::optional<std::int64_t> NotesDatabase::ensureBook(const BookKey &book)
{
    Statement ins(m_db, "INSERT INTO books(fingerprint, title, section_count) VALUES(?, ?, ?) "
                        "ON CONFLICT(fingerprint) DO NOTHING");
    ins.bind(1, std::string_view(book.fingerprint)).bind(2, std::u16string_view(book.title)).bind(3, book.sectionCount);
    const int rc = ins.step();
    if (rc != SQLITE_DONE) {
        failWith(rc, sqlite3_errmsg(m_db));
        return std::nullopt;
    }
    return bookId(book.fingerprint);
}

std::string NotesDatabase::preference(std::string_view key)
{
    if (!fileExists() || !open())
        return {};
    Statement q(m_db, "SELECT value FROM preferences WHERE key = ?");
    q.bind(1, key);
    // A database without the table (read-only, made before it) knows none.
    return q.step() == SQLITE_ROW ? q.text(0) : std::string();
}

void NotesDatabase::storePreference(std::string_view key, std::string_view value)
{
    if (!open() || m_fault == NotesFault::ReadOnly)
        return;
    Statement up(m_db, "INSERT INTO preferences(key, value) VALUES(?, ?) "
                       "ON CONFLICT(key) DO UPDATE SET value = excluded.value");
    up.bind(1, key).bind(2, value);
    if (const int rc = up.step(); rc != SQLITE_DONE)
        failWith(rc, sqlite3_errmsg(m_db));
}

std::optional<BookPlace> NotesDatabase::place(const std::string &fingerprint)
{
    // Looking must not make the database: one not made yet knows no place.
    if (!fileExists() || !open())
        return std::nullopt;
    Statement q(m_db, "SELECT p.section, p.offset FROM places p JOIN books b ON b.id = p.book_id "
                      "WHERE b.fingerprint = ?");
    q.bind(1, std::string_view(fingerprint));
    const int rc = q.step();
    if (rc == SQLITE_ROW)
        return BookPlace{int(q.integer(0)), std::int32_t(q.integer(1))};
    if (rc != SQLITE_DONE)
        failWith(rc, sqlite3_errmsg(m_db));
    return std::nullopt;
}

void NotesDatabase::storePlace(const std::string &fingerprint, std::u16string_view title, int sectionCount,
                               BookPlace place)
{
    if (!open() || m_fault == NotesFault::ReadOnly)
        return;
    NotesTransaction t(m_db);
    int rc = t.beginCode();
    if (rc == SQLITE_OK) {
        const auto id = ensureBook({fingerprint, std::u16string(title), sectionCount});
        if (!id)
            return;
        Statement up(m_db, "INSERT INTO places(book_id, section, offset, changed) VALUES(?, ?, ?, ?) "
                           "ON CONFLICT(book_id) DO UPDATE SET section = excluded.section, "
                           "offset = excluded.offset, changed = excluded.changed");
        up.bind(1, *id).bind(2, place.section).bind(3, place.offset).bind(4, now());
        rc = up.step();
        if (rc == SQLITE_DONE)
            rc = t.commit();
    }
    if (rc != SQLITE_OK && rc != SQLITE_DONE)
        failWith(rc, sqlite3_errmsg(m_db));
}

bool NotesDatabase::adoptEarlierEdition(const BookKey &book, std::int64_t id, const std::vector<std::u16string> &texts)
{
    Statement has(m_db, "SELECT 1 FROM marks WHERE book_id = ? LIMIT 1");
    has.bind(1, id);
    int rc = has.step();
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        return failWith(rc, sqlite3_errmsg(m_db));
    // The edition whose marks changed last.
    Statement other(m_db, "SELECT b.id FROM books b JOIN marks m ON m.book_id = b.id "
                          "WHERE b.title = ? AND b.section_count = ? AND b.id <> ? "
                          "GROUP BY b.id ORDER BY MAX(m.changed) DESC, b.id DESC LIMIT 1");
    other.bind(1, std::u16string_view(book.title)).bind(2, book.sectionCount).bind(3, id);
    rc = other.step();
    if (rc == SQLITE_DONE)
        return true;
    if (rc != SQLITE_ROW)
        return failWith(rc, sqlite3_errmsg(m_db));
    // Copied, not moved: the earlier edition keeps its own.
    Statement copy(m_db, "INSERT INTO marks(book_id, section, start, length, quote, context_before, context_after, "
                         "colour, note, created, changed, detached) "
                         "SELECT ?, section, start, length, quote, context_before, context_after, colour, note, "
                         "created, changed, detached FROM marks WHERE book_id = ? ORDER BY id");
    copy.bind(1, id).bind(2, other.integer(0));
    rc = copy.step();
    if (rc != SQLITE_DONE)
        return failWith(rc, sqlite3_errmsg(m_db));
    return reanchorAll(id, texts, true);
}

bool NotesDatabase::reanchorAll(std::int64_t id, const std::vector<std::u16string> &texts, bool retryDetached)
{
    // Most marks are where they were: only those that are not are read whole.
    std::vector<std::int64_t> stray;
    {
        Statement q(m_db, "SELECT id, section, start, quote, detached FROM marks WHERE book_id = ?");
        q.bind(1, id);
        int rc;
        while ((rc = q.step()) == SQLITE_ROW) {
            const std::size_t section = std::size_t(q.integer(1));
            const std::int64_t start = q.integer(2);
            const std::u16string *text = section >= 1 && section <= texts.size() ? &texts[section - 1] : nullptr;
            const std::u16string_view quote = q.text16(3);
            // A detached mark cannot turn up again in the same text.
            if (q.integer(4) != 0) {
                if (retryDetached)
                    stray.push_back(q.integer(0));
                continue;
            }
            if (!text || start < 0 || std::size_t(start) > text->size() || quote.empty() ||
                text->compare(std::size_t(start), quote.size(), quote) != 0)
                stray.push_back(q.integer(0));
        }
        if (rc != SQLITE_DONE)
            return failWith(rc, sqlite3_errmsg(m_db));
    }
    std::vector<StoredMark> all;
    Statement one(m_db, (std::string("SELECT ") + kMarkColumns + " FROM marks WHERE id = ?").c_str());
    for (const std::int64_t markId : stray) {
        one.bind(1, markId);
        const int rc = one.step();
        if (rc != SQLITE_ROW)
            return failWith(rc == SQLITE_DONE ? SQLITE_CORRUPT : rc, sqlite3_errmsg(m_db));
        all.push_back(markFrom(one));
        one.reset();
    }
    Statement moved(m_db, "UPDATE marks SET section = ?, start = ?, length = ?, quote = ?, context_before = ?, "
                          "context_after = ?, detached = 0 WHERE id = ?");
    Statement lost(m_db, "UPDATE marks SET detached = 1 WHERE id = ?");
    for (const StoredMark &m : all) {
        const auto found = reanchor(m.anchor, texts);
        if (found && !m.detached && found->section == m.anchor.section && found->start == m.anchor.start &&
            found->length == m.anchor.length)
            continue;
        int rc = SQLITE_DONE;
        if (found) {
            const auto a = anchorAt(texts, found->section, found->start, found->length);
            moved.bind(1, a->section).bind(2, a->start).bind(3, a->length);
            moved.bind(4, std::u16string_view(a->quote)).bind(5, std::u16string_view(a->before));
            moved.bind(6, std::u16string_view(a->after)).bind(7, m.id);
            rc = moved.step();
        } else if (!m.detached) {
            // Never deleted: it keeps its text and note, listed apart.
            lost.bind(1, m.id);
            rc = lost.step();
        }
        if (rc != SQLITE_DONE)
            return failWith(rc, sqlite3_errmsg(m_db));
        moved.reset();
        lost.reset();
    }
    return true;
}

bool NotesDatabase::findAgain(const BookKey &book, const std::vector<std::u16string> *texts)
{
    if (!open())
        return false;
    if (!texts || m_fault == NotesFault::ReadOnly)
        return true;
    NotesTransaction t(m_db);
    int rc = t.beginCode();
    if (rc != SQLITE_OK)
        return failWith(rc, sqlite3_errmsg(m_db));
    const auto id = ensureBook(book);
    if (!id || !adoptEarlierEdition(book, *id, *texts) || !reanchorAll(*id, *texts, false))
        return false;
    rc = t.commit();
    return rc == SQLITE_OK || failWith(rc, sqlite3_errmsg(m_db));
}

std::optional<std::vector<StoredMark>>
NotesDatabase::marks(const BookKey &book, const std::vector<std::u16string> *texts, std::int64_t limit)
{
    if (!findAgain(book, texts))
        return std::nullopt;
    return readMarks(std::string("SELECT ") + kMarkColumns + kMarksOfBook, book.fingerprint, limit);
}

std::optional<std::vector<StoredMark>>
NotesDatabase::briefMarks(const BookKey &book, const std::vector<std::u16string> *texts, int characters)
{
    if (!findAgain(book, texts))
        return std::nullopt;
    // The contexts are left out and the texts cut in the database: a list of
    // thousands of marks is read in a few milliseconds.
    const std::string n = std::to_string(std::max(characters, 1));
    return readMarks("SELECT id, section, start, length, substr(quote, 1, " + n +
                         "), '', '', colour, substr(note, 1, " + n + "), created, changed, detached" + kMarksOfBook,
                     book.fingerprint, -1);
}

std::optional<std::vector<StoredMark>> NotesDatabase::readMarks(const std::string &sql, const std::string &fingerprint,
                                                                std::int64_t number)
{
    std::vector<StoredMark> all;
    Statement q(m_db, sql.c_str());
    q.bind(1, std::string_view(fingerprint)).bind(2, number);
    int rc;
    while ((rc = q.step()) == SQLITE_ROW)
        all.push_back(markFrom(q));
    if (rc != SQLITE_DONE) {
        failWith(rc, sqlite3_errmsg(m_db));
        return std::nullopt;
    }
    return all;
}

bool NotesDatabase::hasMarksToTakeOver(const BookKey &book)
{
    if (!fileExists() || !open())
        return false;
    Statement q(m_db, "SELECT NOT EXISTS(SELECT 1 FROM marks m JOIN books b ON b.id = m.book_id "
                      "WHERE b.fingerprint = ?) AND EXISTS(SELECT 1 FROM books b JOIN marks m ON m.book_id = b.id "
                      "WHERE b.title = ? AND b.section_count = ? AND b.fingerprint <> ?)");
    q.bind(1, std::string_view(book.fingerprint)).bind(2, std::u16string_view(book.title));
    q.bind(3, book.sectionCount).bind(4, std::string_view(book.fingerprint));
    const int rc = q.step();
    if (rc == SQLITE_ROW)
        return q.integer(0) != 0;
    failWith(rc, sqlite3_errmsg(m_db));
    return false;
}

std::optional<std::vector<StoredMark>> NotesDatabase::marksOfSection(const std::string &fingerprint, int section)
{
    // A database not made yet holds no marks; the page of a book reopened
    // at start-up is shown without making one.
    if (!fileExists())
        return std::vector<StoredMark>{};
    if (!open())
        return std::nullopt;
    return readMarks(std::string("SELECT ") + kMarkColumns +
                         " FROM marks WHERE book_id = (SELECT id FROM books WHERE fingerprint = ?) "
                         "AND detached = 0 AND section = ? ORDER BY start, id",
                     fingerprint, section);
}

std::optional<std::int64_t> NotesDatabase::addMark(const BookKey &book, const Anchor &a, int colour,
                                                   std::string_view note)
{
    // A read-only folder is told about here, at the first mark.
    if (!open() || m_fault == NotesFault::ReadOnly) {
        m_messagePending = m_messagePending || m_fault == NotesFault::ReadOnly;
        return std::nullopt;
    }
    NotesTransaction t(m_db);
    int rc = t.beginCode();
    std::optional<std::int64_t> added;
    if (rc == SQLITE_OK) {
        const auto id = ensureBook(book);
        if (!id)
            return std::nullopt;
        Statement ins(m_db, "INSERT INTO marks(book_id, section, start, length, quote, context_before, "
                            "context_after, colour, note, created, changed) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        const std::int64_t time = now();
        ins.bind(1, *id).bind(2, a.section).bind(3, a.start).bind(4, a.length);
        ins.bind(5, std::u16string_view(a.quote)).bind(6, std::u16string_view(a.before));
        ins.bind(7, std::u16string_view(a.after)).bind(8, colour).bind(9, note).bind(10, time).bind(11, time);
        rc = ins.step();
        if (rc == SQLITE_DONE) {
            added = sqlite3_last_insert_rowid(m_db);
            rc = t.commit();
        }
    }
    if (rc != SQLITE_OK) {
        failWith(rc, sqlite3_errmsg(m_db));
        if (m_fault == NotesFault::ReadOnly)
            m_messagePending = true;
        return std::nullopt;
    }
    return added;
}

namespace {

// One statement that touches at most one mark, in a transaction of its own;
// found tells whether it did. The code is SQLite's for the whole.
template <typename Bind> int changeOneMark(sqlite3 *&db, const char *sql, Bind bind, bool &found)
{
    NotesTransaction t(db);
    int rc = t.beginCode();
    if (rc != SQLITE_OK)
        return rc;
    Statement st(db, sql);
    bind(st);
    rc = st.step();
    if (rc != SQLITE_DONE)
        return rc;
    found = sqlite3_changes(db) == 1;
    return t.commit();
}

} // namespace

bool NotesDatabase::changeMark(const std::string &fingerprint, std::int64_t id, int colour, std::string_view note)
{
    if (!open() || m_fault == NotesFault::ReadOnly)
        return false;
    bool found = false;
    const int rc = changeOneMark(
        m_db,
        "UPDATE marks SET colour = ?, note = ?, changed = ? "
        "WHERE id = ? AND book_id = (SELECT id FROM books WHERE fingerprint = ?)",
        [&](Statement &up) {
            up.bind(1, colour).bind(2, note).bind(3, now()).bind(4, id).bind(5, std::string_view(fingerprint));
        },
        found);
    return rc == SQLITE_OK ? found : failWith(rc, sqlite3_errmsg(m_db));
}

bool NotesDatabase::removeMark(const std::string &fingerprint, std::int64_t id)
{
    if (!open() || m_fault == NotesFault::ReadOnly)
        return false;
    bool found = false;
    const int rc = changeOneMark(
        m_db, "DELETE FROM marks WHERE id = ? AND book_id = (SELECT id FROM books WHERE fingerprint = ?)",
        [&](Statement &del) { del.bind(1, id).bind(2, std::string_view(fingerprint)); }, found);
    return rc == SQLITE_OK ? found : failWith(rc, sqlite3_errmsg(m_db));
}

} // namespace pagora
