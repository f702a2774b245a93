#include "app/bookmark_commands.h"

#include "app/input_dispatch.h"
#include "app/navigation.h"
#include "book/bookmark_store.h"
#include "platform/reader.h"

#include <algorithm>

void toggleBookmark(Reader &r)
{
    ReaderState &s = r.s;
    s.pageHasBookmark = currentPageHasBookmark(s) ? 1 : 0;
    if (s.pageHasBookmark == 1)
        deleteBookmark(s);
    else
        addBookmark(s);
    s.pageHasBookmark = std::int16_t(1 - s.pageHasBookmark);
    s.showPageNumber = 1;
    showScreen(r, Screen::ReadingScreen);
}

void jumpToBookmark(Reader &r, bool next)
{
    ReaderState &s = r.s;
    const int section = next ? s.nextMarkSection : s.prevMarkSection;
    const int page = next ? s.nextMarkPage : s.prevMarkPage;
    if (page <= 0 || section < 1 || section > s.sectionCount)
        return;
    if (section != s.currentSection) {
        s.currentSection = std::int16_t(section);
        loadSection(r);
        s.showSectionNumber = 1;
    }
    // The pagination may have changed since the bookmark was set.
    s.currentPage = std::int16_t(std::clamp<int>(page, 1, std::max<int>(s.pageCount, 1)));
    s.showPageNumber = 1;
    showPageAt(r, s.pageStarts[std::size_t(s.currentPage)]);
}
