#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pagora {

// Where a reader was in a book: the section and the offset (UTF-16 code
// units) of the first character of the page shown. An offset survives a new
// window or cell size; a page number would not.
struct BookPlace {
    int section = 1;
    std::int32_t offset = 0;
};

// The per-user store of marks, notes and every book's place, keyed by a
// book's fingerprint. It opens its database on first use, never before.
class NotesStore {
public:
    virtual ~NotesStore() = default;
    virtual std::optional<BookPlace> place(const std::string &fingerprint) = 0;
    virtual void storePlace(const std::string &fingerprint, std::u16string_view title, int sectionCount,
                            BookPlace place) = 0;
    // A fault the reader should tell about, once (empty when there is none).
    virtual std::u16string takeMessage() { return {}; }
};

// Keeps nothing and knows no place.
NotesStore &noNotes();

} // namespace pagora
