#pragma once
// Inputs for the import tests, made in the test: EPUB packages, text in the
// legacy encodings, and a book read back through the reader's own code.
#include <string>
#include <utility>
#include <vector>

namespace pagora {

// A ZIP package with the entries in order (the first stored, the rest
// deflated), as an EPUB's mimetype entry must come first.
void writeZip(const std::string &path, const std::vector<std::pair<std::string, std::string>> &entries);

// An EPUB of the given documents (name, XHTML body) in spine order, with
// dc:title, and a navigation document and/or an NCX naming each document
// by its navTitles entry (an empty entry names none).
struct EpubRecipe {
    std::string title;
    std::vector<std::pair<std::string, std::string>> documents;
    std::vector<std::string> navTitles;
    bool withNav = true;
    bool withNcx = false;
    std::vector<std::pair<std::string, std::string>> extraEntries;
};
std::vector<std::pair<std::string, std::string>> epubEntries(const EpubRecipe &spec);

// UTF-8 text in another encoding through the C library's iconv, which the
// import code does not use: a check from outside.
std::string encodeAs(const std::string &utf8, const char *encoding);

// A book as the reader sees it; ok is false when the reader rejects it.
struct BookContents {
    bool ok = false;
    std::string title;
    std::vector<std::string> titles, texts; // UTF-8
};
BookContents readBookBack(const std::string &path);

} // namespace pagora
