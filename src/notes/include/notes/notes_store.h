#pragma once
#include "platform/files.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pagora {

// Where a reader was in a book: the section and the offset (UTF-16 code
// units) of the first character of the page shown. An offset survives a new
// window or cell size; a page number would not.
struct BookPlace {
    int section = 1;
    std::int32_t offset = 0;
};

// A passage of a book and the text around it, enough to find it again in
// another edition of the text. Sections are numbered from 1.
struct Anchor {
    int section = 1;
    std::int32_t start = 0;
    std::int32_t length = 0;
    std::u16string quote;
    std::u16string before; // the context that ends at start
    std::u16string after;  // the context from start + length on
};

struct AnchorRange {
    int section = 1;
    std::int32_t start = 0;
    std::int32_t length = 0;
    bool operator==(const AnchorRange &) const = default;
};

// One marked passage of a book as the store keeps it (a passage mark, not a
// bookmark of the book file). Its anchor holds the place as last found.
struct StoredMark {
    std::int64_t id = 0;
    Anchor anchor;
    int colour = 1;   // 1..4
    std::string note; // UTF-8, may be empty
    std::int64_t created = 0;
    std::int64_t changed = 0; // seconds since 1970
    bool detached = false;    // not found in the book's text any more
};

// A book as the store knows it: by the fingerprint of its text.
struct BookKey {
    std::string fingerprint;
    std::u16string title;
    int sectionCount = 0;
};

// The per-user store of marks, notes and every book's place, keyed by a
// book's fingerprint. It opens its database on first use, never before,
// and makes it only to store something: a database not made yet holds nothing.
class NotesStore {
public:
    virtual ~NotesStore() = default;
    virtual std::optional<BookPlace> place(const std::string &fingerprint) = 0;
    virtual void storePlace(const std::string &fingerprint, std::u16string_view title, int sectionCount,
                            BookPlace place) = 0;
    // The fingerprint kept for the file at path while it has this stamp;
    // empty when none is kept.
    virtual std::string keptFingerprint(const std::string &path, const FileStamp &stamp)
    {
        (void)path, (void)stamp;
        return {};
    }
    virtual void keepFingerprint(const std::string &path, const FileStamp &stamp, const std::string &fingerprint)
    {
        (void)path, (void)stamp, (void)fingerprint;
    }
    // A small named choice of the reader's kept beside the notes (UTF-8);
    // empty when none is kept.
    virtual std::string preference(std::string_view key)
    {
        (void)key;
        return {};
    }
    virtual void storePreference(std::string_view key, std::string_view value) { (void)key, (void)value; }
    // A fault the reader should tell about, once (empty when there is none).
    virtual std::u16string takeMessage() { return {}; }

    // The book's marks in book order, detached ones last; nullopt on a fault.
    // With the book's texts they are first found again in them. At most
    // limit marks are read (-1: all).
    virtual std::optional<std::vector<StoredMark>>
    marks(const BookKey &, const std::vector<std::u16string> *texts = nullptr, std::int64_t limit = -1)
    {
        (void)texts, (void)limit;
        return std::vector<StoredMark>{};
    }
    // marks(book, texts) for a list: quote and note cut to their first
    // characters, without the contexts.
    virtual std::optional<std::vector<StoredMark>> briefMarks(const BookKey &book,
                                                              const std::vector<std::u16string> *texts, int characters)
    {
        (void)characters;
        return marks(book, texts);
    }
    // Whether the book has no marks of its own but an earlier edition (the
    // same title and section count) has: marks(book, texts) takes them over.
    virtual bool hasMarksToTakeOver(const BookKey &) { return false; }
    // The marks of one section that are not detached, by start.
    virtual std::optional<std::vector<StoredMark>> marksOfSection(const std::string &, int)
    {
        return std::vector<StoredMark>{};
    }
    virtual std::optional<std::int64_t> addMark(const BookKey &, const Anchor &, int, std::string_view)
    {
        return std::nullopt;
    }
    // False when the book has no such mark, or on a fault.
    virtual bool changeMark(const std::string &, std::int64_t, int, std::string_view) { return false; }
    virtual bool removeMark(const std::string &, std::int64_t) { return false; }
};

// Keeps nothing and knows no place.
NotesStore &noNotes();

} // namespace pagora
