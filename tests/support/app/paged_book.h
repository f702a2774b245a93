#pragma once
// A generated book whose pages are known in advance, opened the way the shelf
// operations open one, for navigation and input tests.
#include "test_reader.h"

#include <string>
#include <vector>

namespace pagora {

// The reading panel the page counts are made for: 360 x 400 with the default
// cell and margins holds 23 rows x 13 columns.
constexpr int kPagedPanelWidth = 360;
constexpr int kPagedPanelHeight = 400;
constexpr int kCellsPerPage = 23 * 13;

// Every cell of page p of section s holds this character, so the text at
// shownPageStart tells which page is shown.
char16_t pageMark(int section, int page);

// Panel size, margins and the reading-screen metrics of a 360 x 400 panel.
void setPagedPanel(ReaderState &s);

// Writes a book with sections of the given page counts into dir, adds it to the
// catalogue, opens it and loads its contents. False when any step fails.
bool openPagedBook(Reader &r, const TempDir &dir, const std::vector<int> &pageCounts);
// The same with the given section texts.
bool openBookOfTexts(Reader &r, const TempDir &dir, const std::vector<std::u16string> &texts);
// Opens the book written there before, as the file is now.
bool openPagedFile(Reader &r, const TempDir &dir);

// Loads section s, paginates it and shows page p.
void showPosition(Reader &r, int section, int page);

// The character at the start of the page shown, or 0 when none is shown.
char16_t shownMark(const ReaderState &s);

} // namespace pagora
