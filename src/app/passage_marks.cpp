#include "app/passage_marks.h"
#include "app/messages.h"

#include "app/book_place.h"
#include "app/reader.h"
#include "app/startup.h"
#include "notes/anchoring.h"
#include "text/codec.h"

#include <algorithm>

namespace pagora {

namespace {

void tellFault(Reader &r)
{
    const std::u16string message = r.p.notes->takeMessage();
    if (!message.empty())
        showMessage(r, message);
}

bool isBookOpen(const ReaderState &s)
{
    return s.shelf.openBook() >= 0 && s.shelf.openBook() < s.shelf.bookCount() && s.book.bookFile.isOpen() &&
           s.book.currentSection >= 1 && s.book.currentSection <= s.book.sectionCount;
}

PassageMark passageOf(const Mark &m)
{
    return {m.id, m.anchor.start, m.anchor.length, m.colour, !m.note.empty()};
}

// Whether every mark's quote still stands at its offset in the section shown.
bool allInPlace(const ReaderState &s, const std::vector<Mark> &marks)
{
    const std::u16string &text = s.book.sectionText();
    return std::all_of(marks.begin(), marks.end(), [&](const Mark &m) {
        return m.anchor.start >= 0 && std::size_t(m.anchor.start) <= text.size() &&
               text.compare(std::size_t(m.anchor.start), m.anchor.quote.size(), m.anchor.quote) == 0;
    });
}

void keepShown(ReaderState &s, const std::string &fingerprint, const std::vector<Mark> &marks)
{
    SectionMarks &shown = s.book.shownMarks;
    shown.fingerprint = fingerprint;
    shown.section = s.book.currentSection;
    shown.marks.clear();
    for (const Mark &m : marks)
        shown.marks.push_back(passageOf(m));
}

// The anchor of the selection, from the section shown alone.
std::optional<Anchor> selectionAnchor(const ReaderState &s)
{
    const Selection &sel = s.book.selection;
    const std::int32_t length = s.book.textLength();
    if (sel.isEmpty() || sel.start < 0 || sel.start >= length)
        return std::nullopt;
    return anchorIn(s.book.usableText(), s.book.currentSection, sel.start, std::min(sel.length, length - sel.start));
}

std::u16string passageText(const ReaderState &s, std::int32_t start, std::int32_t length)
{
    const std::int32_t end = std::min(start + length, s.book.textLength());
    if (start < 0 || start >= end)
        return {};
    return s.book.sectionText().substr(std::size_t(start), std::size_t(end - start));
}

} // namespace

BookKey openBookKey(Reader &r)
{
    ReaderState &s = r.s;
    BookKey key;
    if (!isBookOpen(s))
        return key;
    key.fingerprint = openBookFingerprint(r);
    key.title = s.shelf.catalogue()[std::size_t(s.shelf.openBook())].title;
    key.sectionCount = s.book.sectionCount;
    return key;
}

void refreshShownMarks(Reader &r)
{
    ReaderState &s = r.s;
    // They come when the fingerprint is known.
    if (!isBookOpen(s) || fingerprintUnderWay(r))
        return;
    const BookKey key = openBookKey(r);
    if (key.fingerprint.empty() || s.book.shownMarks.describes(key.fingerprint, s.book.currentSection))
        return;
    NotesStore &notes = *r.p.notes;
    std::optional<std::vector<Mark>> marks = notes.marksOfSection(key.fingerprint, s.book.currentSection);
    // Another edition's marks are taken over, and moved marks found again,
    // only when there is cause: the text differs from what they quote, or
    // the book has no marks of its own yet.
    const bool stray = marks && !allInPlace(s, *marks);
    const bool earlierEdition = marks && marks->empty() && notes.hasMarksToTakeOver(key);
    if (stray || earlierEdition) {
        const std::vector<std::u16string> texts = openBookTexts(r);
        notes.marks(key, &texts, 0);
        marks = notes.marksOfSection(key.fingerprint, s.book.currentSection);
    }
    tellFault(r);
    // A fault is not tried again at every page: the section counts as read.
    keepShown(s, key.fingerprint, marks ? *marks : std::vector<Mark>{});
}

bool loadMarksAfterStart(Reader &r)
{
    if (r.s.currentScreen != Screen::ReadingScreen)
        return false;
    refreshShownMarks(r);
    return !r.s.book.shownMarks.marks.empty();
}

const PassageMark *markHolding(const ReaderState &s, std::int32_t offset)
{
    const SectionMarks &shown = s.book.shownMarks;
    if (!shown.describes(s.book.fingerprint, s.book.currentSection))
        return nullptr;
    // The latest mark that holds it: it is drawn over the others.
    const PassageMark *found = nullptr;
    for (const PassageMark &m : shown.marks)
        if (m.contains(offset))
            found = &m;
    return found;
}

const PassageMark *shownMark(const ReaderState &s, std::int64_t id)
{
    for (const PassageMark &m : s.book.shownMarks.marks)
        if (m.id == id)
            return &m;
    return nullptr;
}

bool markSelection(Reader &r, int colour, const std::u16string &note)
{
    ReaderState &s = r.s;
    // The fingerprint first: the section's marks wait for it no longer.
    const BookKey key = openBookKey(r);
    refreshShownMarks(r);
    const auto anchor = key.fingerprint.empty() ? std::nullopt : selectionAnchor(s);
    if (!anchor)
        return false;
    const auto id = r.p.notes->addMark(key, *anchor, colour, utf16ToUtf8(note));
    tellFault(r);
    if (!id)
        return false;
    SectionMarks &shown = s.book.shownMarks;
    const PassageMark added{*id, anchor->start, anchor->length, colour, !note.empty()};
    // After every mark with the same start: the newest is drawn last.
    const auto at = std::upper_bound(shown.marks.begin(), shown.marks.end(), added,
                                     [](const PassageMark &a, const PassageMark &b) { return a.start < b.start; });
    shown.marks.insert(at, added);
    shown.lastColour = colour;
    return true;
}

bool noteSelection(Reader &r)
{
    ReaderState &s = r.s;
    const Selection &sel = s.book.selection;
    std::u16string note;
    if (!r.p.dialogs->editNote(u"加註", passageText(s, sel.start, sel.length), note))
        return false;
    return markSelection(r, s.book.shownMarks.lastColour, note);
}

bool editMarkNote(Reader &r, std::int64_t id)
{
    ReaderState &s = r.s;
    const PassageMark *mark = shownMark(s, id);
    if (!mark)
        return false;
    const std::int32_t start = mark->start, length = mark->length;
    const int colour = mark->colour;
    // The note as stored: the section's marks carry only whether there is one.
    // Never edited from a guess: a note that cannot be read is not replaced.
    std::optional<std::u16string> stored;
    if (const auto marks = r.p.notes->marksOfSection(s.book.fingerprint, s.book.currentSection))
        for (const Mark &m : *marks)
            if (m.id == id)
                stored = utf8ToUtf16(m.note);
    tellFault(r);
    std::u16string note = stored.value_or(u"");
    if (!stored || !r.p.dialogs->editNote(u"修改附註", passageText(s, start, length), note))
        return false;
    const bool changed = r.p.notes->changeMark(s.book.fingerprint, id, colour, utf16ToUtf8(note));
    tellFault(r);
    if (changed)
        for (PassageMark &m : s.book.shownMarks.marks)
            if (m.id == id)
                m.hasNote = !note.empty();
    return changed;
}

bool recolourMark(Reader &r, std::int64_t id, int colour)
{
    ReaderState &s = r.s;
    // The note goes back as stored: only the colour changes.
    std::optional<std::string> note;
    if (const auto marks = r.p.notes->marksOfSection(s.book.fingerprint, s.book.currentSection))
        for (const Mark &m : *marks)
            if (m.id == id)
                note = m.note;
    const bool changed = note && r.p.notes->changeMark(s.book.fingerprint, id, colour, *note);
    tellFault(r);
    if (changed) {
        for (PassageMark &m : s.book.shownMarks.marks)
            if (m.id == id)
                m.colour = colour;
        s.book.shownMarks.lastColour = colour;
    }
    return changed;
}

bool removeMark(Reader &r, std::int64_t id)
{
    ReaderState &s = r.s;
    const PassageMark *mark = shownMark(s, id);
    if (!mark || (mark->hasNote && !askYesNo(r, u"這段畫線有附註，要連同附註一起刪除嗎？")))
        return false;
    const bool removed = r.p.notes->removeMark(s.book.fingerprint, id);
    tellFault(r);
    if (removed)
        std::erase_if(s.book.shownMarks.marks, [id](const PassageMark &m) { return m.id == id; });
    return removed;
}

} // namespace pagora
