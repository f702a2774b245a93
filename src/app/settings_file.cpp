#include "app/settings_file.h"

#include "app/install_mode.h"
#include "app/reader.h"
#include "app/window_modes.h"
#include "state/interface_texts.h"
#include "text/codec.h"

#include <cstdio>
#include <optional>
#include <string_view>

namespace pagora {

std::u16string loadTextFile(Files &files, const std::string &path)
{
    std::string bytes;
    if (!readWholeFile(files, path, bytes))
        return {};
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 2 && b(0) == 0xFF && b(1) == 0xFE) {
        std::u16string text = decodeUtf16le(bytes.data(), bytes.size());
        text.erase(0, 1);
        return text;
    }
    if (bytes.size() >= 2 && b(0) == 0xFE && b(1) == 0xFF) {
        // Big-endian: swap into little-endian order; the mark stays.
        std::u16string text(bytes.size() / 2, u'\0');
        for (std::size_t i = 0; i < text.size(); ++i)
            text[i] = char16_t((b(2 * i) << 8) | b(2 * i + 1));
        return text;
    }
    // UTF-8 with or without a mark (the 8-bit form on this platform); a mark stays.
    return utf8ToUtf16(bytes);
}

std::string settingsFilePath(const ReaderState &s)
{
    return s.folders.settingsFolder + std::string(texts::settingsFileName);
}

namespace {

std::vector<std::u16string> splitLines(const std::u16string &text)
{
    std::vector<std::u16string> lines;
    std::u16string line;
    bool open = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == 0)
            break;
        if (c == u'\r' || c == u'\n') {
            lines.push_back(line);
            line.clear();
            open = false;
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            continue;
        }
        line.push_back(c);
        open = true;
    }
    if (open)
        lines.push_back(line);
    return lines;
}

// Digits from pos while before the line's last character, into a wrapping
// 16-bit value; next is the character after the separator.
std::int16_t scanNumber(const std::u16string &line, std::size_t pos, std::size_t &next)
{
    std::uint16_t value = 0;
    while (pos + 1 < line.size() && line[pos] >= u'0' && line[pos] <= u'9') {
        value = std::uint16_t(value * 10u + unsigned(line[pos] - u'0'));
        ++pos;
    }
    next = pos + 1;
    return std::int16_t(value);
}

std::u16string restFrom(const std::u16string &line, std::size_t pos)
{
    return pos < line.size() ? line.substr(pos) : std::u16string();
}

} // namespace

void readSettings(Reader &r)
{
    ReaderState &s = r.state;
    s.saved.reopenSavedBook = false;
    const std::string path = settingsFilePath(s);
    if (!r.services.files->exists(path))
        return;
    const std::vector<std::u16string> lines = splitLines(loadTextFile(*r.services.files, path));
    if (lines.size() < 3)
        return;
    const std::u16string &line1 = lines[0];
    const std::u16string &line2 = lines[1];
    const std::u16string &line3 = lines[2];
    // Rules that would read past a line make the file count as absent.
    if (line1.size() < 5)
        return;

    // Line 3's font field is checked up front so that nothing changes when it
    // is unusable.
    std::size_t p3 = 0;
    std::size_t next = 0;
    const std::int16_t windowMode = scanNumber(line3, 0, next);
    const std::int16_t currentShelf = scanNumber(line3, next, p3);
    const std::u16string fontField = restFrom(line3, p3);
    if (!fontField.empty() && fontField.back() == u' ') {
        std::size_t p2 = 0;
        const std::int16_t count = scanNumber(line2, 0, p2);
        std::size_t p2b = 0;
        const std::int16_t section = scanNumber(line2, p2, p2b);
        if (count != 0 && count >= section)
            return;
    }

    std::int16_t scheme = std::int16_t(line1[0] - u'0');
    std::int16_t background = std::int16_t(line1[2] - u'0');
    std::int16_t step = std::int16_t(line1[4] - u'0');
    s.look.setColours(scheme, background);
    s.look.setSizeStep(step);
    // Our own fourth line, which readers of three lines never see: "0" turns
    // the vertical forms off; absent or anything else leaves them on.
    s.look.verticalForms = !(lines.size() >= 4 && lines[3] == u"0");
    // The fifth, likewise ours: "1" breaks columns by the Chinese rules.
    s.look.chineseBreaks = lines.size() >= 5 && lines[4] == u"1";
    const std::u16string folder = restFrom(line1, 6);
    // An empty folder would make the shelf the working folder: keep the default.
    if (!folder.empty()) {
        s.shelf.shelfPath = utf16ToUtf8(folder);
        // Book paths are the folder followed by a file name.
        if (s.shelf.shelfPath.back() != '/')
            s.shelf.shelfPath += '/';
    }

    std::size_t pos = 0;
    s.saved.savedSectionCount = scanNumber(line2, 0, pos);
    if (s.saved.savedSectionCount == 0)
        return;
    s.saved.savedSection = scanNumber(line2, pos, pos);
    if (s.saved.savedSectionCount < s.saved.savedSection)
        return;
    s.saved.savedPage = scanNumber(line2, pos, pos);
    s.saved.savedBookFile = utf16ToUtf8(restFrom(line2, pos));
    s.saved.reopenSavedBook = !s.saved.savedBookFile.empty();

    s.window.windowMode = windowMode;
    s.shelf.currentShelf = currentShelf;
    const std::size_t blank = fontField.rfind(u' ');
    if (blank == std::u16string::npos) {
        s.look.fontName = utf16ToUtf8(fontField);
        return;
    }
    // The character after the blank is taken to be "[" unchecked.
    std::int32_t value = 0;
    for (std::size_t i = blank + 2; i + 1 < fontField.size(); ++i) {
        const char16_t c = fontField[i];
        if (c < u'0' || c > u'9')
            break;
        value = value * 10 + (c - u'0');
        if (value > 1000000)
            break;
    }
    if (value >= 8 && value <= 72)
        s.look.baseFontSize = std::int16_t(value);
    s.look.fontName = utf16ToUtf8(fontField.substr(0, blank));
}

namespace {

// "%u" of a 16-bit field, as the C formatter prints it.
std::string u(std::int32_t v)
{
    return std::to_string(static_cast<std::uint32_t>(v));
}

} // namespace

void writeSettings(Reader &r)
{
    const ReaderState &s = r.state;
    if (s.shelf.bookCount() == 0)
        return;
    std::string fileName;
    if (s.shelf.selectedBook() >= 0 && s.shelf.selectedBook() < std::int16_t(s.shelf.catalogue().size()))
        fileName = s.shelf.catalogue()[std::size_t(s.shelf.selectedBook())].fileName;
    // A name holding a line end (or a NUL, which ends the text when read)
    // would shift the lines after it: such a book's place is not remembered,
    // and the file keeps its lines.
    if (fileName.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
        fileName.clear();
    const std::string text = u(s.look.textScheme()) + " " + u(s.look.backgroundChoice()) + " " + u(s.look.sizeStep()) +
                             " " + s.folders.mainShelfPath + "\r\n" + u(s.book.sectionCount) + " " +
                             u(s.book.currentSection) + " " + u(s.book.pages.currentPage()) + " " + fileName + "\r\n" +
                             u(storedWindowMode(s)) + " " + u(s.shelf.currentShelf) + " " + s.look.fontName + " [" +
                             u(s.look.baseFontSize) + "]\r\n";
    const std::string ourLines = u(s.look.verticalForms ? 1 : 0) + "\r\n" + u(s.look.chineseBreaks ? 1 : 0) + "\r\n";
    const std::string bytes = "\xFF\xFE" + encodeUtf16le(utf8ToUtf16(text + ourLines));
    // A failed write keeps the previous file; the close goes on regardless.
    const std::string path = settingsFilePath(s);
    // A settings file made read-only keeps its place and appearance: the
    // rename below would replace it, since only the folder's permission counts.
    if (r.services.files->exists(path) && !r.services.files->isWritableFile(path))
        return;
    if (s.folders.installed)
        makeDirectories(*r.services.files, s.folders.settingsFolder);
    replaceFileAtomically(*r.services.files, path, bytes);
}

} // namespace pagora
