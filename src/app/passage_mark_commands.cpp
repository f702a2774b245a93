#include "app/passage_mark_commands.h"
#include "app/messages.h"

#include "app/book_place.h"
#include "app/reader.h"
#include "app/startup.h"
#include "notes/anchoring.h"
#include "notes/marked_passages.h"
#include "text/codec.h"

#include <algorithm>

namespace pagora {

namespace {

void tell(Reader &r, const std::u16string &fault)
{
    if (!fault.empty())
        showMessage(r, fault);
}

bool isBookOpen(const ReaderState &s)
{
    return s.shelf.openBook() >= 0 && s.shelf.openBook() < s.shelf.bookCount() && s.book.bookFile.isOpen() &&
           s.book.currentSection >= 1 && s.book.currentSection <= s.book.sectionCount;
}

// The marks of the book whose fingerprint is known already: changes to marks
// shown never start the work on it.
MarkedPassages shownBookMarks(Reader &r)
{
    return MarkedPassages(*r.services.notes, BookKey{r.state.book.fingerprint, {}, 0}, r.state.book.shownMarks);
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
    ReaderState &s = r.state;
    BookKey key;
    if (!isBookOpen(s))
        return key;
    key.fingerprint = openBookFingerprint(r);
    key.title = s.shelf.catalogue()[std::size_t(s.shelf.openBook())].title;
    key.sectionCount = s.book.sectionCount;
    return key;
}

MarkedPassages openBookMarks(Reader &r)
{
    return MarkedPassages(*r.services.notes, openBookKey(r), r.state.book.shownMarks);
}

void refreshShownMarks(Reader &r)
{
    ReaderState &s = r.state;
    // They come when the fingerprint is known.
    if (!isBookOpen(s) || fingerprintUnderWay(r))
        return;
    tell(r,
         openBookMarks(r).readSection(s.book.currentSection, s.book.sectionText(), [&] { return openBookTexts(r); }));
}

bool loadMarksAfterStart(Reader &r)
{
    if (r.state.currentScreen != Screen::ReadingScreen)
        return false;
    refreshShownMarks(r);
    return !r.state.book.shownMarks.marks.empty();
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
    // The fingerprint first: the section's marks wait for it no longer.
    MarkedPassages marks = openBookMarks(r);
    refreshShownMarks(r);
    const auto anchor = marks.book().fingerprint.empty() ? std::nullopt : selectionAnchor(r.state);
    if (!anchor)
        return false;
    const auto added = marks.add(*anchor, colour, utf16ToUtf8(note));
    tell(r, added.fault);
    return added.value.has_value();
}

bool noteSelection(Reader &r)
{
    ReaderState &s = r.state;
    const Selection &sel = s.book.selection;
    std::u16string note;
    if (!r.services.dialogs->editNote(u"加註", passageText(s, sel.start, sel.length), note))
        return false;
    return markSelection(r, s.book.shownMarks.lastColour, note);
}

bool editMarkNote(Reader &r, std::int64_t id)
{
    ReaderState &s = r.state;
    const PassageMark *mark = shownMark(s, id);
    if (!mark)
        return false;
    const std::int32_t start = mark->start, length = mark->length;
    const int colour = mark->colour;
    // The note as stored: the section's marks carry only whether there is one.
    // Never edited from a guess: a note that cannot be read is not replaced.
    MarkedPassages marks = shownBookMarks(r);
    const auto stored = marks.storedNote(s.book.currentSection, id);
    tell(r, stored.fault);
    std::u16string note = stored.value ? utf8ToUtf16(*stored.value) : u"";
    if (!stored.value || !r.services.dialogs->editNote(u"修改附註", passageText(s, start, length), note))
        return false;
    const auto changed = marks.change(id, colour, utf16ToUtf8(note));
    tell(r, changed.fault);
    return changed.value.has_value();
}

bool recolourMark(Reader &r, std::int64_t id, int colour)
{
    const auto changed = shownBookMarks(r).recolour(r.state.book.currentSection, id, colour);
    tell(r, changed.fault);
    return changed.value.has_value();
}

bool removeMark(Reader &r, std::int64_t id)
{
    const PassageMark *mark = shownMark(r.state, id);
    if (!mark || (mark->hasNote && !askYesNo(r, u"這段畫線有附註，要連同附註一起刪除嗎？")))
        return false;
    const auto removed = shownBookMarks(r).remove(id);
    tell(r, removed.fault);
    return removed.value.has_value();
}

} // namespace pagora
