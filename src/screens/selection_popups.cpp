#include "screens/selection_popups.h"

#include "book/character_index.h"
#include "platform/desktop.h"
#include "platform/files.h"
#include "render/note_marks.h"
#include "render/primitives.h"
#include "state/reader_state.h"
#include "text/codec.h"

#include <algorithm>

namespace pagora {

namespace {

constexpr Colour kBlack = rgb(0, 0, 0);
constexpr Colour kPaper = rgb(255, 253, 231);
constexpr int kLine = 20; // one line of the interface font and its leading
constexpr int kPad = 8;   // inside a popup's edge
constexpr int kGap = 6;   // between a popup and the selection
constexpr int kEntryHeight = 24;
constexpr int kMenuWidth = 5 * 16 + 2 * kPad + 8;
constexpr int kCardWidth = 480;
constexpr int kCardRowGap = 6;
constexpr std::size_t kCardRows = 8;
constexpr int kSwatch = 24; // one colour of the row, square
constexpr int kSwatchGap = 6;
constexpr int kSwatchesWidth = kMarkColours * (kSwatch + kSwatchGap) + kSwatchGap;
constexpr int kSwatchesHeight = kSwatch + 2 * kSwatchGap;

std::u16string_view entryText(MenuEntry e)
{
    switch (e) {
    case MenuEntry::Copy: return u"複製";
    case MenuEntry::Find: return u"尋找";
    case MenuEntry::LookUp: return u"查字";
    case MenuEntry::Dictionary: return u"以字典查詢";
    case MenuEntry::Mark: return u"畫線";
    case MenuEntry::Note: return u"加註";
    case MenuEntry::EditNote: return u"修改附註";
    case MenuEntry::Recolour: return u"改顏色";
    case MenuEntry::Unmark: return u"刪除畫線";
    case MenuEntry::ReadAloud: return u"從這裡朗讀";
    }
    return {};
}

std::u16string charactersOf(const std::u32string &characters);

// Width of text in the interface font, taken from its cells: the card is
// sized before there is a surface to measure on.
int estimatedWidth(std::u16string_view text)
{
    int w = 0;
    for (char16_t c : text)
        w += c < 0x100 ? 9 : c >= 0xDC00 && c <= 0xDFFF ? 0 : 16;
    return w;
}

// text in lines of at most width, Latin words kept whole where they fit;
// the last of maxLines ends with an ellipsis when text goes on.
std::vector<std::u16string> wrapped(std::u16string_view text, int width, std::size_t maxLines)
{
    std::vector<std::u16string> lines;
    while (!text.empty() && lines.size() < maxLines) {
        std::size_t end = 0;
        int w = 0;
        while (end < text.size() && w + estimatedWidth(text.substr(end, 1)) <= width)
            w += estimatedWidth(text.substr(end++, 1));
        if (end == 0)
            end = 1;
        if (end < text.size() && text[end] != u' ') {
            const std::size_t space = text.substr(0, end).rfind(u' ');
            if (space != std::u16string_view::npos && space > end / 2 && text[end - 1] < 0x100)
                end = space + 1;
        }
        if (end < text.size() && text[end - 1] >= 0xD800 && text[end - 1] <= 0xDBFF)
            ++end;
        std::u16string line(text.substr(0, end));
        text.remove_prefix(end);
        if (lines.size() + 1 == maxLines && !text.empty())
            line += u"…";
        lines.push_back(std::move(line));
    }
    return lines;
}

int cardWidth(const ReaderState &s)
{
    return std::min(kCardWidth, std::max(1, s.window.clientWidth - 2 * kGap));
}

// What the card says of one character: its readings, then its radical,
// strokes, other forms and definition, wrapped to the card.
std::vector<std::u16string> cardLines(const CharacterEntry &e, int width)
{
    std::u16string first = charactersOf(std::u32string(1, e.character)) + u"　";
    for (std::size_t k = 0; k < e.pinyin.size(); ++k)
        first += (k ? u"，" : u"") + utf8ToUtf16(zhuyinFromPinyin(e.pinyin[k]) + " " + e.pinyin[k]);
    if (!e.jyutping.empty()) {
        first += u"　粵 ";
        for (std::size_t k = 0; k < e.jyutping.size(); ++k)
            first += (k ? u" " : u"") + utf8ToUtf16(e.jyutping[k]);
    }
    std::u16string second = u"部首 ";
    if (const char16_t radical = kangxiRadical(e.radical))
        second += std::u16string(1, radical) + u" ";
    second += utf8ToUtf16(std::to_string(e.radical)) + u"，" + utf8ToUtf16(std::to_string(e.strokes)) + u" 畫";
    if (!e.traditional.empty())
        second += u"　繁 " + charactersOf(e.traditional);
    if (!e.simplified.empty())
        second += u"　簡 " + charactersOf(e.simplified);
    if (!e.definition.empty())
        second += u"　" + utf8ToUtf16(e.definition);
    std::vector<std::u16string> lines = wrapped(first, width, 2);
    for (std::u16string &line : wrapped(second, width - 16, 3))
        lines.push_back(u"\t" + line); // indented
    return lines;
}

// The rows of the card: the selection's distinct characters that Unihan lists.
std::vector<CharacterEntry> cardRows(const CharacterIndex *index, const ReaderState &s)
{
    std::vector<CharacterEntry> rows;
    if (!index)
        return rows;
    const std::u16string text = selectedText(s);
    // A page may be selected whole: stop at the rows the card can show.
    int height = 2 * kPad;
    for (std::size_t i = 0; i < text.size() && rows.size() < kCardRows; ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        const bool seen =
            std::any_of(rows.begin(), rows.end(), [c](const CharacterEntry &e) { return e.character == c; });
        CharacterEntry e;
        if (seen || !index->find(c, e))
            continue;
        // Only the rows the window can show.
        height += int(cardLines(e, cardWidth(s) - 2 * kPad).size()) * kLine + kCardRowGap;
        if (!rows.empty() && height > s.window.clientHeight)
            break;
        rows.push_back(std::move(e));
    }
    return rows;
}

int cardHeight(Files &files, LookUpIndex &lookUp, const ReaderState &s)
{
    const auto rows = cardRows(lookUp.open(files, s.folders.exeFolder), s);
    int h = 2 * kPad + (rows.empty() ? kLine : 0);
    for (const CharacterEntry &e : rows)
        h += int(cardLines(e, cardWidth(s) - 2 * kPad).size()) * kLine + kCardRowGap;
    return h;
}

// The text cut with an ellipsis to fit width.
std::u16string fitted(Surface &surface, FontHandle font, std::u16string text, int width)
{
    if (surface.textWidth(font, text) <= width)
        return text;
    std::size_t low = 0, high = text.size();
    while (low < high) {
        const std::size_t mid = (low + high + 1) / 2;
        if (surface.textWidth(font, text.substr(0, mid) + u"…") <= width)
            low = mid;
        else
            high = mid - 1;
    }
    if (low > 0 && text[low - 1] >= 0xD800 && text[low - 1] <= 0xDBFF)
        --low;
    return text.substr(0, low) + u"…";
}

std::u16string charactersOf(const std::u32string &characters)
{
    std::u16string out;
    for (char32_t c : characters) {
        if (c >= 0x10000) {
            out.push_back(char16_t(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(char16_t(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(char16_t(c));
        }
    }
    return out;
}

void paintMenu(const Canvas &canvas, const PopupRect &box, std::span<const MenuEntry> entries)
{
    const TextPaint ink = interfaceText(canvas.fonts, kBlack);
    int y = box.top + (kEntryHeight - 16) / 2;
    for (std::size_t k = 0; k < entries.size(); ++k, y += kEntryHeight) {
        if (k > 0)
            canvas.surface.drawLine(box.left + 4, y - (kEntryHeight - 16) / 2, box.right - 5,
                                    y - (kEntryHeight - 16) / 2);
        canvas.surface.drawText(box.left + kPad + 4, y, entryText(entries[k]), ink);
    }
}

// The four colours as the page shows them, left to right.
void paintSwatches(Surface &surface, const ReaderState &s, const PopupRect &box)
{
    for (int k = 1; k <= kMarkColours; ++k) {
        const int x = box.left + kSwatchGap + (k - 1) * (kSwatch + kSwatchGap);
        const int y = box.top + kSwatchGap;
        // The page's own background around each colour: as it will look.
        surface.fillRect(x, y, x + kSwatch, y + kSwatch, s.look.readingColour());
        surface.fillRect(x + 4, y + 4, x + kSwatch - 4, y + kSwatch - 4, markColour(k, s.look.readingColour()));
    }
}

void paintCard(const Canvas &canvas, const ReaderState &s, const CharacterIndex *index, const PopupRect &box)
{
    const TextPaint ink = interfaceText(canvas.fonts, kBlack);
    Surface &surface = canvas.surface;
    const int width = box.right - box.left - 2 * kPad;
    const int x = box.left + kPad;
    int y = box.top + kPad;
    if (!index) {
        surface.drawText(x, y, fitted(surface, ink.font, u"查字：沒有字的資料，請安裝 unicode-data", width), ink);
        return;
    }
    const auto rows = cardRows(index, s);
    if (rows.empty())
        surface.drawText(x, y, fitted(surface, ink.font, u"查字：選取的字不在字的資料中", width), ink);
    for (const CharacterEntry &e : rows) {
        for (const std::u16string &line : cardLines(e, width)) {
            const int indent = line.starts_with(u'\t') ? 16 : 0;
            // The estimate wraps; the real widths may still need a cut.
            surface.drawText(x + indent, y, fitted(surface, ink.font, line.substr(indent ? 1 : 0), width - indent),
                             ink);
            y += kLine;
        }
        y += kCardRowGap;
    }
}

} // namespace

std::vector<MenuEntry> menuEntries(Desktop &desktop, const Selection &sel)
{
    std::vector<MenuEntry> entries = {MenuEntry::Copy, MenuEntry::Find, MenuEntry::LookUp};
    if (desktop.hasDictionary())
        entries.push_back(MenuEntry::Dictionary);
    entries.push_back(MenuEntry::ReadAloud);
    if (sel.markId != 0)
        entries.insert(entries.end(), {MenuEntry::EditNote, MenuEntry::Recolour, MenuEntry::Unmark});
    else
        entries.insert(entries.end(), {MenuEntry::Mark, MenuEntry::Note});
    return entries;
}

int menuEntryAt(Desktop &desktop, const Selection &sel, int x, int y)
{
    if (sel.popup != SelectionPopup::Menu || x < sel.popupLeft || x >= sel.popupRight || y < sel.popupTop)
        return -1;
    const int k = (y - sel.popupTop) / kEntryHeight;
    return k < int(menuEntries(desktop, sel).size()) ? k : -1;
}

int swatchAt(const Selection &sel, int x, int y)
{
    if (sel.popup != SelectionPopup::Swatches || y < sel.popupTop + kSwatchGap ||
        y >= sel.popupTop + kSwatchGap + kSwatch || x < sel.popupLeft + kSwatchGap)
        return 0;
    const int k = (x - sel.popupLeft - kSwatchGap) / (kSwatch + kSwatchGap);
    const int inside = (x - sel.popupLeft - kSwatchGap) % (kSwatch + kSwatchGap);
    return k < kMarkColours && inside < kSwatch ? k + 1 : 0;
}

PopupRect placePopup(Desktop &desktop, Files &files, LookUpIndex &lookUp, const ReaderState &s, SelectionPopup kind,
                     bool anchored, int x, int y)
{
    const bool menu = kind == SelectionPopup::Menu;
    const bool swatches = kind == SelectionPopup::Swatches;
    const int w = menu ? kMenuWidth : swatches ? kSwatchesWidth : cardWidth(s);
    const int h = menu       ? int(menuEntries(desktop, s.book.selection).size()) * kEntryHeight
                  : swatches ? kSwatchesHeight
                             : cardHeight(files, lookUp, s);
    const auto inside = [&](int left, int top) {
        left = std::clamp(left, 0, std::max(0, s.window.clientWidth - w));
        top = std::clamp(top, 0, std::max(0, s.window.clientHeight - h));
        return PopupRect{left, top, left + w, top + h};
    };
    // The selection's bounds on the page.
    const PageCells page = pageCells(s, s.book.pages.shownPageStart());
    int left = s.window.clientWidth, right = 0, top = s.window.clientHeight, bottom = 0;
    for (const PlacedCell &cell : page.cells) {
        if (!s.book.selection.contains(cell.offset))
            continue;
        left = std::min(left, cell.x);
        right = std::max(right, cell.x + page.cell);
        top = std::min(top, cell.y);
        bottom = std::max(bottom, cell.y + page.cell + 1);
    }
    if (left > right)
        return inside(anchored ? x + 2 : x, anchored ? y + 2 : y);
    // At the pointer where that leaves the selection in sight.
    if (anchored) {
        const PopupRect at = inside(x + 2, y + 2);
        if (at.right <= left || at.left >= right || at.bottom <= top || at.top >= bottom)
            return at;
    }
    // Left first: the text read next lies there.
    if (left - kGap - w >= 0)
        return inside(left - kGap - w, top);
    if (right + kGap + w <= s.window.clientWidth)
        return inside(right + kGap, top);
    if (top - kGap - h >= 0)
        return inside(left, top - kGap - h);
    if (bottom + kGap + h <= s.window.clientHeight)
        return inside(left, bottom + kGap);
    // No room anywhere: the side with the most.
    return left >= s.window.clientWidth - right ? inside(0, top) : inside(s.window.clientWidth - w, top);
}

std::u16string selectedText(const ReaderState &s)
{
    const Selection &sel = s.book.selection;
    const std::int32_t length = s.book.textLength();
    if (sel.isEmpty() || sel.start < 0 || sel.start >= length)
        return {};
    return s.book.sectionText().substr(std::size_t(sel.start), std::size_t(std::min(sel.length, length - sel.start)));
}

namespace {

bool holds(const TextRange &range, std::int32_t offset)
{
    return offset >= range.start && offset < range.end();
}

} // namespace

PixelRect changedCellsBounds(const PageCells &page, TextRange from, TextRange to)
{
    int left = 0, top = 0, right = 0, bottom = 0;
    bool any = false;
    for (const PlacedCell &cell : page.cells) {
        if (holds(from, cell.offset) == holds(to, cell.offset))
            continue;
        const int x = cell.x, y = cell.y + 1;
        left = any ? std::min(left, x) : x;
        top = any ? std::min(top, y) : y;
        right = any ? std::max(right, x + page.cell) : x + page.cell;
        bottom = any ? std::max(bottom, y + page.cell) : y + page.cell;
        any = true;
    }
    return {left, top, right - left, bottom - top};
}

void invertChangedCells(Surface &surface, const PageCells &page, TextRange from, TextRange to)
{
    const int c = page.cell;
    // The cells of a column that flip together become one rectangle: the
    // rows of a column touch, so the pixels are the same as cell by cell.
    std::vector<PixelRect> runs;
    for (const PlacedCell &cell : page.cells) {
        if (holds(from, cell.offset) == holds(to, cell.offset))
            continue;
        PixelRect *last = runs.empty() ? nullptr : &runs.back();
        if (last && last->x == cell.x && last->y + last->height == cell.y + 1)
            last->height += c;
        else
            runs.push_back({cell.x, cell.y + 1, c, c});
    }
    surface.invertRects(runs);
}

void paintSelection(Surface &surface, const ReaderState &s)
{
    const Selection &sel = s.book.selection;
    if (sel.isEmpty() || s.book.pages.shownPageStart() < 0)
        return;
    invertChangedCells(surface, pageCells(s, s.book.pages.shownPageStart()), {}, {sel.start, sel.length});
}

void paintSelectionPopup(const Canvas &canvas, const ReaderState &s, std::span<const MenuEntry> entries,
                         const CharacterIndex *index)
{
    const Selection &sel = s.book.selection;
    if (sel.popup == SelectionPopup::None)
        return;
    const PopupRect box{sel.popupLeft, sel.popupTop, sel.popupRight, sel.popupBottom};
    canvas.surface.drawRoundRect(box.left, box.top, box.right, box.bottom, kPaper);
    if (sel.popup == SelectionPopup::Menu)
        paintMenu(canvas, box, entries);
    else if (sel.popup == SelectionPopup::Swatches)
        paintSwatches(canvas.surface, s, box);
    else
        paintCard(canvas, s, index, box);
}

void paintSelectionPopup(const Canvas &canvas, const ReaderState &s, Desktop &desktop, Files &files,
                         LookUpIndex &lookUp)
{
    const SelectionPopup popup = s.book.selection.popup;
    if (popup == SelectionPopup::None)
        return;
    // The index is opened only for the card.
    paintSelectionPopup(canvas, s, menuEntries(desktop, s.book.selection),
                        popup == SelectionPopup::Card ? lookUp.open(files, s.folders.exeFolder) : nullptr);
}

} // namespace pagora
