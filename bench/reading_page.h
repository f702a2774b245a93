#pragma once
// A reader showing page `page` of a one-section book of text, its fonts
// made on the surface already set; the window and look are the caller's.
#include "app/reader.h"
#include "render/layout_walk.h"

#include <string>

namespace pagora {

inline void showReadingPage(Reader &r, std::u16string text, int page)
{
    ReaderState &s = r.state;
    s.book.setSectionText(std::move(text));
    remakeInterfaceFont(r);
    remakeReadingFont(r);
    repaginate(s.book, computeTextArea(s));
    s.book.sectionCount = 1;
    s.book.currentSection = 1;
    s.book.pages.show(page);
    s.currentScreen = Screen::ReadingScreen;
}

} // namespace pagora
