#include "app/bookmark_commands.h"

#include "app/input_dispatch.h"
#include "app/navigation.h"
#include "book/bookmark_store.h"
#include "platform/reader.h"

#include <algorithm>

namespace pagora {

void toggleBookmark(Reader &r)
{
    ReaderState &s = r.s;
    s.pageHasBookmark = currentPageHasBookmark(s);
    if (s.pageHasBookmark)
        deleteBookmark(s);
    else
        addBookmark(s);
    s.pageHasBookmark = !s.pageHasBookmark;
    s.showPageNumber = true;
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
        s.showSectionNumber = true;
    }
    // The pagination may have changed since the bookmark was set.
    s.showPageNumber = true;
    showPage(r, std::clamp<int>(page, 1, std::max<int>(s.pages.pageCount, 1)));
}

} // namespace pagora
