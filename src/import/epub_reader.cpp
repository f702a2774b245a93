#include "import/epub_reader.h"

#include "platform/files.h"
#include "text/codec.h"

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <zip.h>

#include <map>
#include <memory>
#include <mutex>
#include <set>

namespace pagora {

namespace {

// Caps against zip bombs and absurd packages: no book needs more.
constexpr zip_uint64_t kMaxEntrySize = 32u << 20;
constexpr zip_uint64_t kMaxTotalSize = 256u << 20;
constexpr std::size_t kMaxSpineItems = 10000;

struct ZipCloser {
    void operator()(zip_t *z) const { zip_discard(z); }
};
struct DocFree {
    void operator()(xmlDoc *d) const { xmlFreeDoc(d); }
};
using Doc = std::unique_ptr<xmlDoc, DocFree>;

void initXml()
{
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

// A document type declaration that declares entities, in any of the
// encodings a package document may use. Entities expand past every byte cap
// when the text is taken out, so such a document is refused before parsing.
bool declaresEntities(std::string_view bytes)
{
    static const std::string_view ascii = "<!ENTITY";
    if (bytes.find(ascii) != std::string_view::npos)
        return true;
    std::string wide16le, wide16be;
    for (char c : ascii) {
        wide16le += c;
        wide16le += '\0';
        wide16be += '\0';
        wide16be += c;
    }
    return bytes.find(wide16le) != std::string_view::npos || bytes.find(wide16be) != std::string_view::npos;
}

bool hasEntityDeclarations(const xmlDoc *doc)
{
    return doc && ((doc->intSubset && doc->intSubset->entities) || (doc->extSubset && doc->extSubset->entities));
}

class Package {
public:
    explicit Package(zip_t *z) : zip_(z) {}

    // Set once a document declares entities: the whole book is refused,
    // whichever document it was.
    const std::string &refusal() const { return refusal_; }

    // The named entry's bytes; false when absent, too large or damaged.
    bool read(const std::string &name, std::string &out, std::string &why)
    {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat(zip_.get(), name.c_str(), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) {
            why = name + " is missing";
            return false;
        }
        if (st.size > kMaxEntrySize || total_ + st.size > kMaxTotalSize) {
            why = name + " is too large";
            return false;
        }
        zip_file_t *f = zip_fopen(zip_.get(), name.c_str(), 0);
        if (!f) {
            why = name + " cannot be opened (" + zip_strerror(zip_.get()) + ")";
            return false;
        }
        out.resize(std::size_t(st.size));
        // One byte more than stated: an entry that lies about its size fails.
        std::string extra(1, '\0');
        const zip_int64_t n = st.size ? zip_fread(f, out.data(), st.size) : 0;
        const zip_int64_t more = n == zip_int64_t(st.size) ? zip_fread(f, extra.data(), 1) : -1;
        const bool ok = n == zip_int64_t(st.size) && more == 0;
        if (!ok)
            why = name + " is damaged (" + zip_file_strerror(f) + ")";
        zip_fclose(f);
        total_ += st.size;
        if (ok && declaresEntities(out)) {
            why = name + " declares entities, which a book never needs";
            refusal_ = why;
            out.clear();
            return false;
        }
        return ok;
    }
    bool has(const std::string &name) { return zip_name_locate(zip_.get(), name.c_str(), 0) >= 0; }

private:
    std::unique_ptr<zip_t, ZipCloser> zip_;
    zip_uint64_t total_ = 0;
    std::string refusal_;
};

// XML without network, external entities or entity substitution.
// A document that declares entities anyway (in an encoding the byte check
// does not read) is not taken.
Doc parseXml(const std::string &bytes)
{
    Doc doc(xmlReadMemory(bytes.data(), int(bytes.size()), nullptr, nullptr,
                          XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOCDATA));
    return hasEntityDeclarations(doc.get()) ? Doc() : std::move(doc);
}

// Content documents go through the HTML parser: it knows HTML's named
// entities (&nbsp;) that XHTML files use without declaring them.
Doc parseHtml(const std::string &bytes)
{
    const bool utf16 =
        bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
    Doc doc(htmlReadMemory(bytes.data(), int(bytes.size()), nullptr, utf16 ? nullptr : "UTF-8",
                           HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_RECOVER |
                               HTML_PARSE_NOIMPLIED));
    return hasEntityDeclarations(doc.get()) ? Doc() : std::move(doc);
}

// XHTML is XML: the XML parser first, so that <script/> and the like end
// where they are written. The HTML parser takes what is not well-formed, such
// as HTML's named entities (&nbsp;) used without a declaration.
Doc parseContent(const std::string &bytes)
{
    Doc doc = parseXml(bytes);
    return doc ? std::move(doc) : parseHtml(bytes);
}

std::string name(const xmlNode *n)
{
    return n && n->name ? reinterpret_cast<const char *>(n->name) : "";
}

std::string attr(const xmlNode *n, const char *key)
{
    for (const xmlAttr *a = n->properties; a; a = a->next) {
        if (name(reinterpret_cast<const xmlNode *>(a)) != key)
            continue;
        xmlChar *v = xmlNodeListGetString(n->doc, a->children, 1);
        std::string s = v ? reinterpret_cast<const char *>(v) : "";
        xmlFree(v);
        return s;
    }
    return {};
}

std::string text(const xmlNode *n)
{
    xmlChar *v = xmlNodeGetContent(n);
    std::string s = v ? reinterpret_cast<const char *>(v) : "";
    xmlFree(v);
    return s;
}

// Elements in document order, depth-first, without recursion.
template <typename F> void walk(xmlNode *root, F &&visit)
{
    xmlNode *n = root;
    while (n) {
        if (n->type == XML_ELEMENT_NODE)
            visit(n);
        if (n->children && n->type == XML_ELEMENT_NODE) {
            n = n->children;
            continue;
        }
        while (n && !n->next && n != root)
            n = n->parent;
        if (!n || n == root)
            break;
        n = n->next;
    }
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A relative reference resolved against base's folder, without its
// fragment, percent escapes decoded, "." and ".." applied. Only names inside
// the package come out; nothing is ever written to those names.
std::string resolve(const std::string &base, std::string href)
{
    href = href.substr(0, href.find('#'));
    if (href.empty())
        return base;
    std::string decoded;
    for (std::size_t i = 0; i < href.size(); ++i) {
        if (href[i] == '%' && i + 2 < href.size() && hexValue(href[i + 1]) >= 0 && hexValue(href[i + 2]) >= 0) {
            decoded.push_back(char(hexValue(href[i + 1]) * 16 + hexValue(href[i + 2])));
            i += 2;
        } else {
            decoded.push_back(href[i]);
        }
    }
    std::vector<std::string> parts;
    const std::string full = decoded[0] == '/' ? decoded.substr(1) : folderOf(base) + decoded;
    std::size_t pos = 0;
    while (pos <= full.size()) {
        std::size_t end = full.find('/', pos);
        if (end == std::string::npos)
            end = full.size();
        const std::string part = full.substr(pos, end - pos);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        pos = end + 1;
    }
    std::string out;
    for (const std::string &p : parts)
        out += (out.empty() ? "" : "/") + p;
    return out;
}

bool isBlockElement(const std::string &n)
{
    static const std::set<std::string> blocks = {
        "p",          "div",     "h1",      "h2",      "h3",     "h4",     "h5",    "h6",  "li",
        "ul",         "ol",      "dl",      "dt",      "dd",     "tr",     "table", "pre", "blockquote",
        "hr",         "body",    "section", "article", "header", "footer", "aside", "nav", "figure",
        "figcaption", "address", "center",  "caption", "main",   "td",     "th"};
    return blocks.count(n) > 0;
}

bool isSkippedElement(const std::string &n)
{
    // Ruby annotations go, their base text stays; nothing of scripts,
    // styles, images or the head reaches the page.
    static const std::set<std::string> skipped = {"rt",  "rp",  "script", "style",  "head",     "title",
                                                  "img", "svg", "math",   "object", "noscript", "template"};
    return skipped.count(n) > 0;
}

std::u16string codePoint(unsigned c)
{
    if (c < 0x10000)
        return std::u16string(1, char16_t(c));
    return {char16_t(0xD800 + ((c - 0x10000) >> 10)), char16_t(0xDC00 + ((c - 0x10000) & 0x3FF))};
}

bool isAsciiSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// Text of a content document: block elements end lines, runs of white space
// inside a line count as one space, lines are trimmed of ASCII spaces.
class TextExtractor {
public:
    std::string run(xmlNode *root)
    {
        visit(root, 0);
        endLine();
        return out_;
    }
    std::string firstHeading;

private:
    void visit(xmlNode *n, int depth)
    {
        // The parser caps nesting too; this keeps the stack small whatever it allows.
        if (depth > 1000)
            return;
        for (xmlNode *c = n; c; c = c->next) {
            if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) {
                addText(reinterpret_cast<const char *>(c->content));
                continue;
            }
            if (c->type == XML_ENTITY_REF_NODE) {
                // An HTML entity the document's external DTD would declare.
                if (const htmlEntityDesc *e = htmlEntityLookup(c->name))
                    addText(utf16ToUtf8(codePoint(e->value)).c_str());
                continue;
            }
            if (c->type != XML_ELEMENT_NODE && c->type != XML_DOCUMENT_NODE && c->type != XML_HTML_DOCUMENT_NODE)
                continue;
            const std::string n = name(c);
            if (isSkippedElement(n))
                continue;
            if (n == "br") {
                endLine(true);
                continue;
            }
            const bool block = isBlockElement(n);
            if (block)
                endLine();
            const bool heading = n.size() == 2 && n[0] == 'h' && n[1] >= '1' && n[1] <= '6';
            const std::size_t before = out_.size() + line_.size();
            if (n == "pre")
                ++pre_;
            visit(c->children, depth + 1);
            if (n == "pre")
                --pre_;
            if (block)
                endLine();
            if (heading && firstHeading.empty() && out_.size() > before)
                firstHeading = out_.substr(before);
        }
    }
    void addText(const char *s)
    {
        if (!s)
            return;
        for (; *s; ++s) {
            const char c = *s;
            if (pre_ > 0) {
                if (c == '\n')
                    endLine(true);
                else if (c != '\r')
                    line_.push_back(c);
            } else if (isAsciiSpace(c)) {
                pendingSpace_ = !line_.empty();
            } else {
                if (pendingSpace_)
                    line_.push_back(' ');
                pendingSpace_ = false;
                line_.push_back(c);
            }
        }
    }
    // Ends the current line; an empty one only for a line break.
    void endLine(bool always = false)
    {
        pendingSpace_ = false;
        if (line_.empty() && !always)
            return;
        out_ += line_;
        out_ += "\r\n";
        line_.clear();
    }

    std::string out_, line_;
    bool pendingSpace_ = false;
    int pre_ = 0;
};

bool isContentType(const std::string &mediaType)
{
    return mediaType == "application/xhtml+xml" || mediaType == "text/html" || mediaType == "application/x-dtbook+xml";
}

// Titles of documents from the navigation document's toc list or the NCX:
// the first entry that points into a document names it.
void addTitle(std::map<std::string, std::string> &titles, const std::string &doc, const std::string &title)
{
    std::string t = title;
    for (char &c : t)
        if (isAsciiSpace(c))
            c = ' ';
    if (!doc.empty() && !titles.count(doc) && t.find_first_not_of(' ') != std::string::npos)
        titles[doc] = t;
}

void navTitles(Package &pkg, const std::string &navPath, std::map<std::string, std::string> &titles)
{
    std::string bytes, why;
    if (navPath.empty() || !pkg.read(navPath, bytes, why))
        return;
    Doc doc = parseContent(bytes);
    if (!doc)
        return;
    xmlNode *tocNav = nullptr;
    walk(xmlDocGetRootElement(doc.get()), [&](xmlNode *n) {
        if (!tocNav && name(n) == "nav" && (attr(n, "type") == "toc" || attr(n, "epub:type") == "toc"))
            tocNav = n;
    });
    if (!tocNav)
        return;
    walk(tocNav, [&](xmlNode *n) {
        if (name(n) == "a")
            addTitle(titles, resolve(navPath, attr(n, "href")), text(n));
    });
}

void ncxTitles(Package &pkg, const std::string &ncxPath, std::map<std::string, std::string> &titles)
{
    std::string bytes, why;
    if (ncxPath.empty() || !pkg.read(ncxPath, bytes, why))
        return;
    Doc doc = parseXml(bytes);
    if (!doc)
        return;
    walk(xmlDocGetRootElement(doc.get()), [&](xmlNode *n) {
        if (name(n) != "navPoint")
            return;
        std::string label, src;
        for (xmlNode *c = n->children; c; c = c->next) {
            if (name(c) == "navLabel")
                label = text(c);
            else if (name(c) == "content")
                src = attr(c, "src");
        }
        addTitle(titles, resolve(ncxPath, src), label);
    });
}

// Encrypted content documents mean DRM; an obfuscated font alone does not.
bool hasEncryptedContent(Package &pkg, const std::set<std::string> &contentDocs)
{
    std::string bytes, why;
    if (!pkg.has("META-INF/encryption.xml") || !pkg.read("META-INF/encryption.xml", bytes, why))
        return false;
    Doc doc = parseXml(bytes);
    if (!doc)
        return true;
    bool encrypted = false;
    walk(xmlDocGetRootElement(doc.get()), [&](xmlNode *n) {
        if (name(n) == "CipherReference" && contentDocs.count(resolve("", attr(n, "URI"))))
            encrypted = true;
    });
    return encrypted;
}

} // namespace

bool readEpubBytes(std::string_view file, EpubBook &book, std::string &why)
{
    initXml();
    zip_error_t e;
    zip_error_init(&e);
    // The archive reads the caller's bytes in place; they outlive it.
    zip_source_t *source = zip_source_buffer_create(file.data(), file.size(), 0, &e);
    zip_t *z = source ? zip_open_from_source(source, ZIP_RDONLY, &e) : nullptr;
    if (!z) {
        if (source)
            zip_source_free(source);
        why = file.empty() ? std::string("not a readable EPUB: the file is empty")
                           : std::string("not a readable EPUB: ") + zip_error_strerror(&e);
        zip_error_fini(&e);
        return false;
    }
    zip_error_fini(&e);
    Package pkg(z);
    std::string bytes;
    if (!pkg.read("META-INF/container.xml", bytes, why)) {
        if (pkg.refusal().empty())
            why = "not a readable EPUB: " + why;
        return false;
    }
    std::string opfPath;
    if (Doc container = parseXml(bytes)) {
        walk(xmlDocGetRootElement(container.get()), [&](xmlNode *n) {
            if (opfPath.empty() && name(n) == "rootfile")
                opfPath = resolve("", attr(n, "full-path"));
        });
    }
    if (opfPath.empty()) {
        why = "not a readable EPUB: META-INF/container.xml names no package document";
        return false;
    }
    if (!pkg.read(opfPath, bytes, why)) {
        if (pkg.refusal().empty())
            why = "not a readable EPUB: " + why;
        return false;
    }
    Doc opf = parseXml(bytes);
    if (!opf) {
        why = "not a readable EPUB: the package document " + opfPath + " is not well-formed";
        return false;
    }
    struct Item {
        std::string path, mediaType;
    };
    std::map<std::string, Item> manifest;
    std::vector<std::string> spine;
    std::string navPath, ncxId, title;
    walk(xmlDocGetRootElement(opf.get()), [&](xmlNode *n) {
        const std::string n0 = name(n);
        if (n0 == "title" && title.empty())
            title = text(n);
        else if (n0 == "item") {
            const Item item{resolve(opfPath, attr(n, "href")), attr(n, "media-type")};
            manifest[attr(n, "id")] = item;
            if (attr(n, "properties").find("nav") != std::string::npos)
                navPath = item.path;
        } else if (n0 == "spine")
            ncxId = attr(n, "toc");
        else if (n0 == "itemref" && spine.size() < kMaxSpineItems)
            spine.push_back(attr(n, "idref"));
    });
    std::set<std::string> contentDocs;
    std::vector<std::string> docs;
    for (const std::string &id : spine) {
        auto it = manifest.find(id);
        if (it != manifest.end() && isContentType(it->second.mediaType)) {
            docs.push_back(it->second.path);
            contentDocs.insert(it->second.path);
        }
    }
    const bool encrypted = hasEncryptedContent(pkg, contentDocs);
    if (!pkg.refusal().empty()) {
        why = pkg.refusal();
        return false;
    }
    if (encrypted) {
        why = "the EPUB is protected by DRM (its text is encrypted)";
        return false;
    }
    if (docs.empty()) {
        why = "the EPUB's reading order names no text documents";
        return false;
    }
    std::map<std::string, std::string> titles;
    navTitles(pkg, navPath, titles);
    if (auto it = manifest.find(ncxId); it != manifest.end())
        ncxTitles(pkg, it->second.path, titles);
    if (!pkg.refusal().empty()) {
        why = pkg.refusal();
        return false;
    }

    book.title = utf8ToUtf16(title);
    book.sections.clear();
    for (const std::string &docPath : docs) {
        if (!pkg.read(docPath, bytes, why)) {
            if (pkg.refusal().empty())
                why = "the EPUB is damaged: " + why;
            return false;
        }
        Doc doc = parseContent(bytes);
        // Skipping a document would lose a chapter without a word.
        if (!doc) {
            why = "the EPUB is damaged: " + docPath + " cannot be read as markup";
            return false;
        }
        TextExtractor extractor;
        const std::u16string text = utf8ToUtf16(extractor.run(xmlDocGetRootElement(doc.get())));
        if (trimmedLine(text).empty() && text.find_first_not_of(u"\r\n \u3000") == std::u16string::npos)
            continue;
        auto named = titles.find(docPath);
        std::u16string sectionTitle =
            contentsTitle(utf8ToUtf16(named != titles.end() ? named->second : extractor.firstHeading));
        if (sectionTitle.empty())
            sectionTitle = contentsTitle(text.substr(text.find_first_not_of(u"\r\n \u3000")), 20);
        book.sections.push_back({sectionTitle, text});
    }
    if (book.sections.empty()) {
        why = "the EPUB holds no text";
        return false;
    }
    return true;
}

} // namespace pagora
