#include "book_bytes.h"

#include "book/book_intake.h"

#include <gtest/gtest.h>

using namespace pagora;

namespace {

std::string markedBook(const std::vector<std::u16string> &texts)
{
    BookRecipe spec;
    spec.title = u"有書籤";
    spec.sectionTexts = texts;
    spec.bookmarkRecord = bookmarkRecordBytes({{1, {1, 3}}, {2, {2}}});
    std::string out;
    writeBookBytes(spec, out);
    return out;
}

TEST(SameBookIn, FindsTheBookWithTheSameSectionTexts)
{
    TempDir dir;
    const std::string shelf = dir.file("shelf/");
    systemFiles().makeDirectory(shelf);
    writeFile(shelf + "a.updb", markedBook({u"甲乙丙", u"丁戊"}));
    writeFile(shelf + "b.updb", simpleBook(BookEncoding::UTF16LE, {u"甲乙丙", u"丁己"}));
    writeFile(shelf + "c.pdb", simpleBook(BookEncoding::CP950, {u"天地", u"玄黃"}));
    writeFile(shelf + "notes.txt", "甲乙丙丁戊");
    const struct {
        const char *name;
        std::string book;
        std::string expected;
    } cases[] = {
        {"OnlyTheMarksDiffer", simpleBook(BookEncoding::UTF16LE, {u"甲乙丙", u"丁戊"}), "a.updb"},
        {"SameSizesOtherText", simpleBook(BookEncoding::UTF16LE, {u"甲乙丙", u"丁庚"}), ""},
        {"OtherEncodingSameText", simpleBook(BookEncoding::UTF16LE, {u"天地", u"玄黃"}), "c.pdb"},
        {"OneSectionMore", simpleBook(BookEncoding::UTF16LE, {u"甲乙丙", u"丁戊", u"己"}), ""},
        {"OneSectionLess", simpleBook(BookEncoding::UTF16LE, {u"甲乙丙"}), ""},
        {"NotABook", std::string(100, 'x'), ""},
    };
    for (const auto &c : cases) {
        writeFile(dir.file("new.updb"), c.book);
        EXPECT_EQ(sameBookIn(systemFiles(), shelf, dir.file("new.updb")), c.expected) << c.name;
    }
    EXPECT_EQ(sameBookIn(systemFiles(), shelf, shelf + "a.updb"), "") << "a book is no copy of itself";
}

} // namespace
