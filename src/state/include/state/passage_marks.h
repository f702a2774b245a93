#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace pagora {

// A marked passage of the section shown, as the page painter needs it.
struct PassageMark {
    std::int64_t id = 0;
    std::int32_t start = 0;
    std::int32_t length = 0;
    int colour = 1; // 1..4
    bool hasNote = false;

    std::int32_t end() const { return start + length; }
    bool contains(std::int32_t offset) const { return offset >= start && offset < end(); }
};

// The marks of one section of one book (by its fingerprint), by start. They
// are drawn only while they belong to the section shown.
struct SectionMarks {
    std::string fingerprint;
    int section = 0;
    std::vector<PassageMark> marks;
    // The colour a new mark takes when none is chosen (a note's mark).
    int lastColour = 1;

    bool describes(const std::string &book, int shownSection) const
    {
        return !fingerprint.empty() && fingerprint == book && section == shownSection;
    }
};

// One entry of the notes screen: a marked passage of the open book.
struct NoteEntry {
    std::int64_t id = 0;
    int section = 0;
    std::int32_t start = 0;
    std::int32_t length = 0;
    int colour = 1;
    std::u16string quote; // its first characters
    std::u16string note;  // its first characters
    bool detached = false;
};

// The notes screen: the open book's marks in book order, detached last.
struct NotesList {
    std::vector<NoteEntry> entries;
    int first = 0;        // index of the first entry on the page shown
    int highlighted = -1; // the entry a press has chosen
};

} // namespace pagora
