#pragma once
#include <cstdint>

namespace pagora {

struct Canvas;
struct ReaderState;

void paintHelpScreen(const Canvas &canvas, const ReaderState &s);
// The contents screen; the list notes the page of titles it shows.
void paintContentsScreen(const Canvas &canvas, ReaderState &s);
void paintContentsList(const Canvas &canvas, ReaderState &s, std::int32_t start);
// Whether section is one of the titles on the contents page shown.
bool contentsPageHolds(const ReaderState &s, int section);

} // namespace pagora
