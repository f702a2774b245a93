#include "import_fixtures.h"

#include "book/section_loader.h"
#include "platform/files.h"
#include "state/reader_state.h"
#include "text/codec.h"

#include <gtest/gtest.h>
#include <iconv.h>
#include <zip.h>

namespace pagora {

void writeZip(const std::string &path, const std::vector<std::pair<std::string, std::string>> &entries)
{
    int error = 0;
    zip_t *z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(z, nullptr) << path;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string &data = entries[i].second;
        zip_source_t *src = zip_source_buffer(z, data.data(), data.size(), 0);
        const zip_int64_t index = zip_file_add(z, entries[i].first.c_str(), src, ZIP_FL_OVERWRITE);
        ASSERT_GE(index, 0) << entries[i].first;
        zip_set_file_compression(z, zip_uint64_t(index), i == 0 ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
    }
    ASSERT_EQ(zip_close(z), 0) << path; // data is read here, while entries live
}

std::vector<std::pair<std::string, std::string>> epubEntries(const EpubRecipe &spec)
{
    std::vector<std::pair<std::string, std::string>> e = {
        {"mimetype", "application/epub+zip"},
        {"META-INF/container.xml",
         R"(<?xml version="1.0"?><container version="1.0" xmlns="urn:oasis:names:tc:opendocument:xmlns:container">)"
         R"(<rootfiles><rootfile full-path="OPS/content.opf" media-type="application/oebps-package+xml"/>)"
         "</rootfiles></container>"}};
    std::string manifest, spine, nav, ncx;
    for (std::size_t i = 0; i < spec.documents.size(); ++i) {
        const std::string &name = spec.documents[i].first;
        const std::string id = "d" + std::to_string(i);
        manifest += "<item id=\"" + id + "\" href=\"" + name + "\" media-type=\"application/xhtml+xml\"/>";
        spine += "<itemref idref=\"" + id + "\"/>";
        if (i < spec.navTitles.size() && !spec.navTitles[i].empty()) {
            nav += "<li><a href=\"" + name + "#start\">" + spec.navTitles[i] + "</a></li>";
            ncx += "<navPoint id=\"n" + id + "\"><navLabel><text>" + spec.navTitles[i] +
                   "</text></navLabel><content src=\"" + name + "\"/></navPoint>";
        }
        e.push_back({"OPS/" + name, "<?xml version=\"1.0\" encoding=\"UTF-8\"?><html "
                                    "xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>x</title></head><body>" +
                                        spec.documents[i].second + "</body></html>"});
    }
    if (spec.withNav) {
        manifest += R"(<item id="nav" href="nav.xhtml" media-type="application/xhtml+xml" properties="nav"/>)";
        e.push_back(
            {"OPS/nav.xhtml", R"(<html xmlns="http://www.w3.org/1999/xhtml" xmlns:epub="http://www.idpf.org/2007/ops">)"
                              R"(<body><nav epub:type="toc"><ol>)" +
                                  nav + "</ol></nav></body></html>"});
    }
    if (spec.withNcx) {
        manifest += R"(<item id="ncx" href="toc.ncx" media-type="application/x-dtbncx+xml"/>)";
        e.push_back({"OPS/toc.ncx", R"(<ncx xmlns="http://www.daisy.org/z3986/2005/ncx/" version="2005-1"><navMap>)" +
                                        ncx + "</navMap></ncx>"});
    }
    e.push_back(
        {"OPS/content.opf", R"(<?xml version="1.0"?><package xmlns="http://www.idpf.org/2007/opf" version="3.0">)"
                            R"(<metadata xmlns:dc="http://purl.org/dc/elements/1.1/"><dc:title>)" +
                                spec.title + "</dc:title></metadata><manifest>" + manifest + "</manifest><spine" +
                                (spec.withNcx ? " toc=\"ncx\"" : "") + ">" + spine + "</spine></package>"});
    e.insert(e.end(), spec.extraEntries.begin(), spec.extraEntries.end());
    return e;
}

std::string encodeAs(const std::string &utf8, const char *encoding)
{
    iconv_t cd = iconv_open(encoding, "UTF-8");
    EXPECT_NE(cd, iconv_t(-1)) << encoding;
    std::string out(utf8.size() * 4 + 16, '\0');
    char *in = const_cast<char *>(utf8.data());
    std::size_t inLeft = utf8.size();
    char *to = out.data();
    std::size_t outLeft = out.size();
    EXPECT_NE(iconv(cd, &in, &inLeft, &to, &outLeft), std::size_t(-1)) << encoding;
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

BookContents readBookBack(const std::string &path)
{
    BookContents book;
    ReaderState s;
    if (!addBook(systemFiles(), s.shelf, path))
        return book;
    s.shelf.select(0);
    if (!openBookFile(systemFiles(), s.shelf, s.book) ||
        ((s.book.sectionCount = s.shelf.catalogue()[0].sectionCount), !loadContents(s.book, s.shelf.selectedEntry()))) {
        s.book.bookFile.close();
        return book;
    }
    book.title = utf16ToUtf8(s.shelf.catalogue()[0].title);
    for (const std::u16string &t : s.book.contentsList)
        book.titles.push_back(utf16ToUtf8(t));
    for (int i = 1; i <= s.book.sectionCount; ++i) {
        book.texts.push_back(loadSectionText(s.book, i) ? utf16ToUtf8(s.book.sectionText()) : "<unreadable>");
    }
    s.book.bookFile.close();
    book.ok = true;
    return book;
}

} // namespace pagora
