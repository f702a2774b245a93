#include "app/bookmark_commands.h"

#include "app/navigation.h"
#include "app/reader.h"
#include "app/show_screen.h"
#include "book/bookmark_store.h"

#include <algorithm>

namespace pagora {

void toggleBookmark(Reader &r)
{
    ReaderState &s = r.s;
    s.marks.pageHasBookmark = currentPageHasBookmark(s.marks, s.book);
    if (s.marks.pageHasBookmark)
        deleteBookmark(s.marks, s.book);
    else
        addBookmark(s.marks, s.book);
    s.marks.pageHasBookmark = !s.marks.pageHasBookmark;
    s.menu.showPageNumber = true;
    showScreen(r, Screen::ReadingScreen);
}

void jumpToBookmark(Reader &r, bool next)
{
    ReaderState &s = r.s;
    const int section = next ? s.marks.nextMarkSection : s.marks.prevMarkSection;
    const int page = next ? s.marks.nextMarkPage : s.marks.prevMarkPage;
    if (page <= 0 || section < 1 || section > s.book.sectionCount)
        return;
    if (section != s.book.currentSection) {
        s.book.currentSection = std::int16_t(section);
        loadSection(r);
        s.menu.showSectionNumber = true;
    }
    // The pagination may have changed since the bookmark was set.
    s.menu.showPageNumber = true;
    showPage(r, std::clamp<int>(page, 1, std::max<int>(s.book.pages.pageCount(), 1)));
}

} // namespace pagora
