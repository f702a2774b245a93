#pragma once
#include "notes/notes_store.h"

#include <string>
#include <string_view>
#include <vector>

namespace pagora {

// A book's marks as Markdown: the book's title, then per section its title
// (from titles, by section number), each passage as a quotation and its note
// as another; detached marks under a heading of their own at the end. Titles,
// passages and notes are text only: nothing in them becomes markup.
std::string notesMarkdown(std::u16string_view title, const std::vector<std::u16string> &titles,
                          const std::vector<StoredMark> &marks);

} // namespace pagora
