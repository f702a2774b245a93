#pragma once
#include <cstdint>

namespace pagora {

struct Canvas;
struct ReaderState;

void paintHelpScreen(const Canvas &canvas, const ReaderState &s);

// One page of the contents: the book's section count, the first title shown
// and the first titles of the next and the previous page (0 when none).
struct ContentsPage {
    std::int16_t sectionCount = 0;
    std::int16_t first = 0;
    std::int16_t next = 0;
    std::int16_t prev = 0;
};
// The page of titles from start (1-based); a start outside the book (left
// over from another book) gives the page holding currentSection.
ContentsPage contentsPage(int sectionCount, int currentSection, std::int32_t start);

// The contents screen, on the page of titles from contentsFirst.
void paintContentsScreen(const Canvas &canvas, const ReaderState &s);
void paintContentsList(const Canvas &canvas, const ReaderState &s);
// Whether section is one of the titles on the contents page shown.
bool contentsPageHolds(const ReaderState &s, int section);

} // namespace pagora
