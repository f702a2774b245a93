#pragma once
// Books written into a temporary shelf and opened the way the shelf
// operations open them, for the search, bookmark and move-to-shelf tests.
#include "app/navigation.h"
#include "app/window_modes.h"
#include "book/book_writer.h"
#include "book/bookmark_store.h"
#include "book/section_loader.h"
#include "paged_book.h"
#include "test_reader.h"

#include <string>
#include <vector>

namespace pagora {

// The reading panel of paged_book.h: 360 x 400 with the default cell holds
// 23 rows x 13 columns (kCellsPerPage), the first column at x = 323 and the
// last at x = 35. showPosition comes from there too.
constexpr int kPanelWidth = kPagedPanelWidth;
constexpr int kPanelHeight = kPagedPanelHeight;

inline std::u16string filler(std::size_t n, char16_t c = u'一')
{
    return std::u16string(n, c);
}

// Panel size, margins and the layout metrics of window mode 1 for that size.
inline void setPanel(ReaderState &s, int width = kPanelWidth, int height = kPanelHeight)
{
    s.window.windowMode = 1;
    s.window.clientWidth = std::int16_t(width);
    s.window.clientHeight = std::int16_t(height);
    s.window.verticalMargin = 16;
    s.window.horizontalMargin = 20;
    s.look.setSizeStep(1);
    s.look.baseFontSize = 14;
    s.layout = computeLayout(1, false, Cell{16, 16}, width, height);
}

inline std::string bookBytes(const std::vector<std::u16string> &sections, BookEncoding encoding = BookEncoding::UTF16LE,
                             std::u16string title = u"測試書")
{
    BookRecipe spec;
    spec.encoding = encoding;
    spec.title = std::move(title);
    for (std::size_t k = 0; k < sections.size(); ++k) {
        spec.sectionTexts.push_back(sections[k]);
        spec.sectionTitles.push_back(u"第" + std::u16string(1, char16_t(u'1' + k % 9)) + u"節");
    }
    std::string bytes;
    writeBookBytes(spec, bytes);
    return bytes;
}

// Puts the catalogue of shelf folder on screen without a book open.
inline void scanFolder(Reader &r, const std::string &folder)
{
    ReaderState &s = r.state;
    s.shelf.shelfPath = folder;
    s.shelf.clearCatalogue();
    for (const std::string &name : r.services.files->list(folder))
        addBook(*r.services.files, r.state.shelf, name);
    s.shelf.select(s.shelf.bookCount() > 0 ? 0 : -1);
    resetBookmarkTables(s.bookmarks, s.shelf.maxSectionCount);
}

// Opens catalogue entry index: file, contents, bookmarks. False on failure.
inline bool openEntry(Reader &r, int index)
{
    ReaderState &s = r.state;
    r.state.book.bookFile.close();
    s.shelf.select(std::int16_t(index));
    if (!openBookFile(*r.services.files, r.state.shelf, r.state.book))
        return false;
    s.book.sectionCount = s.shelf.catalogue()[std::size_t(index)].sectionCount;
    if (s.shelf.maxSectionCount < s.book.sectionCount)
        s.shelf.maxSectionCount = s.book.sectionCount;
    if (!loadContents(r.state.book, r.state.shelf.selectedEntry()))
        return false;
    loadBookmarks(*r.services.files, r.state.bookmarks, r.state.shelf, r.state.book);
    s.shelf.setOpenBook(std::int16_t(index));
    return true;
}

} // namespace pagora
