#include "app/notes_handlers.h"
#include "app/messages.h"
#include "app/show_screen.h"

#include "app/book_place.h"
#include "app/input_dispatch.h"
#include "app/navigation.h"
#include "app/passage_mark_commands.h"
#include "app/reader.h"
#include "app/startup.h"
#include "notes/marked_passages.h"
#include "notes/notes_export.h"
#include "platform/files.h"
#include "render/layout_walk.h"
#include "render/primitives.h"
#include "screens/notes_screen.h"
#include "screens/selection_popups.h"
#include "text/codec.h"

#include <algorithm>

namespace pagora {

namespace {

// Characters of a passage and of a note kept for the list.
constexpr std::size_t kShownCharacters = 40;

// Line ends read as spaces in a column.
std::u16string oneLine(std::u16string text)
{
    text = text.substr(0, kShownCharacters);
    std::u16string out;
    for (const char16_t c : text) {
        if (c == u'\n' || c == u'\r') {
            if (!out.empty() && out.back() != u'　')
                out.push_back(u'　');
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::optional<std::vector<StoredMark>> readMarks(Reader &r, bool brief)
{
    const std::vector<std::u16string> texts = openBookTexts(r);
    auto marks = openBookMarks(r).readAll(texts, brief ? std::optional<int>(int(kShownCharacters)) : std::nullopt);
    if (!marks.fault.empty())
        showMessage(r, marks.fault);
    return std::move(marks.value);
}

void bottomBar(Reader &r, int x)
{
    const NotesList &notes = r.state.book.notes;
    listBottomBar(r, x,
                  {notes.first + kNotesPerPage<int(notes.entries.size()), notes.first> 0, [&] { nextNotesPage(r); },
                   [&] { previousNotesPage(r); }, [&] { showScreen(r, Screen::MenuScreen); }});
}

} // namespace

void openNotesScreen(Reader &r)
{
    ReaderState &s = r.state;
    NotesList &notes = s.book.notes;
    notes = NotesList{};
    const BookKey key = openBookKey(r);
    if (!key.fingerprint.empty()) {
        if (const auto marks = readMarks(r, true)) {
            for (const StoredMark &m : *marks)
                notes.entries.push_back({m.id, m.anchor.section, m.anchor.start, m.anchor.length, m.colour,
                                         oneLine(m.anchor.quote), oneLine(utf8ToUtf16(m.note)), m.detached});
        }
    }
    // The page that holds the first passage at or after the place being read.
    const std::int32_t place = s.book.pages.shownPageStart();
    const auto after = std::find_if(notes.entries.begin(), notes.entries.end(), [&](const NoteEntry &e) {
        return e.detached || e.section > s.book.currentSection ||
               (e.section == s.book.currentSection && e.start + e.length > place);
    });
    const int index = after == notes.entries.end() ? 0 : int(after - notes.entries.begin());
    notes.first = index / kNotesPerPage * kNotesPerPage;
    showScreen(r, Screen::NotesScreen);
}

void nextNotesPage(Reader &r)
{
    NotesList &notes = r.state.book.notes;
    if (notes.first + kNotesPerPage < int(notes.entries.size())) {
        notes.first += kNotesPerPage;
        notes.highlighted = -1;
        showScreen(r, Screen::NotesScreen);
    }
}

void previousNotesPage(Reader &r)
{
    NotesList &notes = r.state.book.notes;
    if (notes.first > 0) {
        notes.first = std::max(0, notes.first - kNotesPerPage);
        notes.highlighted = -1;
        showScreen(r, Screen::NotesScreen);
    }
}

void notesPointer(Reader &r, int x, int y)
{
    ReaderState &s = r.state;
    NotesList &notes = s.book.notes;
    const auto phase = s.pointer.pointerPhase();
    const bool overList = y >= s.layout.topBarHeight && y < s.layout.bottomBarTop;
    if (phase == PointerPhase::Press)
        s.pointer.grab(overList ? PointerGrab::ContentsListGrab : PointerGrab::NoGrab);
    if (s.pointer.pointerGrab() == PointerGrab::ContentsListGrab) {
        // The highlight follows the pointer; the release opens what it shows.
        const int entry = overList ? noteEntryAt(s, x) : -1;
        if (entry >= 0 && entry != notes.highlighted) {
            const int before = notes.highlighted;
            notes.highlighted = entry;
            repaintBox(r, noteEntryBox(s, before));
            repaintBox(r, noteEntryBox(s, entry));
        }
        if (phase == PointerPhase::Release) {
            s.pointer.grab(PointerGrab::NoGrab);
            const int chosen = notes.highlighted;
            notes.highlighted = -1;
            repaintBox(r, noteEntryBox(s, chosen));
            if (chosen >= 0)
                goToNote(r, chosen);
        }
        return;
    }
    if (phase == PointerPhase::Release)
        s.pointer.grab(PointerGrab::NoGrab);
    if (y < s.layout.topBarHeight && x >= s.window.clientWidth - kExportButtonWidth) {
        if (phase == PointerPhase::Press) {
            holdDown(r, {s.window.clientWidth - kExportButtonWidth, 0, kExportButtonWidth, s.layout.topBarHeight});
        } else if (phase == PointerPhase::Release) {
            letUp(r);
            exportNotes(r);
        }
    } else if (y >= s.layout.bottomBarTop) {
        bottomBar(r, x);
    }
}

void goToNote(Reader &r, int index)
{
    ReaderState &s = r.state;
    if (index < 0 || index >= int(s.book.notes.entries.size()))
        return;
    const NoteEntry e = s.book.notes.entries[std::size_t(index)];
    if (e.detached) {
        std::u16string text = u"找不到這段畫線的原文：\n「" + e.quote + u"」";
        if (!e.note.empty())
            text += u"\n附註：" + e.note;
        showMessage(r, text);
        return;
    }
    if (e.section < 1 || e.section > s.book.sectionCount)
        return;
    if (e.section != s.book.currentSection) {
        s.book.currentSection = std::int16_t(e.section);
        loadSection(r);
    }
    finishLayout(s.book);
    showPage(r, s.book.pages.pageHolding(e.start));
    // The passage shown selected, as if just chosen.
    Selection &sel = s.book.selection;
    sel.start = e.start;
    sel.length = std::min(e.length, std::max(0, s.book.textLength() - e.start));
    repaintShown(r);
}

void exportNotes(Reader &r)
{
    ReaderState &s = r.state;
    const BookKey key = openBookKey(r);
    if (key.fingerprint.empty())
        return;
    // A bare name: the dialog starts in the person's documents folder. The
    // title is the book's own text: in a file name it names no other folder.
    std::u16string title;
    for (const char16_t c : key.title)
        if (c >= 0x20 && c != 0x7f)
            title += c == u'/' ? u'_' : c;
    const std::string path = r.services.dialogs->chooseSaveFile(u"匯出附註", utf16ToUtf8(title) + ".md");
    if (path.empty())
        return;
    const auto marks = readMarks(r, false);
    if (!marks)
        return;
    if (!replaceFileAtomically(*r.services.files, path, notesMarkdown(key.title, s.book.contentsList, *marks)))
        showMessage(r, u"無法寫入：\n" + utf8ToUtf16(path));
    else
        showMessage(r, u"附註已匯出到：\n" + utf8ToUtf16(path));
}

} // namespace pagora
