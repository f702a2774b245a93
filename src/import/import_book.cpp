#include "import/import_book.h"

#include "book/book_writer.h"
#include "import/chinese_convert.h"
#include "import/epub_reader.h"
#include "import/import_stages.h"
#include "platform/codec.h"
#include "platform/files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pagora {

namespace {

// Conversion pieces: big enough for OpenCC to run at full speed, small
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

bool load(const std::string &inputPath, const std::string &encodingName, Loaded &loaded, std::string &why)
{
    if (isEpub(inputPath)) {
        EpubBook book;
        if (!readEpub(inputPath, book, why))
            return false;
        loaded.title = std::move(book.title);
        loaded.sections = std::move(book.sections);
        return true;
    }
    bool isAuto = false;
    TextEncoding encoding = TextEncoding::Unknown;
    if (!parseEncodingName(encodingName, isAuto, encoding)) {
        why = "unknown encoding " + encodingName;
        return false;
    }
    std::string bytes;
    if (!readImportFile(inputPath, bytes, why))
        return false;
    if (isAuto)
        encoding = detectEncoding(bytes);
    else if (encoding == TextEncoding::Utf16LE && bytes.compare(0, 2, "\xFE\xFF") == 0)
        encoding = TextEncoding::Utf16BE; // the mark says which way round
    if (encoding == TextEncoding::Unknown) {
        why = "the text's encoding cannot be told (not UTF-8, UTF-16, Big5 or GB18030 text?); "
              "name it with --encoding";
        return false;
    }
    loaded.isTextFile = true;
    return decodeImportText(bytes, encoding, loaded.text, why);
}

} // namespace

bool readImportFile(const std::string &path, std::string &bytes, std::string &why)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        why = systemError(path);
        return false;
    }
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0;
    if (!ok)
        why = systemError(path);
    else if (!S_ISREG(st.st_mode)) {
        why = path + " is not a file";
        ok = false;
    } else if (std::uint64_t(st.st_size) > kMaxImportFileSize) {
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
        if (ok && done > kMaxImportFileSize) {
            why = path + " is too large to import";
            ok = false;
        }
        bytes.resize(done);
    }
    ::close(fd);
    return ok;
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
    text = withCrLfLineEnds(decoded);
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
    BookSpec spec;
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
    if (bytes.size() > 0xFFFFFFFFu) {
        why = "the book would be too large";
        return false;
    }
    std::string temp = outPath + ".import-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        why = systemError(outPath);
        return false;
    }
    bool ok = ::fchmod(fd, 0644) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
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
    if (!ok)
        ::unlink(temp.c_str());
    return ok;
}

ImportResult importBook(const std::string &inputPath, const std::string &outPath, const ImportOptions &options,
                        const ImportProgress &progress)
{
    ImportResult result;
    std::string why;
    Progress steps(progress);
    if (!isImportable(inputPath)) {
        result.error = "only .txt and .epub files can be imported";
        return result;
    }
    if (sameFile(inputPath, outPath)) {
        result.error = "the book would replace the file it is made from";
        return result;
    }
    steps.stage(0, 0.1);
    Loaded loaded;
    if (!load(inputPath, options.encoding, loaded, why)) {
        result.error = why;
        return result;
    }
    if (!steps.report(1)) {
        result.error = "cancelled";
        return result;
    }
    const bool titleGiven = !options.title.empty();
    std::u16string title =
        titleGiven ? utf8ToUtf16(options.title) : (loaded.title.empty() ? fileStem(inputPath) : loaded.title);
    if (options.toTraditional) {
        steps.stage(0.1, 0.8);
        const ChineseConverter converter(kToTaiwanTraditional);
        if (!converter.isOpen()) {
            result.error = "the Simplified to Traditional tables (OpenCC) cannot be loaded";
            return result;
        }
        auto keepGoing = [&](double share) { return steps.report(share); };
        std::u16string converted;
        // A title typed by the person stays as typed.
        if (!titleGiven && (!converter.convert(title, converted) || converted.empty()))
            converted = title;
        if (!titleGiven)
            title = converted;
        if (loaded.isTextFile) {
            if (!convertText(converter, loaded.text, converted, keepGoing, why)) {
                result.error = why;
                return result;
            }
            loaded.text = std::move(converted);
        } else {
            for (std::size_t i = 0; i < loaded.sections.size(); ++i) {
                ImportedSection &s = loaded.sections[i];
                std::u16string convertedTitle;
                if (!convertText(converter, s.text, converted, {}, why) ||
                    !convertText(converter, s.title, convertedTitle, {}, why)) {
                    result.error = why;
                    return result;
                }
                s.text = std::move(converted);
                s.title = std::move(convertedTitle);
                if (!steps.report(double(i + 1) / double(loaded.sections.size()))) {
                    result.error = "cancelled";
                    return result;
                }
            }
        }
    }
    title = bookTitle(title);
    steps.stage(0.8, 0.9);
    if (loaded.isTextFile) {
        if (loaded.text.find_first_not_of(u" \t\f\r\n\u3000") == std::u16string::npos) {
            result.error = "the file holds no text";
            return result;
        }
        loaded.sections = splitChapters(loaded.text, title);
        loaded.text.clear();
        loaded.text.shrink_to_fit();
    }
    loaded.sections = fitSectionLimit(std::move(loaded.sections));
    if (loaded.sections.empty()) {
        result.error = "the file holds no text";
        return result;
    }
    if (!steps.report(1)) {
        result.error = "cancelled";
        return result;
    }
    steps.stage(0.9, 1);
    if (!writeImportedBook(outPath, title, std::move(loaded.sections), why)) {
        result.error = why;
        return result;
    }
    steps.report(1);
    result.ok = true;
    return result;
}

bool isMostlySimplified(const std::string &inputPath, const std::string &encoding)
{
    Loaded loaded;
    std::string why;
    if (!isImportable(inputPath) || !load(inputPath, encoding, loaded, why))
        return false;
    std::u16string sample = loaded.text.substr(0, kSimplifiedSample);
    for (const ImportedSection &s : loaded.sections) {
        if (sample.size() >= kSimplifiedSample)
            break;
        sample += s.text.substr(0, kSimplifiedSample - sample.size());
    }
    return isMostlySimplifiedText(sample);
}

bool isImportable(const std::string &path)
{
    return endsWithNoCase(path, ".txt") || endsWithNoCase(path, ".epub");
}

} // namespace pagora
