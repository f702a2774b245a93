#include "book/book_writer.h"

#include "text/codec.h"

#include <cstdio>

namespace pagora {

namespace {

void putBig16(std::string &out, unsigned v)
{
    out.push_back(char((v >> 8) & 0xFF));
    out.push_back(char(v & 0xFF));
}

void putBig32(std::string &out, std::uint32_t v)
{
    putBig16(out, v >> 16);
    putBig16(out, v & 0xFFFF);
}

void putLittle16(std::string &out, int v)
{
    out.push_back(char(v & 0xFF));
    out.push_back(char((v >> 8) & 0xFF));
}

bool encodeText(BookEncoding encoding, std::u16string_view text, std::string &out, std::string *error, const char *what)
{
    if (encoding == BookEncoding::UTF16LE) {
        out = encodeUtf16le(text);
        return true;
    }
    std::size_t bad = 0;
    if (!encodeCp950(text, out, &bad)) {
        if (error) {
            *error = std::string(what) + ": character U+";
            char hex[8];
            std::snprintf(hex, sizeof hex, "%04X", unsigned(text[bad]));
            *error += hex;
            *error += " at position " + std::to_string(bad) + " has no code page 950 form";
        }
        return false;
    }
    return true;
}

} // namespace

std::string bookmarkRecordBytes(const std::vector<std::pair<int, std::vector<int>>> &marks)
{
    std::string out;
    for (const auto &[section, pages] : marks) {
        if (pages.empty())
            continue;
        putLittle16(out, section);
        putLittle16(out, int(pages.size()));
        for (int p : pages)
            putLittle16(out, p);
    }
    putLittle16(out, -1);
    return out;
}

std::string containerBytes(BookEncoding encoding, const std::vector<std::string> &records)
{
    std::string out;
    std::string name = "Pagora book";
    name.resize(32, '\0');
    out += name;
    out.append(28, '\0'); // attributes, version, dates, modification number, app-info, sort-info
    out += "BOOK";
    out += encoding == BookEncoding::CP950 ? "MTIT" : "MTIU";
    out.append(8, '\0'); // unique-id seed, next record list id
    putBig16(out, unsigned(records.size()));
    std::uint32_t offset = std::uint32_t(78 + 8 * records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        putBig32(out, offset);
        out.push_back('\0'); // attributes
        putBig16(out, 0);    // unique id (3 bytes)
        out.push_back(char(i & 0xFF));
        offset += std::uint32_t(records[i].size());
    }
    for (const std::string &r : records)
        out += r;
    return out;
}

bool writeBookBytes(const BookRecipe &spec, std::string &out, std::string *error)
{
    const bool wide = spec.encoding == BookEncoding::UTF16LE;
    const std::string sep = wide ? std::string("\x1B\0", 2) : std::string("\x1B");
    std::string header(8, '\0');
    std::string bytes;
    if (!encodeText(spec.encoding, spec.title, bytes, error, "title"))
        return false;
    header += bytes + sep;
    header += sep; // field 2, empty
    header += sep; // field 3, empty
    const std::string count = std::to_string(spec.sectionTexts.size());
    if (!encodeText(spec.encoding, std::u16string(count.begin(), count.end()), bytes, error, "count"))
        return false;
    header += bytes + sep;
    if (wide) {
        std::u16string toc;
        for (const std::u16string &t : spec.sectionTitles)
            toc += t + u"\r\n";
        header += encodeUtf16le(toc);
    } else {
        for (std::size_t i = 0; i < spec.sectionTitles.size(); ++i) {
            if (!encodeText(spec.encoding, spec.sectionTitles[i], bytes, error,
                            ("title of section " + std::to_string(i + 1)).c_str()))
                return false;
            header += bytes;
            if (i + 1 < spec.sectionTitles.size())
                header += sep;
        }
    }
    std::vector<std::string> records{header};
    for (std::size_t i = 0; i < spec.sectionTexts.size(); ++i) {
        if (!encodeText(spec.encoding, spec.sectionTexts[i], bytes, error,
                        ("text of section " + std::to_string(i + 1)).c_str()))
            return false;
        if (!wide)
            bytes.push_back('\0'); // the trailing byte that is not text
        records.push_back(bytes);
    }
    if (spec.bookmarkRecord)
        records.push_back(*spec.bookmarkRecord);
    for (const std::string &r : spec.extraRecords)
        records.push_back(r);
    out = containerBytes(spec.encoding, records);
    return true;
}

} // namespace pagora
