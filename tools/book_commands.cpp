// make, info and text: the book code of the reader, driven from the command
// line. Output is UTF-8.
#include "commands.h"

#include "app/reader.h"
#include "book/book_writer.h"
#include "book/section_loader.h"
#include "platform/files.h"
#include "text/codec.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

using namespace pagora;

namespace {

// Leaves room for the bookmark record within the 500 records of a book.
constexpr int kMaxSections = kMaxRecords - 2;

bool isValidUtf8(const std::string &bytes)
{
    // Well-formed UTF-8 survives the round trip unchanged; anything else
    // comes back with replacement characters.
    return utf16ToUtf8(utf8ToUtf16(bytes)) == bytes;
}

std::string hex4(unsigned v)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", v);
    return buf;
}

} // namespace

std::string jsonString(const std::string &utf8, bool shortControls)
{
    std::string out = "\"";
    for (const unsigned char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b':
        case '\f':
            if (shortControls) {
                out += c == '\b' ? "\\b" : "\\f";
                break;
            }
            [[fallthrough]];
        default:
            if (c < 0x20)
                out += "\\u" + hex4(c);
            else
                out.push_back(char(c));
        }
    }
    return out + "\"";
}

std::string jsonString(std::u16string_view text)
{
    return jsonString(utf16ToUtf8(text));
}

namespace {

// Adds path as the only book, opens it and loads its table of contents.
// On failure why names the failed check.
bool openAsBook(ToolReader &t, const std::string &path, std::string &why)
{
    ReaderState &s = t.r.state;
    BookFault fault = BookFault::None;
    if (!addBook(*t.r.services.files, t.r.state.shelf, path, &fault)) {
        why = std::string("rejected: ") + bookFaultText(fault);
        return false;
    }
    s.shelf.select(0);
    if (!openBookFile(*t.r.services.files, t.r.state.shelf, t.r.state.book, &fault)) {
        why = std::string("cannot be opened again: ") + bookFaultText(fault);
        return false;
    }
    s.book.sectionCount = s.shelf.catalogue()[0].sectionCount;
    if (!loadContents(s.book, &s.shelf.catalogue()[0])) {
        why = "the header record cannot be read again";
        return false;
    }
    return true;
}

// --- make

struct SectionSource {
    std::string path;
    std::u16string title;
    std::u16string text;
};

// Line ends of any kind become CR LF.
std::u16string withCrLf(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            out += u"\r\n";
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// "line L, column C" of the code unit at index in text (1-based).
std::string place(std::u16string_view text, std::size_t index)
{
    std::size_t line = 1;
    std::size_t column = 1;
    for (std::size_t i = 0; i < index && i < text.size(); ++i) {
        if (text[i] == u'\n') {
            ++line;
            column = 1;
        } else if (text[i] != u'\r') {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

bool checkCp950(const std::string &what, std::u16string_view text, std::string &why)
{
    std::string bytes;
    std::size_t bad = 0;
    if (encodeCp950(text, bytes, &bad))
        return true;
    char32_t cp = text[bad];
    if (cp >= 0xD800 && cp <= 0xDBFF && bad + 1 < text.size())
        cp = 0x10000 + ((cp - 0xD800) << 10) + (text[bad + 1] - 0xDC00);
    const std::u16string shown = cp >= 0x10000 ? std::u16string(text.substr(bad, 2)) : std::u16string(1, text[bad]);
    why = what + ", " + place(text, bad) + ": " + utf16ToUtf8(shown) + " (U+" + hex4(unsigned(cp)) +
          ") has no code page 950 form";
    return false;
}

bool loadSource(const std::string &path, SectionSource &src, std::string &why)
{
    std::string bytes;
    if (!readWholeFile(systemFiles(), path, bytes)) {
        why = path + ": cannot be read";
        return false;
    }
    if (!isValidUtf8(bytes)) {
        why = path + ": is not UTF-8 text";
        return false;
    }
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        bytes.erase(0, 3);
    src.path = path;
    src.text = withCrLf(utf8ToUtf16(bytes));
    src.title = src.text.substr(0, src.text.find(u'\r'));
    if (src.title.empty()) {
        why = path + ": the first line, the section's title, is empty";
        return false;
    }
    return true;
}

// A title must not hold the field separator, nor end the UTF-16 contents.
bool checkTitle(const std::string &what, std::u16string_view title, std::string &why)
{
    for (char16_t c : title) {
        if (c == 0x1B || c == 0) {
            why = what + " holds the control character U+" + hex4(c) + ", which the book format uses as a separator";
            return false;
        }
    }
    return true;
}

// Reads the written file back through the reader's own code.
bool readsBackAsGiven(const std::string &path, const BookRecipe &spec, std::string &why)
{
    ToolReader t;
    std::string detail;
    if (!openAsBook(t, path, detail)) {
        why = "the book as written does not read back as given: " + detail;
        return false;
    }
    ReaderState &s = t.r.state;
    const BookEntry &entry = s.shelf.catalogue()[0];
    if (entry.title != spec.title)
        detail = "the title differs";
    else if (entry.sectionCount != std::int16_t(spec.sectionTexts.size()))
        detail = "the section count differs";
    else if (s.book.contentsList != spec.sectionTitles)
        detail = "the section titles differ";
    for (std::size_t i = 0; detail.empty() && i < spec.sectionTexts.size(); ++i) {
        std::u16string text;
        if (!readSectionText(s.book.bookFile, int(i) + 1, text) || text != spec.sectionTexts[i])
            detail = "the text of section " + std::to_string(i + 1) + " differs";
    }
    if (detail.empty())
        return true;
    why = "the book as written does not read back as given: " + detail;
    return false;
}

} // namespace

int makeCommand(const std::vector<std::string> &args)
{
    const std::string cmd = "make";
    std::string encodingName;
    std::optional<std::string> title;
    std::string out;
    std::vector<std::string> inputs;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (endOfOptions(args, i, inputs))
            break;
        if (a == "--encoding" || a == "--title" || a == "-o") {
            if (i + 1 >= args.size())
                return usageError(cmd, a + " needs a value");
            const std::string &v = args[++i];
            if (a == "--encoding")
                encodingName = v;
            else if (a == "--title")
                title = v;
            else
                out = v;
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError(cmd, "unknown option " + a);
        } else {
            inputs.push_back(a);
        }
    }
    if (encodingName != "cp950" && encodingName != "utf16")
        return usageError(cmd, "--encoding must be cp950 or utf16");
    if (!title || title->empty())
        return usageError(cmd, "--title must name the book");
    if (out.empty())
        return usageError(cmd, "-o must name the book file to write");
    if (inputs.empty())
        return usageError(cmd, "name at least one text file, one per section");
    if (inputs.size() > std::size_t(kMaxSections))
        return failure(cmd, "a book holds at most " + std::to_string(kMaxSections) + " sections");
    if (!isValidUtf8(*title))
        return failure(cmd, "the title is not UTF-8 text");

    BookRecipe spec;
    spec.encoding = encodingName == "cp950" ? BookEncoding::CP950 : BookEncoding::UTF16LE;
    spec.title = utf8ToUtf16(*title);
    std::string why;
    if (!checkTitle("the book title", spec.title, why))
        return failure(cmd, why);
    if (spec.encoding == BookEncoding::CP950 && !checkCp950("the book title", spec.title, why))
        return failure(cmd, why);
    for (const std::string &path : inputs) {
        SectionSource src;
        if (!loadSource(path, src, why) || !checkTitle(path + ": the first line", src.title, why))
            return failure(cmd, why);
        if (spec.encoding == BookEncoding::CP950 && !checkCp950(path, src.text, why))
            return failure(cmd, why);
        spec.sectionTitles.push_back(std::move(src.title));
        spec.sectionTexts.push_back(std::move(src.text));
    }
    std::string bytes;
    if (!writeBookBytes(spec, bytes, &why))
        return failure(cmd, why);

    // Written beside the target and checked before it replaces anything.
    Files &files = systemFiles();
    std::string temp;
    int h = createBeside(files, out, temp);
    if (h < 0)
        return failure(cmd, out + ": cannot be written");
    const bool written = files.write(h, bytes.data(), std::int64_t(bytes.size())) && files.flush(h);
    files.close(h);
    if (!written) {
        files.remove(temp);
        return failure(cmd, out + ": cannot be written");
    }
    if (!readsBackAsGiven(temp, spec, why)) {
        files.remove(temp);
        return failure(cmd, why);
    }
    if (!files.rename(temp, out)) {
        files.remove(temp);
        return failure(cmd, out + ": cannot be written");
    }
    return 0;
}

int infoCommand(const std::vector<std::string> &args)
{
    const std::string cmd = "info";
    std::vector<std::string> operands;
    const bool marked = !args.empty() && endOfOptions(args, 0, operands);
    if (!marked)
        operands = args;
    if (operands.size() != 1 || (!marked && operands[0].size() > 1 && operands[0][0] == '-'))
        return usage(cmd);
    const std::string &path = operands[0];
    ToolReader t;
    std::string why;
    if (!openAsBook(t, path, why))
        return failure(cmd, path + ": " + why);
    ReaderState &s = t.r.state;
    const BookEntry entry = s.shelf.catalogue()[0];
    const int n = entry.sectionCount;

    std::string json = "{\"file\":" + jsonString(utf16ToUtf8(utf8ToUtf16(path)));
    json += ",\"encoding\":";
    BookFile &file = s.book.bookFile;
    json += file.bookEncoding() == BookEncoding::CP950 ? "\"CP950\"" : "\"UTF16LE\"";
    json += ",\"records\":" + std::to_string(file.recordCount());
    json += ",\"title\":" + jsonString(entry.title);
    json += ",\"sections\":" + std::to_string(n);
    json += ",\"tocOffset\":" + std::to_string(entry.tocOffset);
    json += ",\"contents\":[";
    for (std::size_t i = 0; i < s.book.contentsList.size(); ++i)
        json += (i ? "," : "") + jsonString(s.book.contentsList[i]);
    json += "],\"sectionLengths\":[";
    for (int i = 1; i <= n; ++i) {
        std::u16string text;
        readSectionText(file, i, text);
        json += (i > 1 ? "," : "") + std::to_string(text.size());
    }
    json += "],\"bookmarks\":{";
    if (file.recordCount() > n + 1) {
        if (const std::span<const std::uint8_t> record = file.record(n + 1); !record.empty()) {
            bool first = true;
            for (const auto &[section, pages] : parseBookmarkRecord(record.data(), record.size(), n)) {
                json += (first ? "\"" : ",\"") + std::to_string(section) + "\":[";
                for (std::size_t k = 0; k < pages.size(); ++k)
                    json += (k ? "," : "") + std::to_string(pages[k]);
                json += "]";
                first = false;
            }
        }
    }
    json += "}}\n";
    if (std::fputs(json.c_str(), stdout) < 0 || std::fflush(stdout) != 0)
        return failure(cmd, "cannot write to standard output");
    return 0;
}

int textCommand(const std::vector<std::string> &given)
{
    const std::string cmd = "text";
    std::vector<std::string> args;
    if (given.empty() || !endOfOptions(given, 0, args))
        args = given;
    if (args.size() != 2)
        return usage(cmd);
    const std::string &path = args[0];
    const std::optional<long> section = parseNumber(args[1]);
    if (!section)
        return usageError(cmd, "SECTION must be a section number");
    ToolReader t;
    std::string why;
    if (!openAsBook(t, path, why))
        return failure(cmd, path + ": " + why);
    ReaderState &s = t.r.state;
    const int n = s.shelf.catalogue()[0].sectionCount;
    const std::string which = path + ": section " + std::to_string(*section);
    if (*section < 1 || *section > n)
        return failure(cmd, which + " is absent: the book has " + std::to_string(n) + " sections");
    if (*section >= s.book.bookFile.recordCount())
        return failure(cmd, which + " is absent: the file has no record " + std::to_string(*section));
    std::u16string section16;
    if (!readSectionText(s.book.bookFile, int(*section), section16))
        return failure(cmd, which + " cannot be read: its record is empty or lies outside the file");
    const std::string text = utf16ToUtf8(section16);
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
        return failure(cmd, "cannot write to standard output");
    return 0;
}

bool openToolBook(ToolReader &t, const std::string &path, std::string &why)
{
    return openAsBook(t, path, why);
}
