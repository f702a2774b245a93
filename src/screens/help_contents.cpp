#include "screens/help_contents.h"

#include "app/input_dispatch.h"

void paintHelpScreen(Reader &)
{}

void paintContentsScreen(Reader &)
{}

void paintContentsList(Reader &, std::int32_t)
{}

void nextContentsPage(Reader &r)
{
    if (r.s.contentsNextPage != 0) {
        r.s.contentsStart = r.s.contentsNextPage;
        showScreen(r, ContentsScreen);
    }
}

void previousContentsPage(Reader &r)
{
    if (r.s.contentsPrevPage != 0) {
        r.s.contentsStart = r.s.contentsPrevPage;
        showScreen(r, ContentsScreen);
    }
}
