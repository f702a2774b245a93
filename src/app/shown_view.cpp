#include "app/shown_view.h"

#include "app/input_dispatch.h"
#include "app/reader.h"
#include "app/selection_handlers.h"
#include "book/catalogue.h"
#include "render/layout_walk.h"
#include "screens/help_contents.h"
#include "screens/menu_screen.h"
#include "screens/move_to_shelf.h"
#include "screens/notes_screen.h"
#include "state/interface_texts.h"
#include "state/reader_state.h"
#include "text/codec.h"

#include <algorithm>

namespace pagora {

namespace {

using Items = std::vector<ShownItem>;

constexpr int kCell = 16; // interface glyph cell

std::u16string joined(std::u16string_view a, std::u16string_view b)
{
    return std::u16string(a) + std::u16string(b);
}

std::u16string_view bookTitle(const ReaderState &s)
{
    const Shelf &shelf = s.shelf;
    const BookEntry *e = shelf.openBook() >= 0 && shelf.openBook() < shelf.bookCount()
                             ? &shelf.catalogue()[std::size_t(shelf.openBook())]
                             : shelf.selectedEntry();
    return e && !e->title.empty() ? std::u16string_view(e->title) : texts::applicationTitle;
}

// The bottom bar of the paged screens: "下一頁" left, "返回" (or another
// middle button) in the middle, "上一頁" right, each only where it acts.
void bottomBar(const ReaderState &s, Items &out, bool hasNext, std::u16string_view middle, bool hasPrevious)
{
    const Layout &l = s.layout;
    const int top = l.bottomBarTop + 1;
    const int h = std::max(1, s.window.clientHeight - top);
    if (hasNext)
        out.push_back({std::u16string(texts::nextPage), {0, top, l.leftThird - 2, h}});
    if (!middle.empty())
        out.push_back({std::u16string(middle), {l.leftThird, top, l.rightThird - l.leftThird, h}});
    if (hasPrevious)
        out.push_back({std::u16string(texts::previousPage), {l.rightThird + 3, top, l.leftThird - 2, h}});
}

// Cell k (0 = rightmost) of a list of columns between top and bottom.
PixelRect column(const ReaderState &s, int k, int top, int bottom)
{
    const int cw = s.layout.columnWidth;
    return {(15 - k % 16) * cw + 1, top + 1, std::max(1, cw - 1), std::max(1, bottom - top - 1)};
}

void digitRow(const ReaderState &s, Items &out, std::u16string_view label, int count, int top, int chosen)
{
    for (int i = 1; i <= count && i <= 9; ++i)
        out.push_back({joined(label, std::u16string(1, char16_t(u'0' + i))),
                       {digitCellX(s, i) + 1, top + 1, kCell - 2, s.layout.barHeight - 2},
                       i == chosen});
}

void shelfScreen(const ReaderState &s, ShownScreen &v)
{
    const Layout &l = s.layout;
    const Shelf &shelf = s.shelf;
    const int cw = l.columnWidth;
    const int bandHeight = l.band2Top - l.listTop;
    const int n = std::min<int>(shelfPageSize(s.window.windowMode), shelf.bookCount() - shelf.shelfPageFirst);
    for (int i = 0; i < n; ++i) {
        const int index = shelf.shelfPageFirst + i;
        PixelRect place = column(s, i, 0, bandHeight);
        place.y = l.listTop + (i / 16) * bandHeight + 1;
        v.list.push_back({shelf.catalogue()[std::size_t(index)].title, place, index == shelf.selectedBook()});
    }
    Items &b = v.buttons;
    const int rowTop = l.buttonRowTop + 1;
    const int rowH = std::max(1, l.barHeight - 1);
    const int chooserWidth = 3 * cw + (s.window.windowMode <= 2 ? 8 : 0);
    b.push_back({std::u16string(texts::instructions), {0, rowTop, 4 * cw, rowH}});
    b.push_back({std::u16string(texts::chooseMainShelf), {4 * cw, rowTop, chooserWidth, rowH}});
    if (shelf.bookCount() > 0) {
        b.push_back({std::u16string(texts::deleteText), {8 * cw, rowTop, 2 * cw, rowH}});
        b.push_back({std::u16string(texts::moveTo), {11 * cw, rowTop, 2 * cw, rowH}});
    }
    b.push_back({std::u16string(texts::close), {14 * cw + 1, rowTop, 2 * cw - 1, rowH}});
    const bool empty = shelf.bookCount() <= 0;
    const bool middleActs = !(empty && shelf.cameFromMenu == EnteredFrom::Menu);
    bottomBar(s, b, shelf.shelfNextPage != 0,
              middleActs ? (shelf.cameFromMenu == EnteredFrom::Menu ? texts::back : texts::start)
                         : std::u16string_view(),
              shelf.shelfPrevPage >= 0);
    // The shelves of the title bar: the main one, then 1 to 9.
    const int barTop = 1, barH = l.topBarHeight - 2;
    b.push_back({joined(texts::mainShelf, texts::shelfButton),
                 {l.mainSlotX, barTop, std::max(1, l.digitRowLeft + l.slotX[0] - l.mainSlotX), barH},
                 shelf.currentShelf == 0});
    for (int d = 1; d <= 9; ++d)
        b.push_back({joined(texts::shelfButton, std::u16string(1, char16_t(u'0' + d))),
                     {l.digitRowLeft + l.slotX[std::size_t(d - 1)] + 1, barTop, kCell - 2, barH},
                     shelf.currentShelf == d});
}

void menuScreen(const ReaderState &s, ShownScreen &v)
{
    const Layout &l = s.layout;
    const int w = s.window.clientWidth;
    Items &b = v.buttons;
    const bool search = s.menu.searchMode, marks = s.menu.bookmarkMode;
    const auto band = [&](MenuBandButton which, std::u16string label) {
        b.push_back({std::move(label), menuBandButton(s, which)});
    };
    if (search || marks) {
        band(MenuBandButton::ModeCancel, joined(texts::cancel, search ? texts::search : texts::bookmark));
    } else {
        band(MenuBandButton::Search, std::u16string(texts::search));
        band(MenuBandButton::Bookmark, std::u16string(texts::bookmark));
    }
    band(MenuBandButton::Back, std::u16string(texts::back));
    band(MenuBandButton::Contents, std::u16string(texts::contents));
    band(MenuBandButton::Shelf, std::u16string(texts::shelfButton));

    // The halves of the lower band, and the top band in bookmark mode.
    const int lowTop = l.menuBandBottom + 1;
    const int lowH = std::max(1, l.thirdRowTop - l.menuBandBottom - 1);
    const PixelRect leftHalf{0, lowTop, l.halfWidth, lowH};
    const PixelRect rightHalf{l.halfWidth + 1, lowTop, std::max(1, w - l.halfWidth - 1), lowH};
    if (search) {
        b.push_back({std::u16string(texts::findNext), leftHalf});
        b.push_back({std::u16string(texts::findPrevious), rightHalf});
    } else if (marks) {
        b.push_back({std::u16string(s.bookmarks.pageHasBookmark ? texts::deleteBookmark : texts::addBookmark),
                     {0, 0, w, l.menuBandTop}});
        if (s.bookmarks.nextMarkPage != 0)
            b.push_back({std::u16string(texts::nextBookmark), leftHalf});
        if (s.bookmarks.prevMarkPage != 0)
            b.push_back({std::u16string(texts::previousBookmark), rightHalf});
    }

    // The third row: punctuation, notes, window modes.
    const int rowH = std::max(1, l.barHeight - 2);
    const int third = l.thirdRowTop + 1;
    const int slot = l.slotX[1] - l.slotX[0];
    b.push_back({joined(texts::punctuationLabel, texts::verticalPunctuation),
                 {l.slotX[0] + 1, third, slot, rowH},
                 s.look.verticalForms});
    b.push_back({joined(texts::punctuationLabel, texts::uprightPunctuation),
                 {l.slotX[1] + 1, third, l.slotX[2] - l.slotX[1], rowH},
                 !s.look.verticalForms});
    b.push_back({u"附註", {notesButtonLeft(s), third, kNotesButtonWidth, rowH}});
    digitRow(s, b, texts::screenLabel, s.window.windowModeCount - 1, l.thirdRowTop, s.window.windowMode);

    // The colour row.
    const int colour = l.buttonRowTop + 1;
    b.push_back(
        {joined(texts::textColourLabel, texts::black), {l.slotX[0] + 1, colour, slot, rowH}, s.look.textScheme() == 1});
    b.push_back({joined(texts::textColourLabel, texts::white),
                 {l.slotX[1] + 1, colour, l.slotX[2] - l.slotX[1], rowH},
                 s.look.textScheme() == 2});
    b.push_back({std::u16string(texts::chineseBreaks),
                 {breaksSwitchLeft(s), colour, kBreaksSwitchWidth, rowH},
                 s.look.chineseBreaks});
    digitRow(s, b, texts::backgroundLabel, 9, l.buttonRowTop, s.look.backgroundChoice());

    // The font row.
    b.push_back({joined(joined(texts::fontLabel, u" "), utf8ToUtf16(s.look.fontName)),
                 {l.slotX[0], l.bottomBarTop + 1, std::max(1, l.fontNameRight - l.slotX[0]), rowH}});
    digitRow(s, b, texts::sizeLabel, 9, l.bottomBarTop, s.look.sizeStep());
}

void contentsScreen(const ReaderState &s, ShownScreen &v)
{
    const OpenBook &book = s.book;
    const int first = book.contentsFirst;
    for (int k = 0; k < 16 && first + k <= book.sectionCount; ++k) {
        const std::size_t index = std::size_t(first + k - 1);
        if (first < 1 || index >= book.contentsList.size())
            break;
        v.list.push_back({book.contentsList[index], column(s, k, s.layout.topBarHeight, s.layout.bottomBarTop),
                          first + k == book.currentSection});
    }
    bottomBar(s, v.buttons, book.contentsNextPage != 0, texts::back, book.contentsPrevPage != 0);
}

void notesScreen(const ReaderState &s, ShownScreen &v)
{
    const NotesList &notes = s.book.notes;
    const int count = int(notes.entries.size());
    const int first = shownNotesFirst(notes);
    for (int k = 0; k < kNotesPerPage && first + k < count; ++k) {
        const NoteEntry &e = notes.entries[std::size_t(first + k)];
        std::u16string label = e.quote;
        if (!e.note.empty())
            label += u"：" + e.note;
        v.list.push_back({std::move(label), column(s, k, s.layout.topBarHeight, s.layout.bottomBarTop),
                          first + k == notes.highlighted});
    }
    const int w = s.window.clientWidth;
    v.buttons.push_back({u"匯出", {w - kExportButtonWidth, 0, kExportButtonWidth, s.layout.topBarHeight}});
    bottomBar(s, v.buttons, first + kNotesPerPage<count, texts::back, first> 0);
}

void moveToShelfPanel(const ReaderState &s, ShownScreen &v)
{
    for (int slot = 1; slot <= 9; ++slot) {
        const int shelf = moveSlotShelf(s, slot);
        v.buttons.push_back({shelf == 0 ? joined(texts::mainShelf, texts::shelfButton)
                                        : joined(texts::shelfButton, std::u16string(1, char16_t(u'0' + shelf))),
                             moveSlotPlace(s, slot), slot == s.shelf.moveSlot});
    }
    v.buttons.push_back({std::u16string(texts::ok), moveButtonPlace(s, true)});
    v.buttons.push_back({std::u16string(texts::cancel), moveButtonPlace(s, false)});
}

void readingScreen(const ReaderState &s, ShownScreen &v)
{
    const Layout &l = s.layout;
    const int w = s.window.clientWidth, h = s.window.clientHeight;
    const int middle = l.rightThird - l.leftThird;
    v.hasText = true;
    v.buttons.push_back(pageTurnItem(s, true));
    v.buttons.push_back(pageTurnItem(s, false));
    v.buttons.push_back({std::u16string(texts::nextSection), {0, 0, l.leftThird, l.halfHeight}});
    v.buttons.push_back({std::u16string(texts::previousSection), {l.rightThird, 0, w - l.rightThird, l.halfHeight}});
    v.buttons.push_back({std::u16string(texts::options),
                         {l.leftThird, l.menuBandTop, middle, std::max(1, l.menuBandBottom - l.menuBandTop)}});
    v.buttons.push_back(
        {joined(texts::show, texts::sectionNumber), {l.leftThird, 0, middle, l.menuBandTop}, s.menu.showSectionNumber});
    v.buttons.push_back({joined(texts::show, texts::pageNumber),
                         {l.leftThird, l.menuBandBottom, middle, std::max(1, h - l.menuBandBottom)},
                         s.menu.showPageNumber});
}

// The help's lines, as its pages show them.
std::vector<std::u16string_view> helpLines(const ReaderState &s)
{
    if (s.shelf.helpPage == 1) {
        std::vector<std::u16string_view> lines{texts::keysHeading};
        lines.insert(lines.end(), texts::keysHelp.begin(), texts::keysHelp.end());
        return lines;
    }
    return {texts::helpHeading, texts::touchHeading, texts::sectionKeys, texts::pageKeys, texts::wheelKeys};
}

} // namespace

std::u16string screenName(const ReaderState &s, Screen screen)
{
    switch (screen) {
    case Screen::ShelfScreen: return std::u16string(texts::shelfButton);
    case Screen::ReadingScreen: return std::u16string(bookTitle(s));
    case Screen::MenuScreen: return std::u16string(texts::options);
    case Screen::HelpScreen: return std::u16string(texts::instructions);
    case Screen::ContentsScreen: return std::u16string(texts::contents);
    case Screen::NotesScreen: return u"附註";
    case Screen::MoveToShelfPanel: return std::u16string(texts::moveTo);
    }
    return std::u16string(texts::applicationTitle);
}

ShownScreen shownScreen(const ReaderState &s)
{
    ShownScreen v;
    v.name = screenName(s, s.currentScreen);
    switch (s.currentScreen) {
    case Screen::ShelfScreen: shelfScreen(s, v); break;
    case Screen::ReadingScreen: readingScreen(s, v); break;
    case Screen::MenuScreen: menuScreen(s, v); break;
    case Screen::HelpScreen:
        v.hasText = true;
        bottomBar(s, v.buttons, s.shelf.helpPage == 0, texts::back, s.shelf.helpPage != 0);
        break;
    case Screen::ContentsScreen: contentsScreen(s, v); break;
    case Screen::NotesScreen: notesScreen(s, v); break;
    case Screen::MoveToShelfPanel: moveToShelfPanel(s, v); break;
    }
    return v;
}

ShownItem pageTurnItem(const ReaderState &s, bool forward)
{
    // Forward is leftward: the lower left turns forward, the lower right back.
    const Layout &l = s.layout;
    const int h = std::max(1, s.window.clientHeight - l.halfHeight);
    if (forward)
        return {std::u16string(texts::nextPage), {0, l.halfHeight, l.leftThird, h}};
    return {std::u16string(texts::previousPage), {l.rightThird, l.halfHeight, s.window.clientWidth - l.rightThird, h}};
}

ShownText shownText(const ReaderState &s)
{
    ShownText t;
    if (s.currentScreen == Screen::HelpScreen) {
        for (std::u16string_view line : helpLines(s)) {
            if (!t.text.empty())
                t.text += u'\n';
            t.lineStarts.push_back(std::int32_t(t.text.size()));
            t.text += line;
        }
        t.end = std::int32_t(t.text.size());
        t.cells.resize(t.text.size());
        return t;
    }
    const std::int32_t length = s.book.textLength();
    const std::int32_t start = s.book.pages.shownPageStart();
    t.lineStarts.push_back(0);
    if (s.currentScreen != Screen::ReadingScreen || start < 0 || start >= length)
        return t;
    // The end first, so that the cells go straight to their places.
    const TextArea area = computeTextArea(s);
    const char16_t *section = s.book.sectionText().data();
    t.start = start;
    t.end = std::clamp(layoutPageEnd(section, length, start, area), start, length);
    t.text.assign(s.book.usableText().substr(std::size_t(start), std::size_t(t.end - start)));
    t.cells.resize(t.text.size());
    int columnX = -1;
    layoutPage(section, length, start, area, [&](const PlacedCell &cell) {
        const std::int32_t at = cell.offset - start;
        if (cell.x != columnX && columnX >= 0 && at > t.lineStarts.back())
            t.lineStarts.push_back(at);
        columnX = cell.x;
        for (int u = 0; u < cell.units && at + u < std::int32_t(t.cells.size()); ++u)
            t.cells[std::size_t(at + u)] = {cell.x, cell.y + 1, area.cell, area.cell};
        return true;
    });
    const Selection &sel = s.book.selection;
    if (!sel.isEmpty()) {
        const std::int32_t n = std::int32_t(t.text.size());
        t.selectionStart = std::clamp(sel.start - start, 0, n);
        t.selectionEnd = std::clamp(sel.start + sel.length - start, t.selectionStart, n);
    }
    return t;
}

void tapItem(Reader &r, const ShownItem &item)
{
    const int x = item.place.x + item.place.width / 2;
    const int y = item.place.y + item.place.height / 2;
    if (!selectionPressed(r, x, y, PointerButton::Left, false))
        onPointerPressed(r, x, y, true);
    if (!selectionReleased(r, x, y, PointerButton::Left))
        onPointerReleased(r, x, y, true);
}

} // namespace pagora
