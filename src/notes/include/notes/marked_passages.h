#pragma once
#include "notes/notes_store.h"
#include "state/passage_marks.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pagora {

// What a call on the marks gave: its value (none when it failed) and the
// fault the store has to tell, empty when there is none. They come together,
// so a caller can neither miss the fault nor take it from another call.
template <class T> struct MarkOutcome {
    std::optional<T> value;
    std::u16string fault;
};

// The passage marks of one book: the store that keeps them, the book as the
// store knows it, and the marks of the section shown, which only this owner
// changes. The section's marks are plain state, since the page painter draws
// them; the owner keeps them in step with every change it stores.
class MarkedPassages {
public:
    MarkedPassages(NotesStore &store, BookKey book, SectionMarks &shown)
        : store_(store), book_(std::move(book)), shown_(shown)
    {
    }

    const BookKey &book() const { return book_; }
    const SectionMarks &shown() const { return shown_; }

    // The marks of section read unless they are held. Marks whose quote no
    // longer stands in sectionText, and those of an earlier edition when the
    // book has none of its own, are first found again in bookTexts(), which
    // is asked for only then. A fault leaves the section read, with no marks:
    // it is not tried again at every page.
    std::u16string readSection(int section, std::u16string_view sectionText,
                               const std::function<std::vector<std::u16string>()> &bookTexts);
    // Every mark of the book found again in texts, in book order; with
    // briefCharacters, quote and note cut to that many characters. The
    // section shown is read anew when next needed.
    MarkOutcome<std::vector<StoredMark>> readAll(const std::vector<std::u16string> &texts,
                                                 std::optional<int> briefCharacters);
    // The note of mark id of section as stored (UTF-8).
    MarkOutcome<std::string> storedNote(int section, std::int64_t id);

    // The new mark's id; it is drawn after every shown mark with its start.
    MarkOutcome<std::int64_t> add(const Anchor &anchor, int colour, std::string_view note);
    // Colour and note of mark id stored anew; false when the book has no such mark.
    MarkOutcome<bool> change(std::int64_t id, int colour, std::string_view note);
    // Mark id in colour, its note kept as stored; the colour becomes the one
    // a new note's mark takes.
    MarkOutcome<bool> recolour(int section, std::int64_t id, int colour);
    MarkOutcome<bool> remove(std::int64_t id);

private:
    void keepShown(int section, const std::vector<StoredMark> &marks);

    NotesStore &store_;
    BookKey book_;
    SectionMarks &shown_;
};

} // namespace pagora
