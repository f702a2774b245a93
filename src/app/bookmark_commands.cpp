#include "app/bookmark_commands.h"

#include "app/navigation.h"
#include "app/reader.h"
#include "app/show_screen.h"
#include "book/bookmark_store.h"
#include "render/layout_walk.h"

#include <algorithm>

namespace pagora {

void toggleBookmark(Reader &r)
{
    ReaderState &s = r.state;
    s.bookmarks.pageHasBookmark = currentPageHasBookmark(s.bookmarks, s.book);
    if (s.bookmarks.pageHasBookmark)
        deleteBookmark(s.bookmarks, s.book);
    else
        addBookmark(s.bookmarks, s.book);
    s.bookmarks.pageHasBookmark = !s.bookmarks.pageHasBookmark;
    s.menu.showPageNumber = true;
    showScreen(r, Screen::ReadingScreen);
}

void jumpToBookmark(Reader &r, bool next)
{
    ReaderState &s = r.state;
    const int section = next ? s.bookmarks.nextMarkSection : s.bookmarks.prevMarkSection;
    const int page = next ? s.bookmarks.nextMarkPage : s.bookmarks.prevMarkPage;
    if (page <= 0 || section < 1 || section > s.book.sectionCount)
        return;
    if (section != s.book.currentSection) {
        s.book.currentSection = std::int16_t(section);
        loadSection(r);
        s.menu.showSectionNumber = true;
    }
    // The pagination may have changed since the bookmark was set.
    s.menu.showPageNumber = true;
    finishLayout(s.book);
    showPage(r, std::clamp<int>(page, 1, std::max<int>(s.book.pages.pageCount(), 1)));
}

} // namespace pagora
