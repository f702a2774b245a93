#include "notes/marked_passages.h"
#include "notes/notes_database.h"
#include "prose_text.h"
#include "test_platform.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace pagora;

namespace {

struct NotesDb : ::testing::Test {
    TempDir dir;
    std::string path = dir.file("notes.sqlite");
    std::vector<std::u16string> texts = {proseText({.seed = 3, .units = 2000, .cutToUnits = true}),
                                         proseText({.seed = 4, .units = 2000, .cutToUnits = true})};
    BookKey key{textFingerprint(texts), u"論語", 2};

    std::int64_t add(NotesDatabase &db, int section, int start, int length, std::string_view note = "")
    {
        const auto a = anchorAt(texts, section, start, length);
        const auto id = a ? db.addMark(key, *a, 2, note) : std::nullopt;
        EXPECT_TRUE(id) << db.reason();
        return id.value_or(0);
    }
    std::vector<std::string> filesHere() const
    {
        std::vector<std::string> names;
        for (const auto &e : std::filesystem::directory_iterator(dir.path()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(NotesDb, KeepsMarksInBookOrderAndDetachesWhatIsGoneWithoutLosingIt)
{
    {
        NotesDatabase db(path);
        add(db, 2, 100, 10, "後");
        add(db, 1, 900, 10, "中");
        add(db, 1, 50, 10, "前");
    }
    // A new edition: text inserted before the first passage, the second removed.
    texts[0].insert(0, 20, u'序');
    texts[0].erase(900, 60);
    const BookKey edited{textFingerprint(texts), key.title, 2};
    NotesDatabase db(path);
    const auto marks = db.marks(edited, &texts);
    ASSERT_TRUE(marks) << db.reason();
    ASSERT_EQ(marks->size(), 3u);
    EXPECT_EQ((*marks)[0].note, "前");
    EXPECT_EQ((*marks)[0].anchor.start, 70);
    EXPECT_EQ((*marks)[1].note, "後");
    EXPECT_EQ((*marks)[2].note, "中");
    EXPECT_TRUE((*marks)[2].detached);
    EXPECT_EQ((*marks)[2].anchor.quote.size(), 10u);
    // The earlier edition keeps its own marks where they were.
    const auto earlier = db.marks(key);
    ASSERT_TRUE(earlier);
    EXPECT_EQ(earlier->size(), 3u);
    EXPECT_FALSE(earlier->back().detached);
}

TEST_F(NotesDb, PlacesChangeMarksAndRemovalsArePerBook)
{
    NotesDatabase db(path);
    EXPECT_FALSE(db.place(key.fingerprint));
    db.storePlace(key.fingerprint, key.title, 2, {2, 345});
    db.storePlace(key.fingerprint, key.title, 2, {2, 678});
    const auto place = db.place(key.fingerprint);
    ASSERT_TRUE(place);
    EXPECT_EQ(place->section, 2);
    EXPECT_EQ(place->offset, 678);
    const std::int64_t id = add(db, 1, 10, 5);
    EXPECT_FALSE(db.removeMark("another book", id));
    EXPECT_TRUE(db.changeMark(key.fingerprint, id, 4, "改"));
    EXPECT_EQ(db.marksOfSection(key.fingerprint, 1)->at(0).colour, 4);
    EXPECT_TRUE(db.removeMark(key.fingerprint, id));
    EXPECT_FALSE(db.removeMark(key.fingerprint, id));
    EXPECT_EQ(db.fault(), NotesFault::None);
}

struct Damage {
    const char *name;
    void (*spoil)(const std::string &path);
};

class DamagedDatabase : public NotesDb, public ::testing::WithParamInterface<Damage> {};

// The damaged file is kept beside a new database, the reader is told, and
// new marks go on being kept.
TEST_P(DamagedDatabase, IsMovedAsideAndANewOneStarted)
{
    {
        NotesDatabase db(path);
        add(db, 1, 10, 5, "舊");
    }
    GetParam().spoil(path);
    const std::string spoilt = readFile(path);
    std::string first;
    {
        NotesDatabase db(path);
        EXPECT_TRUE(db.open());
        EXPECT_EQ(db.fault(), NotesFault::Damaged);
        first = db.movedAside();
        ASSERT_FALSE(first.empty());
        EXPECT_NE(first.find(".damaged-"), std::string::npos);
        EXPECT_FALSE(db.takeMessage().empty());
        EXPECT_TRUE(db.takeMessage().empty()); // told once
        EXPECT_GT(add(db, 1, 20, 5), 0);
    }
    EXPECT_EQ(readFile(first), spoilt);
    // Damaged again within the same second: the file moved aside first stays.
    GetParam().spoil(path);
    NotesDatabase again(path);
    EXPECT_TRUE(again.open());
    EXPECT_NE(again.movedAside(), first);
    EXPECT_EQ(readFile(first), spoilt);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DamagedDatabase,
    ::testing::Values(Damage{"notSqlite", [](const std::string &p) { writeFile(p, "Pagora.ini is not here\n"); }},
                      Damage{"cutInItsFirstPage",
                             [](const std::string &p) { writeFile(p, readFile(p).substr(0, 100)); }},
                      Damage{"schemaPageOverwritten",
                             [](const std::string &p) {
                                 std::string bytes = readFile(p);
                                 ASSERT_GT(bytes.size(), 4096u);
                                 for (std::size_t i = 100; i < 4096; ++i)
                                     bytes[i] = char(0xA5 ^ i);
                                 writeFile(p, bytes);
                             }}),
    [](const auto &info) { return info.param.name; });

TEST_F(NotesDb, LockedDatabaseIsToldAndUsableAgainAfterwards)
{
    NotesDatabase db(path);
    ASSERT_TRUE(db.open());
    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other,
                           "BEGIN IMMEDIATE; INSERT INTO books(fingerprint, title, section_count) "
                           "VALUES('x', 'y', 1)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    const auto a = anchorAt(texts, 1, 0, 4);
    EXPECT_FALSE(db.addMark(key, *a, 1, ""));
    EXPECT_EQ(db.fault(), NotesFault::Locked);
    EXPECT_FALSE(db.takeMessage().empty());
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_TRUE(db.addMark(key, *a, 1, ""));
}

// The owner of a book's marks keeps the section shown in step with the store
// and hands back each fault with the call that met it.
TEST_F(NotesDb, MarkedPassagesKeepTheSectionInStepAndReturnFaultsWithValues)
{
    NotesDatabase db(path);
    SectionMarks shown;
    MarkedPassages marks(db, key, shown);
    EXPECT_EQ(marks.readSection(1, texts[0], [&] { return texts; }), u"");
    const auto added = marks.add(*anchorAt(texts, 1, 10, 4), 3, "註");
    ASSERT_TRUE(added.value) << db.reason();
    EXPECT_EQ(added.fault, u"");
    ASSERT_EQ(shown.marks.size(), 1u);
    EXPECT_TRUE(marks.recolour(1, *added.value, 4).value);
    EXPECT_EQ(shown.marks[0].colour, 4);
    EXPECT_EQ(shown.lastColour, 4);
    EXPECT_EQ(marks.storedNote(1, *added.value).value, "註");

    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    const auto refused = marks.remove(*added.value);
    EXPECT_FALSE(refused.value);
    EXPECT_NE(refused.fault, u"");
    EXPECT_EQ(shown.marks.size(), 1u);
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    EXPECT_TRUE(marks.remove(*added.value).value);
    EXPECT_TRUE(shown.marks.empty());
    const auto gone = marks.remove(*added.value);
    EXPECT_FALSE(gone.value);
    EXPECT_EQ(gone.fault, u"");
}

TEST_F(NotesDb, ReadOnlyFolderIsToldAtTheFirstMarkNotBefore)
{
    ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
    const auto check = [&]() -> std::string {
        NotesDatabase db(path);
        if (db.place(key.fingerprint))
            return "a place in an empty folder";
        db.storePlace(key.fingerprint, key.title, 2, {1, 0});
        if (!db.takeMessage().empty())
            return "told before the first mark";
        if (db.addMark(key, *anchorAt(texts, 1, 0, 4), 1, ""))
            return "a mark added";
        if (db.fault() != NotesFault::ReadOnly || db.takeMessage().empty())
            return "not told at the first mark";
        return {};
    };
    // Permissions do not bind root: the check runs as nobody then.
    std::string failure;
    if (geteuid() != 0) {
        failure = check();
    } else {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (setgid(65534) != 0 || setuid(65534) != 0)
                _exit(3);
            _exit(check().empty() ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        failure = WIFEXITED(status) && WEXITSTATUS(status) == 0 ? "" : "the check failed as nobody";
    }
    chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(failure, "");
}

// A reader killed in the middle of a write loses only that write.
TEST_F(NotesDb, KilledBetweenStatementsLosesNothingCommitted)
{
    {
        NotesDatabase db(path);
        add(db, 1, 10, 5, "committed");
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        NotesDatabase db(path);
        const auto a = anchorAt(texts, 1, 30, 5);
        db.addMark(key, *a, 3, "also committed");
        sqlite3 *raw = nullptr;
        sqlite3_open(path.c_str(), &raw);
        sqlite3_exec(raw, "BEGIN IMMEDIATE; DELETE FROM marks; UPDATE places SET offset = 1", nullptr, nullptr,
                     nullptr);
        raise(SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    NotesDatabase db(path);
    const auto marks = db.marks(key, &texts);
    ASSERT_TRUE(marks) << db.reason();
    ASSERT_EQ(marks->size(), 2u);
    EXPECT_EQ((*marks)[0].note, "committed");
    EXPECT_EQ((*marks)[1].note, "also committed");
    EXPECT_EQ(db.fault(), NotesFault::None);
    EXPECT_GT(add(db, 2, 0, 3), 0);
}

TEST_F(NotesDb, NothingIsCreatedBeforeTheFirstUse)
{
    {
        NotesDatabase db(path);
        EXPECT_EQ(db.keptFingerprint("/b/book.updb", {1, 2, 3}), "");
        db.keepFingerprint("/b/book.updb", {1, 2, 3}, key.fingerprint);
        EXPECT_EQ(db.keptFingerprint("/b/book.updb", {1, 2, 3}), key.fingerprint);
    }
    EXPECT_TRUE(filesHere().empty());
}

// A book file's fingerprint is kept while its path, size, time and inode
// stay; a database from before the table was added gains it, keeping the rest.
TEST_F(NotesDb, KeepsFingerprintsByFileStampInAnyDatabase)
{
    {
        NotesDatabase db(path);
        db.storePlace(key.fingerprint, key.title, 2, {2, 345});
        sqlite3 *raw = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(raw, "DROP TABLE book_files", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(raw);
    }
    const FileStamp kept{1000, 1700000000123456789, 42};
    {
        NotesDatabase db(path);
        // Waits for the database to be opened for something else.
        db.keepFingerprint("/b/book.updb", kept, key.fingerprint);
        EXPECT_EQ(db.place(key.fingerprint)->offset, 345);
    }
    NotesDatabase db(path);
    const struct {
        const char *name;
        std::string path;
        FileStamp stamp;
        bool found;
    } rows[] = {
        {"same", "/b/book.updb", kept, true},
        {"otherPath", "/b/other.updb", kept, false},
        {"size", "/b/book.updb", {1001, kept.modified, kept.inode}, false},
        {"written", "/b/book.updb", {kept.size, kept.modified + 1, kept.inode}, false},
        {"replaced", "/b/book.updb", {kept.size, kept.modified, 43}, false},
        {"unknown", "/b/book.updb", {}, false},
    };
    for (const auto &row : rows)
        EXPECT_EQ(db.keptFingerprint(row.path, row.stamp), row.found ? key.fingerprint : "") << row.name;
    EXPECT_EQ(db.place(key.fingerprint)->offset, 345);
    EXPECT_EQ(db.fault(), NotesFault::None);
}

} // namespace
