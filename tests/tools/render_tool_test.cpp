// pagora-book pages and render, run as a person runs them.
#include "gui_app.h"
#include "test_platform.h"

#include "book/book_writer.h"
#include "render/layout_walk.h"

#include "tool_runner.h"
#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <sys/wait.h>

using namespace pagora;

namespace {

struct Tool {
    TempDir dir;

    Outcome run(const std::vector<std::string> &args) const { return runBookTool(dir, args); }

    std::string book(const std::vector<std::u16string> &sections) const
    {
        BookRecipe spec;
        spec.encoding = BookEncoding::UTF16LE;
        spec.title = u"試驗";
        spec.sectionTexts = sections;
        for (std::size_t k = 0; k < sections.size(); ++k)
            spec.sectionTitles.push_back(u"節");
        std::string bytes;
        EXPECT_TRUE(writeBookBytes(spec, bytes));
        writeFile(dir.file("book.updb"), bytes);
        return dir.file("book.updb");
    }
};

std::u16string prose(int units)
{
    const std::u16string sample = u"子曰學而時習之不亦說乎有朋自遠方來不亦樂乎，第12章\r\n";
    std::u16string t;
    while (int(t.size()) < units)
        t += sample;
    return t;
}

// What paginate() gives in the reader for the same text and panel.
std::string expectedStarts(const std::u16string &text, int width, int height, int step, int base)
{
    TestParts t;
    ReaderState &s = t.s;
    s.window.clientWidth = std::int16_t(width);
    s.window.clientHeight = std::int16_t(height);
    s.look.setSizeStep(std::int16_t(step));
    s.look.baseFontSize = std::int16_t(base);
    s.book.setSectionText(text);
    repaginate(t.s.book, computeTextArea(t.s));
    std::ostringstream out;
    for (int p = 1; p <= s.book.pages.pageCount() + 1; ++p)
        out << s.book.pages.start(std::size_t(p)) << '\n';
    return out.str();
}

} // namespace

TEST(PagesCommand, PrintsThePageStartsOfTheReader)
{
    Tool tool;
    const std::u16string second = prose(3000);
    const std::string book = tool.book({prose(100), second});
    struct Row {
        std::vector<std::string> options;
        int width, height, step, base;
    };
    const Row rows[] = {
        {{"--width", "360", "--height", "400"}, 360, 400, 1, 14},
        {{"--width", "1024", "--height", "704", "--size-step", "3", "--base-size", "20"}, 1024, 704, 3, 20},
    };
    for (const Row &r : rows) {
        std::vector<std::string> args = {"pages", book, "2"};
        args.insert(args.end(), r.options.begin(), r.options.end());
        const Outcome o = tool.run(args);
        ASSERT_EQ(o.status, 0) << o.err;
        EXPECT_EQ(o.out, expectedStarts(second, r.width, r.height, r.step, r.base));
    }
}

TEST(RenderCommand, PaintsTheReadingScreen)
{
    ensureGuiApp();
    Tool tool;
    const std::string book = tool.book({prose(3000)});
    const std::string png = tool.dir.file("page.png");
    const Outcome o = tool.run({"render", book, "1", "1", "-o", png, "--width", "360", "--height", "400", "--scheme",
                                "2", "--background", "9"});
    ASSERT_EQ(o.status, 0) << o.err;
    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(png)));
    EXPECT_EQ(image.size(), QSize(360, 400));
    EXPECT_EQ(image.pixelColor(5, 200), QColor(0, 0, 96));
    // Page 1 of several: the mark sits at the right end of the bottom edge.
    EXPECT_EQ(image.pixelColor(359, 398), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(0, 398), QColor(0, 0, 96));
    // The first cell holds a glyph in white: blends of white over the
    // background, and nothing else.
    int ink = 0;
    for (int y = 16; y < 32; ++y)
        for (int x = 323; x < 339; ++x) {
            const QColor c = image.pixelColor(x, y);
            EXPECT_EQ(c.red(), c.green());
            EXPECT_GE(c.blue(), 96);
            ink += c.red() >= 64;
        }
    EXPECT_GT(ink, 10);
}

TEST(RenderCommand, RefusesWhatItCannotDo)
{
    Tool tool;
    const std::string book = tool.book({prose(100)});
    const std::string png = tool.dir.file("x.png");
    struct Row {
        const char *name;
        std::vector<std::string> args;
        int status;
    };
    const Row rows[] = {
        {"absent section", {"pages", book, "3", "--width", "360", "--height", "400"}, 1},
        {"section 0", {"pages", book, "0", "--width", "360", "--height", "400"}, 2},
        {"no size", {"pages", book, "1"}, 2},
        {"bad size step", {"pages", book, "1", "--width", "360", "--height", "400", "--size-step", "10"}, 2},
        {"colours are for render", {"pages", book, "1", "--width", "360", "--height", "400", "--scheme", "1"}, 2},
        {"not a book", {"pages", tool.dir.file("stdout"), "1", "--width", "360", "--height", "400"}, 1},
        {"absent page", {"render", book, "1", "9", "-o", png, "--width", "360", "--height", "400"}, 1},
        {"no output", {"render", book, "1", "1", "--width", "360", "--height", "400"}, 2},
        {"huge image", {"render", book, "1", "1", "-o", png, "--width", "100000", "--height", "400"}, 2},
        {"bad background",
         {"render", book, "1", "1", "-o", png, "--width", "36", "--height", "40", "--background", "0"},
         2},
        {"unwritable output",
         {"render", book, "1", "1", "-o", tool.dir.file("no/such/x.png"), "--width", "36", "--height", "40"},
         1},
    };
    for (const Row &r : rows) {
        const Outcome o = tool.run(r.args);
        EXPECT_EQ(o.status, r.status) << r.name << ": " << o.err;
        EXPECT_FALSE(o.err.empty()) << r.name;
    }
}

TEST(RenderCommand, EncodedVerticalFormsDrawAsTheCharactersTheyStandFor)
{
    ensureGuiApp();
    const std::u16string texts[] = {u"子曰：「學而時習之，不亦說乎？」《論語》（一）……——『』〈〉【】〔〕｛｝、。",
                                    u"子曰︓﹁學而時習之︐不亦說乎︖﹂︽論語︾︵一︶︙︙︱︱﹃﹄︿﹀︻︼︹︺︷︸︑︒"};
    const auto render = [](const std::u16string &text, bool upright) {
        Tool tool;
        const std::string png = tool.dir.file("page.png");
        std::vector<std::string> args = {"render", tool.book({text}), "1", "1", "-o", png};
        if (upright)
            args.push_back("--upright-punctuation");
        const Outcome o = tool.run(args);
        EXPECT_EQ(o.status, 0) << o.err;
        return QImage(QString::fromStdString(png));
    };
    EXPECT_EQ(render(texts[0], false), render(texts[1], false));
    EXPECT_NE(render(texts[0], true), render(texts[1], true)) << "as written, each is drawn as itself";
}

TEST(SelectCommand, PrintsWhatADragSelects)
{
    Tool tool;
    // Page 1 at 200 x 100: 一二三四 down x = 163, 五六 at 139, the "a\"b" line at 115.
    const std::string book = tool.book({u"一二三四五六\r\na\"b"});
    struct Row {
        std::vector<std::string> args;
        int status;
        std::string out;
    };
    const std::vector<std::string> panel = {"--width", "200", "--height", "100"};
    const Row rows[] = {
        {{"1", "1", "145", "40", "170", "20"}, 0, "{\"start\": 0, \"length\": 6, \"text\": \"一二三四五六\"}\n"},
        {{"1", "1", "0", "0", "145", "20"}, 0, "{\"start\": 4, \"length\": 7, \"text\": \"五六\\r\\na\\\"b\"}\n"},
        {{"1", "1", "134", "40", "134", "40"}, 0, "{\"start\": 8, \"length\": 0, \"text\": \"\"}\n"},
        {{"1", "2", "0", "0", "1", "1"}, 1, ""},
        {{"1", "1", "0", "0", "1"}, 2, ""},
        {{"1", "1", "0", "0", "1", "x"}, 2, ""},
        {{"1", "1", "0", "0", "1", "1", "--scheme", "2"}, 2, ""},
    };
    for (const Row &r : rows) {
        std::vector<std::string> args = {"select", book};
        args.insert(args.end(), r.args.begin(), r.args.end());
        args.insert(args.end(), panel.begin(), panel.end());
        const Outcome o = tool.run(args);
        EXPECT_EQ(o.status, r.status) << o.err;
        EXPECT_EQ(o.out, r.out);
        EXPECT_EQ(o.err.empty(), r.status == 0) << o.err;
    }
}

TEST(LookupCommand, OneObjectPerDistinctCharacter)
{
    Tool tool;
    const Outcome o = tool.run({"lookup", "中a中"});
    if (o.status == 1 && o.err.find("not installed") != std::string::npos)
        GTEST_SKIP() << "built without the Unihan data";
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out.rfind("[\n{\"char\": \"中\", \"pinyin\": [\"zhōng\",\"zhòng\"], \"zhuyin\": "
                          "[\"ㄓㄨㄥ\",\"ㄓㄨㄥˋ\"], \"jyutping\": "
                          "[\"zung1\"], \"radical\": 2, \"strokes\": 4, \"traditional\": [], \"simplified\": [], "
                          "\"definition\": \"",
                          0),
              0u)
        << o.out;
    EXPECT_NE(o.out.find("},\n{\"char\": \"a\"}\n]\n"), std::string::npos) << o.out;
    EXPECT_EQ(tool.run({"lookup"}).status, 2);
}
