#pragma once
#include <cstdint>

namespace pagora {

struct Reader;
struct ReaderState;

void paintHelpScreen(Reader &r);
void paintContentsScreen(Reader &r);
void paintContentsList(Reader &r, std::int32_t start);
// Whether section is one of the titles on the contents page shown.
bool contentsPageHolds(const ReaderState &s, int section);

} // namespace pagora
