#pragma once
#include "book/book_entry.h"
#include "platform/colour.h"
#include "platform/surface.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Screens the panel can show; no other value is ever stored.
enum Screen : std::int16_t {
    ShelfScreen = 0,
    ReadingScreen = 1,
    MenuScreen = 2,
    HelpScreen = 3,
    ContentsScreen = 4,
    MoveToShelfPanel = 31,
};

enum PointerPhase : std::int16_t { NoPhase = 0, Press = 1, Drag = 2, Release = 3 };

constexpr int kRecordListEntries = 500;
constexpr int kInitialPageCapacity = 256;

// The one process-wide record of the reader. Plain fields, no accessors;
// counters and numbers are 16-bit, offsets and lengths 32-bit.
struct ReaderState {
    // --- Screen and pointer
    std::int16_t currentScreen = ShelfScreen;
    std::int16_t pointerPhase = NoPhase;
    std::int16_t buttonHeld = 0;
    // The menu slider, window-mode row or contents list a press took hold
    // of: it follows that gesture to its release, wherever the pointer goes.
    std::int16_t pointerGrab = 0;
    std::int16_t searchMode = 0;
    std::int16_t bookmarkMode = 0;
    std::int16_t pageHasBookmark = 0;
    std::int16_t nextMarkPage = 0, prevMarkPage = 0;
    std::int16_t nextMarkSection = 0, prevMarkSection = 0;

    // --- Panel text fields (UTF-8; folders end with '/')
    std::string mainShelfPath;
    std::string fontName;

    // --- Shelf and catalogue
    std::string exeFolder;
    std::string settingsFolder;   // where Pagora.ini lives; exeFolder when portable
    std::string defaultShelfPath; // main shelf without settings; exeFolder when portable
    bool installed = false;       // the executable's folder is not writable
    std::int16_t currentShelf = 0;
    std::string shelfPath;
    std::vector<BookEntry> catalogue;
    std::int16_t bookCount = 0;
    std::int16_t selectedBook = 0;
    std::int16_t openBook = -1;
    // selectedEntry is catalogue[selectedBook] when selectedBook >= 0.
    std::int16_t shelfPageFirst = 0;
    std::int32_t shelfPageStart = 0;
    std::int16_t shelfNextPage = 0;
    std::int16_t shelfPrevPage = -1;
    std::int16_t cameFromMenu = 0;

    // --- Open book and position
    std::vector<std::u16string> contentsList;
    std::int16_t sectionCount = 0;
    std::int16_t currentSection = 0;
    std::int16_t contentsFirst = 0;
    std::int16_t contentsNextPage = 0, contentsPrevPage = 0;
    std::int32_t contentsStart = 0;
    std::u16string sectionText;
    std::int32_t textLength = 0;
    std::vector<std::int32_t> pageStarts = std::vector<std::int32_t>(kInitialPageCapacity, 0);
    std::int16_t currentPage = 0;
    std::int16_t pageCount = 0;
    std::int32_t shownPageStart = -1;
    std::int32_t showPageNumber = 0;
    std::int32_t showSectionNumber = 0;
    std::int16_t showMatch = 0;

    // --- Open-book file state
    int bookStream = -1; // Files handle
    BookEncoding bookEncoding = BookEncoding::CP950;
    std::int32_t fileSize = 0;
    std::int16_t recordCount = 0;
    std::array<std::uint8_t, kRecordListEntries * 8> recordList{};
    std::vector<std::uint8_t> recordBytes;
    std::int32_t recordEnd = 0;
    std::int32_t readPos = 0;
    std::vector<std::uint8_t> fieldBuffer;
    std::int16_t maxSectionCount = 0;

    // --- Bookmarks of the open book, indexed by section 0..maxSectionCount
    std::vector<std::vector<std::int16_t>> bookmarkPages; // size() of each is its count
    std::vector<std::int16_t> bookmarkCapacity;
    std::vector<std::int16_t> bookmarkCount;
    bool bookmarksDirty = false;
    // The book file the tables were loaded from and its section count: the
    // store writes there, whatever shelf or book is selected by then.
    std::string bookmarkFile;
    std::int16_t bookmarkSectionCount = 0;

    // --- Position read from the settings file (and reused by search)
    std::int16_t savedSectionCount = 0;
    std::int16_t savedSection = 0;
    std::int16_t savedPage = 0;
    std::string savedBookFile;

    // --- Search
    std::u16string searchText;
    std::int16_t matchFound = 0;
    std::int16_t matchSection = 0;
    std::int32_t matchOffset = 0;

    // --- Move-to-shelf panel
    std::int16_t moveTarget = 0;
    std::int16_t moveSlot = 1;

    // --- Appearance
    std::int16_t textScheme = 1;
    std::int16_t backgroundChoice = 2;
    std::int16_t sizeStep = 1;
    std::int16_t baseFontSize = 14;
    // 1: punctuation of vertical columns in its vertical forms; 0: upright as written.
    std::int16_t verticalForms = 1;
    std::int16_t glyphWidth = 0, glyphHeight = 0;
    Colour readingColour = kButtonFaceColour;
    Colour screenColour = rgb(128, 128, 64);
    Colour panelColour = rgb(127, 127, 191);
    FontHandle interfaceFont = kNoFont;
    FontHandle readingFont = kNoFont;
    int readingFontEscapement = 0;

    // --- Window
    std::int16_t windowMode = 0;
    std::int16_t windowModeCount = 0;
    std::int16_t startWindowMode = 0;
    std::int32_t fullScreenState = 0;
    std::int16_t layoutBusy = 0;
    std::int16_t clientWidth = 0, clientHeight = 0;
    std::int16_t verticalMargin = 16, horizontalMargin = 20;

    // --- Layout metrics (computeLayout / applyWindowMode)
    std::int16_t topBarHeight = 26;
    std::int16_t barHeight = 0, barTextInset = 0;
    std::int16_t columnWidth = 0, columnInset = 0;
    std::int16_t listTop = 0, band2Top = 0, band3Top = 0;
    std::int16_t buttonRowTop = 0, bottomBarTop = 0, thirdRowTop = 0;
    std::int16_t leftThird = 0, rightThird = 0;
    std::int16_t halfWidth = 0, halfHeight = 0;
    std::int16_t sixthWidth = 0, rightSixth = 0, sixthInset = 0;
    std::int16_t menuBandTop = 0, menuBandBottom = 0;
    std::int16_t menuTitleTop = 0, pageBandLabelTop = 0;
    std::int16_t panelButtonsLeft = 0;
    std::int16_t leftMargin = 0, pathTextLeft = 0, digitRowLeft = 0, fontNameRight = 0;
    std::array<std::int16_t, 9> slotX{};
    std::int16_t mainSlotX = 0;
    std::int16_t titleLineChars = 36;
};

// The catalogue entry of selectedBook, or nullptr when none is selected.
inline BookEntry *selectedEntry(ReaderState &s)
{
    if (s.selectedBook < 0 || s.selectedBook >= std::int16_t(s.catalogue.size()))
        return nullptr;
    return &s.catalogue[std::size_t(s.selectedBook)];
}

// A search hit is remembered only within the book it was found in.
inline void forgetSearchHit(ReaderState &s)
{
    s.matchFound = 0;
    s.matchSection = 0;
    s.matchOffset = 0;
}
