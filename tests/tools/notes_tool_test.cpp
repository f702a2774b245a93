#include "book/book_writer.h"
#include "tool_runner.h"

#include <gtest/gtest.h>

using namespace pagora;

namespace {

struct Step {
    std::vector<std::string> args; // after "notes"; BOOK and DB are filled in
    int status;
    std::string out; // the whole of stdout, when the step succeeds
};

// One session of a person using the tool on one book, step by step.
TEST(NotesTool, KeepsTheContract)
{
    TempDir dir;
    BookRecipe spec;
    spec.encoding = BookEncoding::UTF16LE;
    spec.title = u"論語";
    spec.sectionTitles = {u"學而", u"為政"};
    spec.sectionTexts = {u"學而時習之，不亦說乎？\r\n有朋自遠方來，不亦樂乎？", u"為政以德，譬如北辰。"};
    std::string bytes;
    ASSERT_TRUE(writeBookBytes(spec, bytes));
    writeFile(dir.file("論語.updb"), bytes);

    const std::vector<Step> steps = {
        {{"list", "BOOK"}, 0, "[]\n"},
        {{"add", "BOOK", "2", "0", "4", "--colour", "3", "--note", "德\n\"政\""}, 0, "{\"id\": 1}\n"},
        {{"add", "BOOK", "1", "0", "5"}, 0, "{\"id\": 2}\n"},
        {{"add", "BOOK", "1", "13", "7"}, 0, "{\"id\": 3}\n"},
        {{"add", "BOOK", "2", "8", "3"}, 1, ""}, // past the section's end
        {{"add", "BOOK", "3", "0", "1"}, 1, ""}, // no such section
        {{"add", "BOOK", "1", "0", "0"}, 1, ""}, // nothing marked
        {{"add", "BOOK", "1", "0", "1", "--colour", "5"}, 2, ""},
        {{"add", "BOOK", "1", "x", "1"}, 2, ""},
        {{"list", "BOOK", "1"}, 2, ""},
        {{"erase", "BOOK"}, 2, ""},
        {{"list", "missing.updb"}, 1, ""},
        {{"remove", "BOOK", "2"}, 0, ""},
        {{"remove", "BOOK", "2"}, 1, ""},
        {{"list", "BOOK"},
         0,
         "[{\"id\": 3, \"section\": 1, \"start\": 13, \"length\": 7, \"quote\": \"有朋自遠方來，\", \"colour\": 1, "
         "\"note\": \"\", \"detached\": false},\n"
         " {\"id\": 1, \"section\": 2, \"start\": 0, \"length\": 4, \"quote\": \"為政以德\", \"colour\": 3, "
         "\"note\": \"德\\n\\\"政\\\"\", \"detached\": false}]\n"},
        {{"export", "BOOK"}, 0, "# 論語\n\n## 學而\n\n> 有朋自遠方來，\n\n## 為政\n\n> 為政以德\n\n> 德\n> \"政\"\n"},
    };
    for (const Step &step : steps) {
        std::vector<std::string> args = {"notes"};
        for (const std::string &a : step.args)
            args.push_back(a == "BOOK" ? dir.file("論語.updb") : a);
        args.insert(args.end(), {"--db", dir.file("notes.sqlite")});
        const Outcome o = runBookTool(dir, args);
        std::string shown;
        for (const std::string &a : step.args)
            shown += a + " ";
        EXPECT_EQ(o.status, step.status) << shown << o.err;
        if (step.status == 0) {
            EXPECT_EQ(o.out, step.out) << shown;
        } else {
            EXPECT_FALSE(o.err.empty()) << shown;
        }
    }
    // A damaged database is moved aside and the command says so.
    writeFile(dir.file("notes.sqlite"), "not a database");
    const Outcome o = runBookTool(dir, {"notes", "list", dir.file("論語.updb"), "--db", dir.file("notes.sqlite")});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "[]\n");
    EXPECT_NE(o.err.find(dir.file("notes.sqlite") + ".damaged-"), std::string::npos) << o.err;
}

} // namespace
