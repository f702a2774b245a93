#pragma once
#include "notes/anchoring.h"
#include "notes/fingerprint.h"
#include "notes/notes_store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace pagora {

// The file name of the database, in the folder that holds the settings.
constexpr const char *kNotesFileName = "notes.sqlite";

enum class NotesFault {
    None,
    ReadOnly, // the folder or the file cannot be written
    Locked,   // another program holds the database
    Damaged,  // not SQLite or damaged: moved aside, a new one started
    Unusable, // made by a newer program, or cannot be opened at all
};

// The per-user SQLite database of marks, notes and places. Nothing is opened
// until the first call that needs it. Every write is one transaction.
class NotesDatabase : public NotesStore {
public:
    explicit NotesDatabase(std::string path);
    ~NotesDatabase() override;
    NotesDatabase(const NotesDatabase &) = delete;
    NotesDatabase &operator=(const NotesDatabase &) = delete;

    const std::string &path() const { return m_path; }
    // Opens the database on the first call. False when it cannot be used;
    // fault() and reason() say why.
    bool open();
    NotesFault fault() const { return m_fault; }
    // One English line for the command-line tool.
    const std::string &reason() const { return m_reason; }
    // Where a damaged file was moved; empty when none was.
    const std::string &movedAside() const { return m_movedAside; }

    std::optional<BookPlace> place(const std::string &fingerprint) override;
    void storePlace(const std::string &fingerprint, std::u16string_view title, int sectionCount,
                    BookPlace place) override;
    std::u16string takeMessage() override;
    std::string preference(std::string_view key) override;
    void storePreference(std::string_view key, std::string_view value) override;
    // Kept in the database by path and stamp; before the database exists,
    // only until it is first opened.
    std::string keptFingerprint(const std::string &path, const FileStamp &stamp) override;
    void keepFingerprint(const std::string &path, const FileStamp &stamp, const std::string &fingerprint) override;

    // The book's marks in book order, detached ones last; nullopt on a fault.
    // With the book's texts, the marks are first found again in them (and a
    // book without marks takes over those of an earlier edition: the same
    // title and section count). At most limit marks are read (-1: all).
    std::optional<std::vector<StoredMark>>
    marks(const BookKey &book, const std::vector<std::u16string> *texts = nullptr, std::int64_t limit = -1) override;
    std::optional<std::vector<StoredMark>> briefMarks(const BookKey &book, const std::vector<std::u16string> *texts,
                                                      int characters) override;
    bool hasMarksToTakeOver(const BookKey &book) override;
    // The marks of one section that are not detached, by start.
    std::optional<std::vector<StoredMark>> marksOfSection(const std::string &fingerprint, int section) override;
    std::optional<std::int64_t> addMark(const BookKey &book, const Anchor &anchor, int colour,
                                        std::string_view note) override;
    // False when the book has no such mark, or on a fault.
    bool changeMark(const std::string &fingerprint, std::int64_t id, int colour, std::string_view note) override;
    bool removeMark(const std::string &fingerprint, std::int64_t id) override;

private:
    struct KeptFingerprint {
        std::string path;
        FileStamp stamp;
        std::string fingerprint;
    };
    bool openFile();
    bool fileExists() const;
    void keepWaitingFingerprint();
    bool prepareSchema();
    bool failWith(int code, const char *what);
    void moveAside();
    void closeDatabase();
    std::optional<std::int64_t> bookId(const std::string &fingerprint);
    std::optional<std::int64_t> ensureBook(const BookKey &book);
    bool adoptEarlierEdition(const BookKey &book, std::int64_t id, const std::vector<std::u16string> &texts);
    bool findAgain(const BookKey &book, const std::vector<std::u16string> *texts);
    // The marks a query gives; it takes the book's fingerprint, then one number.
    std::optional<std::vector<StoredMark>> readMarks(const std::string &sql, const std::string &fingerprint,
                                                     std::int64_t number);
    bool reanchorAll(std::int64_t id, const std::vector<std::u16string> &texts, bool retryDetached);

    std::string m_path;
    sqlite3 *m_db = nullptr;
    NotesFault m_fault = NotesFault::None;
    std::string m_reason;
    std::string m_movedAside;
    bool m_messagePending = false;
    std::optional<KeptFingerprint> m_waiting;
};

} // namespace pagora
