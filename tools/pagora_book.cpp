#include "commands.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <map>
#include <new>

namespace {

struct Subcommand {
    int (*run)(const std::vector<std::string> &);
    const char *synopsis;
    const char *help;
};

const std::map<std::string, Subcommand> &subcommands()
{
    static const std::map<std::string, Subcommand> table = {
        {"make",
         {makeCommand, "make --encoding cp950|utf16 --title TITLE -o OUT.pdb|OUT.updb FILE...",
          "Makes a book file from UTF-8 text files, one section per file, in order.\n"
          "The first line of each file is the section's title in the table of contents;\n"
          "line ends are written as CR LF.\n\n"
          "  --encoding cp950   code page 950 text (a .pdb book)\n"
          "  --encoding utf16   UTF-16LE text (a .updb book)\n"
          "  --title TITLE      the book's title, shown on the shelf\n"
          "  -o OUT             the book file to write\n\n"
          "Text that code page 950 cannot hold is an error; nothing is written then.\n"}},
        {"import",
         {importCommand,
          "import [--encoding auto|utf8|utf16|big5|gb18030] [--to-traditional] [--title TITLE] [--progress] "
          "-o OUT.updb|--output-fd N [--] FILE",
          "Makes a .updb book from a text file or an EPUB.\n\n"
          "A text file is cut into sections at its chapter headings (第一章, 第12回, 序,\n"
          "楔子, 後記...); text before the first heading is a section of its own; a text\n"
          "without headings is cut into pieces of about 10,000 characters. An EPUB gives\n"
          "one section per document of its reading order, titled from its contents.\n"
          "More chapters than a book can hold are grouped, consecutive ones together.\n\n"
          "  --encoding E       the text file's encoding: auto (default: detected),\n"
          "                     utf8, utf16, big5 or gb18030\n"
          "  --to-traditional   converts Simplified Chinese to Traditional (Taiwan\n"
          "                     standard and phrases), titles too\n"
          "  --title TITLE      the book's title (default: the EPUB's title, or the\n"
          "                     file's name)\n"
          "  -o OUT             the book file to write\n"
          "  --output-fd N      writes the book into the open file N instead, from its\n"
          "                     start; the caller made it and names or removes it\n"
          "  --progress         also prints, on standard error, lines for a program that\n"
          "                     shows the import's progress:\n"
          "                       progress N   N of 1000 done (rising, last 1000)\n"
          "                       fault NAME   why it failed, one word, before the\n"
          "                                    reason: not-a-file, unreadable, too-large,\n"
          "                                    changed, empty, not-text, unknown-encoding,\n"
          "                                    invalid-text, not-an-epub, damaged-epub,\n"
          "                                    entities, drm, no-converter, cannot-write,\n"
          "                                    no-memory, not-importable\n\n"
          "A file that cannot be imported is an error; nothing is written then.\n"
          "The file is read by a process that can open nothing else for writing and\n"
          "reach no network, program or other process.\n"}},
        {"convert",
         {convertCommand, "convert --to-traditional",
          "Reads UTF-8 Simplified Chinese on standard input and writes it in Traditional\n"
          "Chinese as Taiwan writes it on standard output, as import --to-traditional\n"
          "converts: Taiwan's words and standard forms, paired curly quotes as 「」 and\n"
          "『』. Every line break and everything but Chinese text stays as it is.\n"
          "Input that is not UTF-8 exits with status 1 and writes nothing, as does a\n"
          "missing conversion table.\n"}},
        {"notes",
         {notesCommand,
          "notes add BOOK SECTION START LENGTH [--colour 1..4] [--note TEXT] | list BOOK | remove BOOK ID | "
          "export BOOK [--db PATH]",
          "The marked passages and notes of a book, kept in the reader's notes database\n"
          "and found by the book's text wherever its file lies. Sections count from 1;\n"
          "START and LENGTH are UTF-16 code units of the section's text.\n\n"
          "  add BOOK SECTION START LENGTH   marks a passage; prints {\"id\": N}\n"
          "      --colour 1..4                its colour (default 1)\n"
          "      --note TEXT                  a note beside it\n"
          "  list BOOK     prints the marks as JSON, in book order, detached ones last\n"
          "  remove BOOK ID\n"
          "  export BOOK   prints the marks as Markdown: the title, then per section\n"
          "                its title, each passage quoted and its note\n\n"
          "  --db PATH     the database (default: the reader's notes.sqlite)\n\n"
          "Marks whose text moved are found again first, as the reader does.\n"}},
        {"probe",
         {probeCommand, "probe [--encoding auto|utf8|utf16|big5|gb18030] [--progress] [--] FILE",
          "Reads a text file or an EPUB as import would and prints one JSON object:\n"
          "file, and mostlySimplified (true when its text is mostly Simplified Chinese,\n"
          "worth converting with import --to-traditional).\n"
          "A file import would refuse exits with status 1 and says why; with --progress\n"
          "a \"fault NAME\" line as import writes comes first.\n"}},
        {"info",
         {infoCommand, "info FILE",
          "Prints one JSON object describing a book file: file, encoding (\"CP950\" or\n"
          "\"UTF16LE\"), records, title, sections, tocOffset, contents (section titles),\n"
          "sectionLengths (UTF-16 code units of each section as loaded) and bookmarks\n"
          "(section number to its bookmarked pages).\n"
          "A file the reader would reject exits with status 1 and says which check failed.\n"}},
        {"text",
         {textCommand, "text FILE SECTION",
          "Writes the decoded text of one section (1-based) to standard output as UTF-8,\n"
          "CR and LF kept. A section the book does not have exits with status 1.\n"}},
        {"pages",
         {pagesCommand,
          "pages FILE SECTION --width W --height H [--size-step S] [--base-size B] [--vmargin V] [--hmargin H] "
          "[--chinese-breaks]",
          "Lays out one section for a reading panel of W x H pixels and prints where each\n"
          "page starts (UTF-16 offsets), one number a line, then the end offset.\n\n"
          "  --size-step S   reading size step 1..9 (default 1)\n"
          "  --base-size B   base font size in pixels (default 14); the cell is B + 2 x S\n"
          "  --vmargin V     top and bottom margin (default 16)\n"
          "  --hmargin H     left and right margin (default 20)\n"
          "  --chinese-breaks\n"
          "                  no column starts with a closing mark or ends with an\n"
          "                  opening one (the reader's 避頭尾 switch)\n"}},
        {"render",
         {renderCommand,
          "render FILE SECTION PAGE -o OUT.png [--width W --height H] [--size-step S] [--base-size B] "
          "[--vmargin V] [--hmargin H] [--scheme 1|2] [--background 1..9] [--upright-punctuation] [--chinese-breaks]",
          "Paints the reading screen of one page as the reader shows it (background,\n"
          "text, position marks) and writes it as a PNG image.\n\n"
          "  --scheme 1|2        1 black text on a light background, 2 white on dark\n"
          "  --background 1..9   which of the nine backgrounds of the scheme\n"
          "  --upright-punctuation\n"
          "                      draw brackets, dashes and stop marks as written instead\n"
          "                      of in their vertical forms\n"
          "  other options       as for pages\n"}},
        {"select",
         {selectCommand,
          "select FILE SECTION PAGE X1 Y1 X2 Y2 [--width W --height H] [--size-step S] [--base-size B] "
          "[--vmargin V] [--hmargin H] [--chinese-breaks]",
          "Prints what a drag from (X1, Y1) to (X2, Y2) selects on a page as render draws\n"
          "it with the same options: {\"start\": O, \"length\": L, \"text\": \"...\"}, start and\n"
          "length in UTF-16 code units of the section, the text with its line ends.\n"
          "Coordinates are pixels of the page image; the endpoints may come in either\n"
          "order. A point outside every cell selects up to the nearest cell in reading\n"
          "order (down each column, then the column to its left).\n"}},
        {"speak",
         {speakCommand, "speak --plan BOOK SECTION OFFSET",
          "Prints how the reader reads a section aloud from OFFSET (UTF-16 code units)\n"
          "to its end: a JSON array of utterances, each {\"section\", \"start\",\n"
          "\"length\", \"text\"}, start and length in UTF-16 code units of the section.\n"
          "An utterance is a sentence (to 。！？… or a line break, closing quotes and\n"
          "brackets kept with it); one longer than 200 units is cut after ，；：.\n"
          "White space is left out. A book the reader rejects or a section it does not\n"
          "have exits with status 1.\n"}},
        {"lookup",
         {lookupCommand, "lookup TEXT",
          "Prints a JSON array with one object per distinct character of TEXT, in order\n"
          "of first appearance, from Unihan: char, pinyin, zhuyin (in the order of\n"
          "pinyin), jyutping, radical (Kangxi number), strokes, traditional, simplified\n"
          "and definition. A character Unihan does not list gives only char.\n"
          "Without the character data (unicode-data) it exits with status 1.\n"}},
    };
    return table;
}

void printOverview(std::FILE *out)
{
    std::fputs("pagora-book makes, imports, inspects and exports Pagora book files (.pdb, .updb).\n\n"
               "Usage:\n",
               out);
    for (const auto &[name, sub] : subcommands())
        std::fprintf(out, "  pagora-book %s\n", sub.synopsis);
    std::fputs("\nRun 'pagora-book SUBCOMMAND --help' for the details of one subcommand.\n"
               "Exit status: 0 done, 1 failed, 2 usage error.\n",
               out);
}

bool isHelp(const std::string &arg)
{
    return arg == "--help" || arg == "-h" || arg == "help";
}

} // namespace

int usage(const std::string &subcommand)
{
    const auto &table = subcommands();
    auto it = table.find(subcommand);
    if (it != table.end()) {
        std::fprintf(stderr, "usage: pagora-book %s\n", it->second.synopsis);
        std::fprintf(stderr, "Run 'pagora-book %s --help' for more.\n", subcommand.c_str());
        return 2;
    }
    printOverview(stderr);
    return 2;
}

int failure(const std::string &command, const std::string &message)
{
    std::fprintf(stderr, "pagora-book %s: %s\n", command.c_str(), printable(message).c_str());
    return 1;
}

std::string printable(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    auto hex = [&](unsigned char c) {
        static const char digits[] = "0123456789abcdef";
        out += "\\x";
        out += digits[c >> 4];
        out += digits[c & 15];
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (c < 0x20 || c == 0x7f) {
            hex(c);
        } else if (c == 0xc2 && next >= 0x80 && next <= 0x9f) {
            hex(c);
            hex(next);
            ++i;
        } else {
            out += char(c);
        }
    }
    return out;
}

bool endOfOptions(const std::vector<std::string> &args, std::size_t i, std::vector<std::string> &operands)
{
    if (args[i] != "--")
        return false;
    operands.insert(operands.end(), args.begin() + std::ptrdiff_t(i) + 1, args.end());
    return true;
}

int usageError(const std::string &command, const std::string &message)
{
    failure(command, message);
    return usage(command);
}

std::optional<long> parseNumber(const std::string &text)
{
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    const std::size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size())
        return std::nullopt;
    for (std::size_t k = i; k < text.size(); ++k)
        if (text[k] < '0' || text[k] > '9')
            return std::nullopt;
    return std::strtol(text.c_str(), nullptr, 10);
}

int run(int argc, char **argv)
{
    if (argc < 2)
        return usage("");
    const std::string name = argv[1];
    if (isHelp(name)) {
        printOverview(stdout);
        return 0;
    }
    if (name == "--version") {
        std::printf("pagora-book %d.%d\n", PAGORA_VERSION_MAJOR, PAGORA_VERSION_MINOR);
        return 0;
    }
    const auto &table = subcommands();
    auto it = table.find(name);
    if (it == table.end())
        return usage("");
    std::vector<std::string> args(argv + 2, argv + argc);
    for (const std::string &a : args) {
        if (a == "--")
            break;
        if (a == "--help" || a == "-h") {
            std::printf("usage: pagora-book %s\n\n%s", it->second.synopsis, it->second.help);
            return 0;
        }
    }
    return it->second.run(args);
}

int main(int argc, char **argv)
{
    // No exception leaves the tool: a failure is a reason and status 1.
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc &) {
        std::fputs("pagora-book: not enough memory\n", stderr);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "pagora-book: %s\n", printable(e.what()).c_str());
    }
    return 1;
}
