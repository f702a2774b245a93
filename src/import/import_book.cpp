#include "import/import_book.h"

#include "book/book_writer.h"
#include "import/chinese_convert.h"
#include "import/epub_reader.h"
#include "import/import_stages.h"
#include "platform/files.h"
#include "text/codec.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace pagora {

namespace {

// Conversion pieces: big enough for the converter to run at full speed, small
// enough for progress and cancelling to feel immediate.
constexpr std::size_t kConvertPiece = 512 * 1024;
// The sample that decides whether a text is mostly Simplified.
constexpr std::size_t kSimplifiedSample = 100000;

bool isEpub(const std::string &path)
{
    return endsWithNoCase(path, ".epub");
}

std::u16string fileStem(const std::string &path)
{
    std::string name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.resize(dot);
    return utf8ToUtf16(name);
}

std::string systemError(const std::string &what)
{
    return what + ": " + std::strerror(errno);
}

bool writeAll(int fd, const std::string &bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += std::size_t(n);
    }
    return true;
}

bool sameFile(const std::string &a, const std::string &b)
{
    struct stat sa, sb;
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// Progress over consecutive stages: each stage reports its own 0..1.
class Progress {
public:
    explicit Progress(const ImportProgress &report) : report_(report) {}
    void stage(double from, double to)
    {
        from_ = from;
        to_ = to;
    }
    bool report(double share) const { return !report_ || report_(from_ + (to_ - from_) * share); }

private:
    const ImportProgress &report_;
    double from_ = 0, to_ = 1;
};

struct Loaded {
    std::u16string title;
    std::vector<ImportedSection> sections;
    std::u16string text; // a text file's whole text, before it is cut
    bool isTextFile = false;
};

ImportResult failed(ImportFault fault, std::string why)
{
    ImportResult r;
    r.fault = fault;
    r.error = std::move(why);
    return r;
}

// The EPUB reader words its reasons by kind; the kind is what a caller needs.
ImportFault epubFault(const std::string &why)
{
    if (why.find("declares entities") != std::string::npos)
        return ImportFault::Entities;
    if (why.find("DRM") != std::string::npos)
        return ImportFault::Drm;
    if (why.find("holds no text") != std::string::npos)
        return ImportFault::Empty;
    if (why.rfind("not a readable EPUB", 0) == 0)
        return ImportFault::NotAnEpub;
    return ImportFault::DamagedEpub;
}

ImportResult load(std::string_view bytes, bool epub, const std::string &encodingName, Loaded &loaded)
{
    std::string why;
    if (epub) {
        EpubBook book;
        if (!readEpubBytes(bytes, book, why))
            return failed(epubFault(why), why);
        loaded.title = std::move(book.title);
        loaded.sections = std::move(book.sections);
        return {true, {}, ImportFault::None};
    }
    bool isAuto = false;
    TextEncoding encoding = TextEncoding::Unknown;
    if (!parseEncodingName(encodingName, isAuto, encoding))
        return failed(ImportFault::InvalidText, "unknown encoding " + encodingName);
    if (bytes.empty())
        return failed(ImportFault::Empty, "the file holds no text");
    if (isAuto)
        encoding = detectEncoding(bytes);
    else if (encoding == TextEncoding::Utf16LE && bytes.substr(0, 2) == "\xFE\xFF")
        encoding = TextEncoding::Utf16BE; // the mark says which way round
    // Text never holds NUL, except as the high bytes of UTF-16.
    const bool utf16 = encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE;
    if (!utf16 && bytes.find('\0') != std::string_view::npos)
        return failed(ImportFault::NotText, "the file is not text (it holds binary data)");
    if (encoding == TextEncoding::Unknown)
        return failed(ImportFault::UnknownEncoding,
                      "the text's encoding cannot be told (not UTF-8, UTF-16, Big5 or GB18030 text?); "
                      "name it with --encoding");
    loaded.isTextFile = true;
    if (!decodeImportText(bytes, encoding, loaded.text, why))
        return failed(why.find("not text") != std::string::npos ? ImportFault::NotText : ImportFault::InvalidText, why);
    return {true, {}, ImportFault::None};
}

// The umask as it stands; the temporary file's mode follows it as any
// file created with 0666 would.
mode_t currentUmask()
{
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

bool readImportFile(const std::string &path, std::string &bytes, ImportFault &fault, std::string &why)
{
    // Without blocking: a named pipe must not hold the import until a
    // writer comes; it is refused below like any file that is not regular.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        fault = errno == ENXIO ? ImportFault::NotAFile : ImportFault::Unreadable;
        why = systemError(path);
        return false;
    }
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0;
    fault = ImportFault::Unreadable;
    if (!ok)
        why = systemError(path);
    else if (!S_ISREG(st.st_mode)) {
        fault = ImportFault::NotAFile;
        why = path + " is not a file";
        ok = false;
    } else if (std::uint64_t(st.st_size) > kMaxImportFileSize) {
        fault = ImportFault::TooLarge;
        why = path + " is too large to import (more than " + std::to_string(kMaxImportFileSize >> 20) + " MB)";
        ok = false;
    }
    if (ok) {
        // One byte more than stated shows a file that grew meanwhile.
        bytes.resize(std::size_t(st.st_size) + 1);
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                why = systemError(path);
                ok = false;
            }
            if (n <= 0)
                break;
            done += std::size_t(n);
        }
        bytes.resize(done);
        struct stat after;
        if (ok && (done != std::size_t(st.st_size) || ::fstat(fd, &after) != 0 || after.st_size != st.st_size ||
                   after.st_mtim.tv_sec != st.st_mtim.tv_sec || after.st_mtim.tv_nsec != st.st_mtim.tv_nsec)) {
            fault = ImportFault::Changed;
            why = "the file changed while it was read";
            ok = false;
        }
    }
    ::close(fd);
    if (ok)
        fault = ImportFault::None;
    return ok;
}

ImportResult writeBookFile(const std::string &outPath, const std::string &bytes)
{
    // Beside the book under a short name of our own pattern: any name legal
    // for the book is also legal here, and a scan of the shelf knows it.
    const std::size_t slash = outPath.rfind('/');
    std::string temp =
        (slash == std::string::npos ? std::string() : outPath.substr(0, slash + 1)) + kImportTempPrefix + "XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return failed(ImportFault::CannotWrite, systemError(outPath));
    std::string why;
    bool ok = ::fchmod(fd, 0666 & ~currentUmask()) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    if (!ok)
        why = systemError(outPath);
    if (::close(fd) != 0 && ok) {
        why = systemError(outPath);
        ok = false;
    }
    if (ok && ::rename(temp.c_str(), outPath.c_str()) != 0) {
        why = systemError(outPath);
        ok = false;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return failed(ImportFault::CannotWrite, why);
    }
    syncFolderOf(outPath);
    return {true, {}, ImportFault::None};
}

ImportResult makeBook(std::string_view bytes, bool epub, const std::u16string &name, const ImportOptions &options,
                      const ChineseConverter *converter, std::string &book, const ImportProgress &progress)
{
    std::string why;
    Progress steps(progress);
    steps.stage(0, 0.1);
    Loaded loaded;
    if (ImportResult r = load(bytes, epub, options.encoding, loaded); !r.ok)
        return r;
    if (!steps.report(1))
        return failed(ImportFault::Cancelled, "cancelled");
    const bool titleGiven = !options.title.empty();
    std::u16string title = titleGiven ? utf8ToUtf16(options.title) : (loaded.title.empty() ? name : loaded.title);
    if (options.toTraditional) {
        steps.stage(0.1, 0.8);
        if (!converter || !converter->isOpen())
            return failed(ImportFault::NoConverter, "the Simplified to Traditional table cannot be loaded");
        auto keepGoing = [&](double share) { return steps.report(share); };
        std::u16string converted;
        // A title typed by the person stays as typed.
        if (!titleGiven && (!converter->convert(title, converted) || converted.empty()))
            converted = title;
        if (!titleGiven)
            title = withCornerQuotes(converted);
        if (loaded.isTextFile) {
            if (!convertText(*converter, loaded.text, converted, keepGoing, why))
                return failed(why == "cancelled" ? ImportFault::Cancelled : ImportFault::NoConverter, why);
            loaded.text = withCornerQuotes(converted);
        } else {
            for (std::size_t i = 0; i < loaded.sections.size(); ++i) {
                ImportedSection &s = loaded.sections[i];
                std::u16string convertedTitle;
                if (!convertText(*converter, s.text, converted, {}, why) ||
                    !convertText(*converter, s.title, convertedTitle, {}, why))
                    return failed(ImportFault::NoConverter, why);
                s.text = withCornerQuotes(converted);
                s.title = withCornerQuotes(convertedTitle);
                if (!steps.report(double(i + 1) / double(loaded.sections.size())))
                    return failed(ImportFault::Cancelled, "cancelled");
            }
        }
    }
    title = bookTitle(title);
    steps.stage(0.8, 0.9);
    if (loaded.isTextFile) {
        if (loaded.text.find_first_not_of(u" \t\f\r\n\u3000") == std::u16string::npos)
            return failed(ImportFault::Empty, "the file holds no text");
        loaded.sections = splitChapters(loaded.text, title);
        loaded.text.clear();
        loaded.text.shrink_to_fit();
    }
    loaded.sections = fitSectionLimit(std::move(loaded.sections));
    if (loaded.sections.empty())
        return failed(ImportFault::Empty, "the file holds no text");
    if (!steps.report(1))
        return failed(ImportFault::Cancelled, "cancelled");
    BookRecipe spec;
    spec.encoding = BookEncoding::UTF16LE;
    spec.title = title;
    for (ImportedSection &s : loaded.sections) {
        spec.sectionTitles.push_back(std::move(s.title));
        spec.sectionTexts.push_back(std::move(s.text));
    }
    loaded.sections.clear();
    if (!writeBookBytes(spec, book, &why))
        return failed(ImportFault::CannotWrite, why);
    if (book.size() > 0xFFFFFFFFu)
        return failed(ImportFault::TooLarge, "the book would be too large");
    return {true, {}, ImportFault::None};
}

} // namespace

bool readImportFile(const std::string &path, std::string &bytes, std::string &why)
{
    ImportFault fault;
    return readImportFile(path, bytes, fault, why);
}

bool decodeImportText(std::string_view bytes, TextEncoding encoding, std::u16string &text, std::string &why)
{
    std::u16string decoded;
    if (!decodeText(bytes, encoding, decoded, why))
        return false;
    if (!looksLikeText(decoded)) {
        why = "the file is not text (it holds binary data)";
        return false;
    }
    text = withCrLfLineEnds(withoutControls(decoded));
    return true;
}

bool convertText(const ChineseConverter &converter, std::u16string_view text, std::u16string &out,
                 const std::function<bool(double)> &keepGoing, std::string &why)
{
    out.clear();
    out.reserve(text.size());
    std::u16string piece;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.size();
        if (end - pos > kConvertPiece) {
            const std::size_t lf = text.find(u'\n', pos + kConvertPiece);
            end = lf == std::u16string_view::npos ? text.size() : lf + 1;
        }
        if (!converter.convert(text.substr(pos, end - pos), piece)) {
            why = "the Simplified to Traditional conversion failed";
            return false;
        }
        out += piece;
        pos = end;
        if (keepGoing && !keepGoing(double(pos) / double(text.size()))) {
            why = "cancelled";
            return false;
        }
    }
    return true;
}

std::u16string bookTitle(std::u16string_view title)
{
    std::u16string t = contentsTitle(title, 200);
    return t.empty() ? std::u16string(u"無題") : t;
}

bool writeImportedBook(const std::string &outPath, const std::u16string &title, std::vector<ImportedSection> sections,
                       std::string &why)
{
    BookRecipe spec;
    spec.encoding = BookEncoding::UTF16LE;
    spec.title = title;
    for (ImportedSection &s : sections) {
        spec.sectionTitles.push_back(std::move(s.title));
        spec.sectionTexts.push_back(std::move(s.text));
    }
    sections.clear();
    std::string bytes;
    if (!writeBookBytes(spec, bytes, &why))
        return false;
    const ImportResult r = writeBookFile(outPath, bytes);
    why = r.error;
    return r.ok;
}

ImportResult importBookBytes(std::string_view bytes, bool isEpub, const std::u16string &name,
                             const ImportOptions &options, const ChineseConverter *converter, std::string &book,
                             const ImportProgress &progress)
{
    book.clear();
    try {
        return makeBook(bytes, isEpub, name, options, converter, book, progress);
    } catch (const std::bad_alloc &) {
        book.clear();
        return failed(ImportFault::NoMemory, "not enough memory to import the file");
    } catch (const std::exception &e) {
        book.clear();
        return failed(ImportFault::DamagedEpub, std::string("the file cannot be imported: ") + e.what());
    }
}

namespace {

// The book's bytes from the file at inputPath; progress runs to 0.9.
ImportResult bookFromFile(const std::string &inputPath, const ImportOptions &options, const ImportProgress &progress,
                          std::string &book)
{
    if (!isImportable(inputPath))
        return failed(ImportFault::NotImportable, "only text and .epub files can be imported");
    std::string bytes, why;
    ImportFault fault;
    if (!readImportFile(inputPath, bytes, fault, why))
        return failed(fault, why);
    std::unique_ptr<ChineseConverter> converter;
    if (options.toTraditional)
        converter = std::make_unique<ChineseConverter>();
    return importBookBytes(bytes, isEpub(inputPath), fileStem(inputPath), options, converter.get(), book,
                           [&](double share) { return !progress || progress(share * 0.9); });
}

template <typename Work> ImportResult guarded(Work work)
{
    try {
        return work();
    } catch (const std::bad_alloc &) {
        return failed(ImportFault::NoMemory, "not enough memory to import the file");
    } catch (const std::exception &e) {
        return failed(ImportFault::CannotWrite, std::string("the import failed: ") + e.what());
    }
}

} // namespace

ImportResult importBook(const std::string &inputPath, const std::string &outPath, const ImportOptions &options,
                        const ImportProgress &progress)
{
    return guarded([&] {
        if (sameFile(inputPath, outPath))
            return failed(ImportFault::CannotWrite, "the book would replace the file it is made from");
        std::string book;
        ImportResult r = bookFromFile(inputPath, options, progress, book);
        if (!r.ok)
            return r;
        r = writeBookFile(outPath, book);
        if (r.ok && progress)
            progress(1);
        return r;
    });
}

ImportResult importBookInto(int fd, const std::string &inputPath, const ImportOptions &options,
                            const ImportProgress &progress)
{
    return guarded([&] {
        std::string book;
        ImportResult r = bookFromFile(inputPath, options, progress, book);
        if (!r.ok)
            return r;
        if (::ftruncate(fd, 0) != 0 || ::lseek(fd, 0, SEEK_SET) != 0 || !writeAll(fd, book) || ::fsync(fd) != 0)
            return failed(ImportFault::CannotWrite, systemError("the book cannot be written"));
        if (progress)
            progress(1);
        return ImportResult{true, {}, ImportFault::None};
    });
}

bool probeMostlySimplified(const std::string &inputPath, const std::string &encoding, bool &simplified,
                           ImportResult &failure)
{
    simplified = false;
    try {
        if (!isImportable(inputPath)) {
            failure = failed(ImportFault::NotImportable, "only text and .epub files can be imported");
            return false;
        }
        std::string bytes, why;
        ImportFault fault;
        if (!readImportFile(inputPath, bytes, fault, why)) {
            failure = failed(fault, why);
            return false;
        }
        Loaded loaded;
        failure = load(bytes, isEpub(inputPath), encoding, loaded);
        if (!failure.ok)
            return false;
        std::u16string sample = loaded.text.substr(0, kSimplifiedSample);
        for (const ImportedSection &s : loaded.sections) {
            if (sample.size() >= kSimplifiedSample)
                break;
            sample += s.text.substr(0, kSimplifiedSample - sample.size());
        }
        simplified = isMostlySimplifiedText(sample);
        return true;
    } catch (const std::bad_alloc &) {
        failure = failed(ImportFault::NoMemory, "not enough memory to read the file");
        return false;
    }
}

bool isMostlySimplified(const std::string &inputPath, const std::string &encoding)
{
    bool simplified = false;
    ImportResult failure;
    return probeMostlySimplified(inputPath, encoding, simplified, failure) && simplified;
}

bool isImportable(const std::string &path)
{
    // Texts often come without the name: their first bytes tell.
    return endsWithNoCase(path, ".txt") || endsWithNoCase(path, ".epub") || startsLikeText(systemFiles(), path);
}

const char *importFaultName(ImportFault fault)
{
    switch (fault) {
    case ImportFault::None: return "none";
    case ImportFault::NotImportable: return "not-importable";
    case ImportFault::NotAFile: return "not-a-file";
    case ImportFault::Unreadable: return "unreadable";
    case ImportFault::TooLarge: return "too-large";
    case ImportFault::Changed: return "changed";
    case ImportFault::Empty: return "empty";
    case ImportFault::NotText: return "not-text";
    case ImportFault::UnknownEncoding: return "unknown-encoding";
    case ImportFault::InvalidText: return "invalid-text";
    case ImportFault::NotAnEpub: return "not-an-epub";
    case ImportFault::DamagedEpub: return "damaged-epub";
    case ImportFault::Entities: return "entities";
    case ImportFault::Drm: return "drm";
    case ImportFault::NoConverter: return "no-converter";
    case ImportFault::CannotWrite: return "cannot-write";
    case ImportFault::NoMemory: return "no-memory";
    case ImportFault::Cancelled: return "cancelled";
    }
    return "none";
}

ImportFault importFaultFromName(std::string_view name)
{
    for (int f = int(ImportFault::None); f <= int(ImportFault::Cancelled); ++f) {
        if (name == importFaultName(ImportFault(f)))
            return ImportFault(f);
    }
    return ImportFault::None;
}

} // namespace pagora
