#pragma once
#include "state/book_entry.h"
#include "state/book_file.h"
#include "state/colour.h"
#include "state/layout.h"
#include "state/passage_marks.h"
#include "state/pixel_rect.h"
#include "state/selection.h"
#include "state/text_area.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pagora {

// Screens the panel can show; no other value is ever stored.
enum class Screen : std::int16_t {
    ShelfScreen = 0,
    ReadingScreen = 1,
    MenuScreen = 2,
    HelpScreen = 3,
    ContentsScreen = 4,
    NotesScreen = 5, // the marks and notes of the open book
    MoveToShelfPanel = 31,
};

// Where the shelf or the contents screen was entered from: the open book's
// menu, or the shelf (opening a book). The digits are those of the field.
enum class EnteredFrom : std::int16_t { Shelf = 0, Menu = 2 };

// Whether the window fills the screen, and how.
enum class FullScreenState : std::int32_t {
    Framed = 0,               // a fixed size with its frame, sized automatically
    Borderless = 1,           // no frame, the whole screen
    MaximizedWithCaption = 2, // maximized by the window manager, frame kept
};

enum class PointerPhase : std::int16_t { NoPhase = 0, Press = 1, Drag = 2, Release = 3 };

// A press on a slider, a window-mode cell or a contents title changes the
// position or the mode at once and commits it on release. The gesture stays
// with that control until the release, so a release elsewhere can never leave
// a section chosen whose text was not loaded, or a mode chosen but not applied.
enum class PointerGrab : std::int16_t {
    NoGrab = 0,
    PageSliderGrab = 1,
    SectionSliderGrab = 2,
    WindowRowGrab = 3,
    ContentsListGrab = 4,  // pressed on the list, no title chosen yet
    ContentsTitleGrab = 5, // a title has been chosen by this gesture
};

constexpr int kRecordListEntries = 500;
constexpr int kInitialPageCapacity = 256;
// Page numbers are 16-bit; one below the limit so that "page + 1" still fits.
constexpr int kMaxPages = 32766;

// The pages of the current section and the one shown. The one place that
// knows where a page starts and which page holds an offset; the layout walk
// produces it (paginate, or page by page: beginLayout and the calls after
// it), and only its own operations change it.
//
// A table may be laid out only in part: pages 1..pageCount are known and the
// walk goes on at laidOutTo() in the area it was begun for. Whatever needs
// the whole section (the page count, the last page, the page that holds an
// offset beyond) lays the rest out first.
class PageTable {
public:
    PageTable() = default;
    // starts[1..pageCount] the first offset of each page, starts[pageCount + 1]
    // the end; entry 0 and those after the end are unused. The last page is
    // current, as a walk through the section leaves it.
    PageTable(std::vector<std::int32_t> starts, int pageCount);
    // No page laid out yet: the first begins at offset 0 of a text laid out
    // in area.
    explicit PageTable(const TextArea &area);

    // Pages laid out so far: the section's count once complete.
    std::int16_t pageCount() const { return pageCount_; }
    std::int16_t currentPage() const { return currentPage_; }
    // Offset of the first character the reading screen draws; -1 = no text.
    std::int32_t shownPageStart() const { return shownPageStart_; }
    // Entries the table holds room for (it keeps the room it has grown to).
    std::size_t capacity() const { return pageStarts_.size(); }
    std::size_t heapBytes() const { return pageStarts_.capacity() * sizeof(std::int32_t); }
    // Every page of the section is laid out.
    bool isComplete() const { return complete_; }
    // Where the page after the last one laid out begins (the end once complete).
    std::int32_t laidOutTo() const { return start(pageCount_ + 1); }
    // The area the pages are laid out in; what lays out the rest uses it.
    const TextArea &area() const { return area_; }

    // Start of page p as the last pagination recorded it; 0 outside the table.
    std::int32_t start(int p) const;
    // The page whose range holds offset, within 1..pageCount.
    int pageHolding(std::int32_t offset) const;
    // currentPage kept inside 1..pageCount.
    int shownPage() const;

    // Page p becomes the page shown, drawn from its start.
    void show(int p);
    // Page p becomes current; it is drawn from its start once shown.
    void turnTo(int p);
    // New page boundaries for the same section; what is drawn stays until
    // a page is shown.
    void repaginate(PageTable fresh);
    // No pages and nothing shown; the room stays.
    void clear();
    // The next page, from laidOutTo(), ends at next; last: the text ends
    // there. A page that would not move on, or past the last number a page
    // can have, ends the table instead.
    void addPage(std::int32_t next, bool last);

private:
    std::vector<std::int32_t> pageStarts_ = std::vector<std::int32_t>(kInitialPageCapacity, 0);
    std::int16_t pageCount_ = 0;
    std::int16_t currentPage_ = 0;
    std::int32_t shownPageStart_ = -1;
    bool complete_ = true;
    TextArea area_;
};

// Where Pagora runs from and keeps its things (UTF-8; folders end with '/').
struct Folders {
    std::string exeFolder;
    std::string settingsFolder;   // where Pagora.ini lives; exeFolder when portable
    std::string defaultShelfPath; // main shelf without settings; exeFolder when portable
    bool installed = false;       // the executable's folder is not writable
    std::string mainShelfPath;
};

// The press being followed: phase, button and the control that holds it.
// A press starts a gesture; once the button is let go nothing more of it is
// delivered, and no control keeps hold of it.
class Pointer {
public:
    PointerPhase pointerPhase() const { return pointerPhase_; }
    bool buttonHeld() const { return buttonHeld_; }
    // The menu slider, window-mode row or contents list a press took hold
    // of: it follows that gesture to its release, wherever the pointer goes.
    PointerGrab pointerGrab() const { return pointerGrab_; }

    void press()
    {
        buttonHeld_ = true;
        pointerPhase_ = PointerPhase::Press;
    }
    void drag() { pointerPhase_ = PointerPhase::Drag; }
    void release() { pointerPhase_ = PointerPhase::Release; }
    // The control the press holds down, drawn so until the press ends.
    const PixelRect &pressed() const { return pressed_; }

    // The button is up, or a screen change consumed the press.
    void letGo()
    {
        buttonHeld_ = false;
        pointerGrab_ = PointerGrab::NoGrab;
        pressed_ = {};
    }
    void grab(PointerGrab control) { pointerGrab_ = control; }
    void holdDown(PixelRect control) { pressed_ = control; }

private:
    PointerPhase pointerPhase_ = PointerPhase::NoPhase;
    bool buttonHeld_ = false;
    PointerGrab pointerGrab_ = PointerGrab::NoGrab;
    PixelRect pressed_;
};

// What the reading screen and its menu show besides the page.
struct ReadingModes {
    bool searchMode = false;
    bool bookmarkMode = false;
    bool showPageNumber = false;
    bool showSectionNumber = false;
    bool showMatch = false;

    // The reading screen's extras (page and section indicators, search hit) off.
    void clearReadingMarks();
};

// The shelf shown, its catalogue and the book chosen on it. The selected
// and the open book are entries of the catalogue, or -1 for none.
class Shelf {
public:
    std::int16_t currentShelf = 0;
    std::string shelfPath;
    std::int16_t shelfPageFirst = 0;
    std::int32_t shelfPageStart = 0;
    std::int16_t shelfNextPage = 0;
    std::int16_t shelfPrevPage = -1;
    EnteredFrom cameFromMenu = EnteredFrom::Shelf;
    // The help screen's page: 0 the touch regions, 1 the keys.
    std::int16_t helpPage = 0;
    // The move-to-shelf panel's choice.
    std::int16_t moveTarget = 0;
    std::int16_t moveSlot = 1;
    // The most sections of any book scanned: the bookmark tables have a slot for each.
    std::int16_t maxSectionCount = 0;

    const std::vector<BookEntry> &catalogue() const { return catalogue_; }
    // The entries themselves may change; the list only through the operations below.
    std::span<BookEntry> entries() { return catalogue_; }
    // The books listed (the catalogue never lists more than 16-bit counts).
    std::int16_t bookCount() const { return std::int16_t(catalogue_.size()); }
    std::int16_t selectedBook() const { return selectedBook_; }
    std::int16_t openBook() const { return openBook_; }
    // The entry of selectedBook, or nullptr when none is selected.
    BookEntry *selectedEntry();
    const BookEntry *selectedEntry() const;

    // Book i becomes the selected (or the open) one; -1 or a number outside
    // the catalogue means none.
    void select(int book);
    void setOpenBook(int book);
    // Appends an entry; false when the catalogue cannot count more.
    bool addEntry(BookEntry entry);
    // Removes the selected entry: the book after it is selected, or the one
    // before after the last; none is open.
    void removeSelected();
    // No entries, none selected or open.
    void clearCatalogue();

private:
    std::vector<BookEntry> catalogue_;
    std::int16_t selectedBook_ = -1;
    std::int16_t openBook_ = -1;
};

// The open book: its file, contents, the section read and its pages.
class OpenBook {
public:
    std::vector<std::u16string> contentsList;
    std::int16_t sectionCount = 0;
    std::int16_t currentSection = 0;
    std::int16_t contentsFirst = 0;
    std::int16_t contentsNextPage = 0, contentsPrevPage = 0;
    std::int32_t contentsStart = 0;
    PageTable pages;
    // The text chosen on the page shown, and the card over it.
    Selection selection;
    // The marks of the section shown, and the notes screen's list.
    SectionMarks shownMarks;
    NotesList notes;
    // The book's fingerprint and the file it was taken from; empty until
    // its place or its marks are first needed.
    std::string fingerprintFile;
    std::string fingerprint;
    BookFile bookFile;

    // The characters of the section last loaded.
    const std::u16string &sectionText() const { return sectionText_; }
    // How many of them the layout may use: all once loaded, none after a
    // failed load, which keeps the old characters; never more than held.
    std::int32_t textLength() const { return textLength_; }
    std::u16string_view usableText() const { return {sectionText_.data(), std::size_t(textLength_)}; }

    // A section's text, all of it usable.
    void setSectionText(std::u16string text);
    // The characters stay, but nothing of them is laid out.
    void markTextUnloaded() { textLength_ = 0; }

private:
    std::u16string sectionText_;
    std::int32_t textLength_ = 0;
};

// Bookmarks of the open book, indexed by section 0..maxSectionCount, and
// the marks around the page shown. Each list stays ascending, within the
// room its capacity gives, and any change leaves the marks to be stored.
class Bookmarks {
public:
    // Room grows in steps of this many pages.
    static constexpr int kCapacityStep = 10;

    // The list of each section; size() of each is its count.
    const std::vector<std::vector<std::int16_t>> &bookmarkPages() const { return bookmarkPages_; }
    const std::vector<std::int16_t> &bookmarkCapacity() const { return bookmarkCapacity_; }
    // Marks changed since they were loaded or stored.
    bool bookmarksDirty() const { return bookmarksDirty_; }
    // The book file the tables were loaded from and its section count: the
    // store writes there, whatever shelf or book is selected by then.
    const std::string &bookmarkFile() const { return bookmarkFile_; }
    std::int16_t bookmarkSectionCount() const { return bookmarkSectionCount_; }

    // The pages of section, ascending; nullptr when the tables have no slot.
    const std::vector<std::int16_t> *pagesOf(int section) const;
    // slots empty lists that belong to no book.
    void reset(int slots);
    // The lists freed with the catalogue; a pending store then writes nothing.
    void release();
    // Every list empty, at least slots of them; nothing else changes.
    void emptyLists(int slots);
    // Empty lists for the book in file with sectionCount sections.
    void bindTo(std::string file, int sectionCount);
    // Adds page to the section's list, after an equal one; false when the
    // section has no slot or its list is full.
    bool add(int section, std::int16_t page);
    // Removes one mark of page from the section's list; false when none.
    bool remove(int section, std::int16_t page);
    // A list as read from a book: ascending, cut to the room a list can have.
    void setPages(int section, std::vector<std::int16_t> pages);
    // Stored, or given up: nothing is pending.
    void markStored() { bookmarksDirty_ = false; }

    bool pageHasBookmark = false;
    std::int16_t nextMarkPage = 0, prevMarkPage = 0;
    std::int16_t nextMarkSection = 0, prevMarkSection = 0;

private:
    std::vector<std::vector<std::int16_t>> bookmarkPages_;
    std::vector<std::int16_t> bookmarkCapacity_;
    bool bookmarksDirty_ = false;
    std::string bookmarkFile_;
    std::int16_t bookmarkSectionCount_ = 0;
};

// Position read from the settings file (and reused by search).
struct SavedPosition {
    std::int16_t savedSectionCount = 0;
    std::int16_t savedSection = 0;
    std::int16_t savedPage = 0;
    std::string savedBookFile;
    // The settings named a book to reopen at start-up; cleared once tried.
    bool reopenSavedBook = false;
};

// The text searched for and the last hit.
class Search {
public:
    std::u16string searchText;

    bool matchFound() const { return matchFound_; }
    // Where the last hit lies; kept after a miss, so its mark can still be drawn.
    std::int16_t matchSection() const { return matchSection_; }
    std::int32_t matchOffset() const { return matchOffset_; }

    void rememberHit(std::int16_t section, std::int32_t offset);
    // The next find starts from the page again, not after the last hit.
    void markNotFound() { matchFound_ = false; }
    // A hit is remembered only within the book it was found in.
    void forgetSearchHit();

private:
    bool matchFound_ = false;
    std::int16_t matchSection_ = 0;
    std::int32_t matchOffset_ = 0;
};

// Colours, sizes and the face of the page. The scheme, background and size
// step stay in their ranges, and the page colour always follows the first two.
class Appearance {
public:
    std::int16_t textScheme() const { return textScheme_; }
    std::int16_t backgroundChoice() const { return backgroundChoice_; }
    Colour readingColour() const { return readingColour_; }
    std::int16_t sizeStep() const { return sizeStep_; }

    // Scheme 1..2 and background 1..9; a value outside, as damaged settings
    // give, becomes the default.
    void setColours(int textScheme, int backgroundChoice);
    // Step 1..9; outside becomes 1.
    void setSizeStep(int sizeStep) { sizeStep_ = std::int16_t(sizeStep >= 1 && sizeStep <= 9 ? sizeStep : 1); }

    std::int16_t baseFontSize = 14;
    // Punctuation of vertical columns in its vertical forms, or upright as written.
    bool verticalForms = true;
    // Columns break by the rules of printed Chinese (no closing mark at a
    // column's top, no opening one at its foot); off, page starts are as
    // bookmarks stored in books name them.
    bool chineseBreaks = false;
    std::string fontName; // UTF-8
    Colour screenColour = rgb(128, 128, 64);
    Colour panelColour = rgb(127, 127, 191);

private:
    std::int16_t textScheme_ = 1;
    std::int16_t backgroundChoice_ = 2;
    Colour readingColour_ = kButtonFaceColour;
    std::int16_t sizeStep_ = 1;
};

// The window: its mode, size and margins.
struct Window {
    std::int16_t windowMode = 0;
    std::int16_t windowModeCount = 0;
    std::int16_t startWindowMode = 0;
    FullScreenState fullScreenState = FullScreenState::Framed;
    // The caption mode came from a resize by the window manager (a dragged
    // frame, tiling), not from maximizing.
    bool sizedByWindowManager = false;
    bool layoutBusy = false;
    std::int16_t clientWidth = 0, clientHeight = 0;
    std::int16_t verticalMargin = 16, horizontalMargin = 20;
};

// The one process-wide record of the reader: the screen shown and one owner
// per concern. Counters and numbers are 16-bit, offsets and lengths 32-bit.
struct ReaderState {
    Screen currentScreen = Screen::ShelfScreen;
    Folders folders;
    Pointer pointer;
    ReadingModes menu;
    Shelf shelf;
    OpenBook book;
    Bookmarks bookmarks;
    SavedPosition saved;
    Search search;
    Appearance look;
    Window window;
    Layout layout;
};

} // namespace pagora
