// pages and render: the reader's own layout walk and page painter, driven
// from the command line on one section of a book file.
#include "commands.h"

#include "app/reader.h"
#include "app/show_screen.h"
#include "book/section_loader.h"
#include "platform/files.h"
#include "qt/qt_surface.h"
#include "render/layout_walk.h"
#include "render/primitives.h"
#include "state/interface_texts.h"

#include <QGuiApplication>
#include <QImageWriter>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

using namespace pagora;

namespace {

// Beyond this a rendered page would be an allocation of gigabytes.
constexpr int kMaxRenderSide = 8192;

struct Options {
    std::vector<std::string> positional;
    int width = 0, height = 0;
    int sizeStep = 1, baseSize = 14;
    int verticalMargin = 16, horizontalMargin = 20;
    int scheme = 1, background = 2;
    bool uprightPunctuation = false;
    bool chineseBreaks = false;
    std::string output;
};

// A decimal number within [low, high], nothing else.
std::optional<int> parseNumber(const std::string &text, int low, int high)
{
    const std::optional<long> v = ::parseNumber(text);
    if (!v || *v < low || *v > high)
        return std::nullopt;
    return int(*v);
}

// Parses the arguments of pages or render; the message names what is wrong.
bool parseOptions(const std::vector<std::string> &args, bool render, Options &o, std::string &message)
{
    struct Numeric {
        const char *name;
        int *target;
        int low, high;
    };
    const int maxSide = render ? kMaxRenderSide : 32767;
    const std::vector<Numeric> numeric = {
        {"--width", &o.width, 1, maxSide},
        {"--height", &o.height, 1, maxSide},
        {"--size-step", &o.sizeStep, 1, 9},
        {"--base-size", &o.baseSize, 8, 72},
        {"--vmargin", &o.verticalMargin, 0, 10000},
        {"--hmargin", &o.horizontalMargin, 0, 10000},
        {"--scheme", &o.scheme, 1, 2},
        {"--background", &o.background, 1, 9},
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (endOfOptions(args, i, o.positional))
            break;
        if (a.size() < 2 || a[0] != '-' || a[1] != '-') {
            o.positional.push_back(a);
            continue;
        }
        if (render && a == "--upright-punctuation") {
            o.uprightPunctuation = true;
            continue;
        }
        if (a == "--chinese-breaks") {
            o.chineseBreaks = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            message = a + " needs a value";
            return false;
        }
        const std::string &value = args[++i];
        if (render && (a == "-o" || a == "--output")) {
            o.output = value;
            continue;
        }
        bool known = false;
        for (const Numeric &n : numeric) {
            if (a != n.name || (!render && (a == "--scheme" || a == "--background")))
                continue;
            known = true;
            const std::optional<int> v = parseNumber(value, n.low, n.high);
            if (!v) {
                message = a + " must be a number from " + std::to_string(n.low) + " to " + std::to_string(n.high);
                return false;
            }
            *n.target = *v;
        }
        if (!known) {
            message = "unknown option " + a;
            return false;
        }
    }
    if (render) {
        // The panel of the window the reader opens in on most screens.
        if (o.width == 0)
            o.width = 704;
        if (o.height == 0)
            o.height = 544;
    }
    if (o.width == 0 || o.height == 0) {
        message = "--width and --height are required";
        return false;
    }
    return true;
}

// "-o" is a single dash: fold it into the long form before parsing.
std::vector<std::string> normalised(std::vector<std::string> args)
{
    for (std::string &a : args)
        if (a == "-o")
            a = "--output";
    return args;
}

// Opens path as the only book and loads one section into sectionText.
bool loadSection(ToolReader &t, const std::string &path, int section, std::string &message)
{
    ReaderState &s = t.r.state;
    s.shelf.shelfPath.clear(); // the path names the file itself
    if (!addBook(*t.r.services.files, t.r.state.shelf, path)) {
        message = path + ": not a book file";
        return false;
    }
    s.shelf.select(0);
    if (!openBookFile(*t.r.services.files, t.r.state.shelf, t.r.state.book)) {
        message = path + ": cannot be opened";
        return false;
    }
    s.book.sectionCount = s.shelf.catalogue()[0].sectionCount;
    if (section < 1 || section > s.book.sectionCount) {
        message = path + ": section " + std::to_string(section) + " is absent: the book has " +
                  std::to_string(s.book.sectionCount) + " sections";
        return false;
    }
    s.book.currentSection = std::int16_t(section);
    if (!loadSectionText(s.book, section)) {
        message = path + ": section " + std::to_string(section) + " cannot be read";
        return false;
    }
    return true;
}

void applyOptions(ReaderState &s, const Options &o)
{
    s.window.clientWidth = std::int16_t(o.width);
    s.window.clientHeight = std::int16_t(o.height);
    s.look.setSizeStep(std::int16_t(o.sizeStep));
    s.look.baseFontSize = std::int16_t(o.baseSize);
    s.window.verticalMargin = std::int16_t(o.verticalMargin);
    s.window.horizontalMargin = std::int16_t(o.horizontalMargin);
    s.look.setColours(o.scheme, o.background);
    s.look.verticalForms = !o.uprightPunctuation;
    s.look.chineseBreaks = o.chineseBreaks;
    s.look.fontName = std::string(texts::defaultFaceUtf8);
}

// The section of the first argument, laid out as the reader lays it out with
// the panel and appearance of the options.
bool paginateSection(ToolReader &t, const Options &o, int section, std::string &message)
{
    if (!loadSection(t, o.positional[0], section, message))
        return false;
    applyOptions(t.r.state, o);
    repaginate(t.r.state.book, computeTextArea(t.r.state));
    return true;
}

} // namespace

int pagesCommand(const std::vector<std::string> &args)
{
    const std::string cmd = "pages";
    Options o;
    std::string message;
    if (!parseOptions(args, false, o, message))
        return usageError(cmd, message);
    if (o.positional.size() != 2)
        return usage(cmd);
    const std::optional<int> section = parseNumber(o.positional[1], 1, 32767);
    if (!section)
        return usageError(cmd, "SECTION must be a section number");

    ToolReader t;
    if (!paginateSection(t, o, *section, message))
        return failure(cmd, message);
    ReaderState &s = t.r.state;
    std::string out;
    for (int p = 1; p <= s.book.pages.pageCount() + 1; ++p)
        out += std::to_string(s.book.pages.start(p)) + '\n';
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0)
        return failure(cmd, "cannot write to standard output");
    return 0;
}

int renderCommand(const std::vector<std::string> &args)
{
    const std::string cmd = "render";
    Options o;
    std::string message;
    if (!parseOptions(normalised(args), true, o, message))
        return usageError(cmd, message);
    if (o.positional.size() != 3 || o.output.empty())
        return usage(cmd);
    const std::optional<int> section = parseNumber(o.positional[1], 1, 32767);
    const std::optional<int> page = parseNumber(o.positional[2], 1, 32767);
    if (!section || !page)
        return usageError(cmd, "SECTION and PAGE must be numbers from 1");

    ToolReader t;
    if (!paginateSection(t, o, *section, message))
        return failure(cmd, message);
    ReaderState &s = t.r.state;
    if (*page > s.book.pages.pageCount())
        return failure(cmd, "page " + std::to_string(*page) + " is absent: the section has " +
                                std::to_string(s.book.pages.pageCount()) + " pages");

    // No display is needed: the page is painted into an offscreen buffer.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "pagora-book";
    static char *argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    QtSurface surface;
    surface.resize(o.width, o.height);
    t.r.services.surface = &surface;
    setPanelColour(s.look);
    remakeInterfaceFont(t.r);
    remakeReadingFont(t.r);
    s.book.pages.show(*page);
    s.currentScreen = Screen::ReadingScreen;
    paintShownScreen(t.r, true);
    surface.finishPainting();

    QImageWriter writer(QString::fromStdString(o.output), "png");
    if (!writer.write(surface.image()))
        return failure(cmd, o.output + ": " + writer.errorString().toStdString());
    t.r.services.surface = &noSurface();
    return 0;
}

int withLaidOutPage(const std::string &command, const std::vector<std::string> &args, std::size_t positionalCount,
                    const std::function<int(Reader &, const std::vector<std::string> &)> &use)
{
    Options o;
    std::string message;
    for (const std::string &a : args)
        if (a == "-o" || a == "--output" || a == "--scheme" || a == "--background" || a == "--upright-punctuation")
            return usageError(command, "unknown option " + a);
    if (!parseOptions(args, true, o, message))
        return usageError(command, message);
    if (o.positional.size() != positionalCount)
        return usage(command);
    const std::optional<int> section = parseNumber(o.positional[1], 1, 32767);
    const std::optional<int> page = parseNumber(o.positional[2], 1, 32767);
    if (!section || !page)
        return usageError(command, "SECTION and PAGE must be numbers from 1");
    ToolReader t;
    if (!paginateSection(t, o, *section, message))
        return failure(command, message);
    ReaderState &s = t.r.state;
    if (*page > s.book.pages.pageCount())
        return failure(command, "page " + std::to_string(*page) + " is absent: the section has " +
                                    std::to_string(s.book.pages.pageCount()) + " pages");
    s.book.pages.show(*page);
    return use(t.r, o.positional);
}
