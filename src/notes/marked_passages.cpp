#include "notes/marked_passages.h"

#include <algorithm>

namespace pagora {

namespace {

// Whether every mark's quote still stands at its offset in text.
bool allInPlace(std::u16string_view text, const std::vector<StoredMark> &marks)
{
    return std::all_of(marks.begin(), marks.end(), [&](const StoredMark &m) {
        return m.anchor.start >= 0 && std::size_t(m.anchor.start) <= text.size() &&
               text.substr(std::size_t(m.anchor.start), m.anchor.quote.size()) == m.anchor.quote;
    });
}

} // namespace

void MarkedPassages::keepShown(int section, const std::vector<StoredMark> &marks)
{
    shown_.fingerprint = book_.fingerprint;
    shown_.section = section;
    shown_.marks.clear();
    for (const StoredMark &m : marks)
        shown_.marks.push_back({m.id, m.anchor.start, m.anchor.length, m.colour, !m.note.empty()});
}

std::u16string MarkedPassages::readSection(int section, std::u16string_view sectionText,
                                           const std::function<std::vector<std::u16string>()> &bookTexts)
{
    if (book_.fingerprint.empty() || shown_.describes(book_.fingerprint, section))
        return {};
    std::optional<std::vector<StoredMark>> marks = store_.marksOfSection(book_.fingerprint, section);
    // Another edition's marks are taken over, and moved marks found again,
    // only when there is cause: the text differs from what they quote, or
    // the book has no marks of its own yet.
    const bool stray = marks && !allInPlace(sectionText, *marks);
    const bool earlierEdition = marks && marks->empty() && store_.hasMarksToTakeOver(book_);
    if (stray || earlierEdition) {
        const std::vector<std::u16string> texts = bookTexts();
        store_.marks(book_, &texts, 0);
        marks = store_.marksOfSection(book_.fingerprint, section);
    }
    std::u16string fault = store_.takeMessage();
    keepShown(section, marks ? *marks : std::vector<StoredMark>{});
    return fault;
}

MarkOutcome<std::vector<StoredMark>> MarkedPassages::readAll(const std::vector<std::u16string> &texts,
                                                             std::optional<int> briefCharacters)
{
    MarkOutcome<std::vector<StoredMark>> out;
    out.value = briefCharacters ? store_.briefMarks(book_, &texts, *briefCharacters) : store_.marks(book_, &texts);
    out.fault = store_.takeMessage();
    // Found again in the text: the section shown is read anew when next drawn.
    shown_.fingerprint.clear();
    return out;
}

MarkOutcome<std::string> MarkedPassages::storedNote(int section, std::int64_t id)
{
    MarkOutcome<std::string> out;
    if (const auto marks = store_.marksOfSection(book_.fingerprint, section))
        for (const StoredMark &m : *marks)
            if (m.id == id)
                out.value = m.note;
    out.fault = store_.takeMessage();
    return out;
}

MarkOutcome<std::int64_t> MarkedPassages::add(const Anchor &anchor, int colour, std::string_view note)
{
    MarkOutcome<std::int64_t> out;
    out.value = store_.addMark(book_, anchor, colour, note);
    out.fault = store_.takeMessage();
    if (!out.value)
        return out;
    const PassageMark added{*out.value, anchor.start, anchor.length, colour, !note.empty()};
    // After every mark with the same start: the newest is drawn last.
    const auto at = std::upper_bound(shown_.marks.begin(), shown_.marks.end(), added,
                                     [](const PassageMark &a, const PassageMark &b) { return a.start < b.start; });
    shown_.marks.insert(at, added);
    shown_.lastColour = colour;
    return out;
}

MarkOutcome<bool> MarkedPassages::change(std::int64_t id, int colour, std::string_view note)
{
    MarkOutcome<bool> out;
    const bool changed = store_.changeMark(book_.fingerprint, id, colour, note);
    out.fault = store_.takeMessage();
    if (!changed)
        return out;
    out.value = true;
    for (PassageMark &m : shown_.marks)
        if (m.id == id) {
            m.colour = colour;
            m.hasNote = !note.empty();
        }
    return out;
}

MarkOutcome<bool> MarkedPassages::recolour(int section, std::int64_t id, int colour)
{
    MarkOutcome<std::string> note = storedNote(section, id);
    if (!note.value)
        return {std::nullopt, std::move(note.fault)};
    MarkOutcome<bool> out = change(id, colour, *note.value);
    if (out.fault.empty())
        out.fault = std::move(note.fault);
    if (out.value)
        shown_.lastColour = colour;
    return out;
}

MarkOutcome<bool> MarkedPassages::remove(std::int64_t id)
{
    MarkOutcome<bool> out;
    const bool removed = store_.removeMark(book_.fingerprint, id);
    out.fault = store_.takeMessage();
    if (!removed)
        return out;
    out.value = true;
    std::erase_if(shown_.marks, [id](const PassageMark &m) { return m.id == id; });
    return out;
}

} // namespace pagora
