#pragma once
// Cutting a text into the sections of a book.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pagora {

struct ImportedSection {
    std::u16string title;
    std::u16string text;
};

// A book holds 500 records: the header, the sections and a bookmark record.
constexpr std::size_t kMaxImportSections = 498;
// Text of one section at most, in code units; a longer chapter is cut at line
// ends so that the reader's page table can hold it.
constexpr std::size_t kMaxSectionLength = 150000;
// Sections of a text without headings.
constexpr std::size_t kPlainSectionLength = 10000;

// A line (no line end) that starts a chapter: 第 + number + 章回節卷集部篇
// with or without a title, or one of the unnumbered headings (序, 楔子, 後記...).
bool isChapterHeading(std::u16string_view line);

// The line with spaces of either width and control characters trimmed away.
std::u16string trimmedLine(std::u16string_view line);

// A title that the contents can hold: one trimmed line of at most maxLength
// code units, never ending inside a surrogate pair.
std::u16string contentsTitle(std::u16string_view text, std::size_t maxLength = 60);

// Sections of a CR LF text: one per chapter heading (each beginning with its
// heading line), a first one titled bookTitle for text before the first
// heading, or pieces of about kPlainSectionLength at line ends when there is
// no heading at all.
std::vector<ImportedSection> splitChapters(std::u16string_view text, std::u16string_view bookTitle);

// Cuts sections longer than kMaxSectionLength at line ends, then groups
// consecutive sections so that at most maxSections remain. Every character is
// kept, in order.
std::vector<ImportedSection> fitSectionLimit(std::vector<ImportedSection> sections,
                                             std::size_t maxSections = kMaxImportSections);

} // namespace pagora
