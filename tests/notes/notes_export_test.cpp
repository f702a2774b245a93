#include "notes/notes_export.h"
#include "text/codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

using namespace pagora;

namespace {

std::vector<std::string> linesOf(const std::string &text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "the export ends with a line break";
    return lines;
}

// What a Markdown reader would take as the start of a block.
bool opensABlock(const std::string &text)
{
    if (text.empty())
        return false;
    if (std::string_view("#-+*=>|~`_< \t").find(text[0]) != std::string_view::npos)
        return true;
    const std::size_t digits = text.find_first_not_of("0123456789");
    return digits > 0 && digits != std::string::npos && (text[digits] == '.' || text[digits] == ')');
}

// Titles, passages and notes that try to become Markdown or HTML: the export
// keeps the headings it makes and quotes everything else, line by line.
TEST(NotesExport, NothingInATitlePassageOrNoteBecomesMarkup)
{
    struct Hostile {
        const char *quote; // the marked passage
        const char *note;
    };
    const Hostile rows[] = {
        {"```", "```\n# 假標題\n後面的附註都在程式碼裡"},
        {"<script>alert(1)</script>", "<b>粗</b> & <!-- 註解"},
        {"# 也像標題", "- 項目\n+ 項目\n* 項目\n1. 編號\n2) 編號\n> 引文\n| 表 | 格 |"},
        {"甲\n===", "乙\n---\n~~~\n    縮排成程式碼\n\t定位字元\n[連結](javascript:x)"},
        {"\x01控制\x7f字元", "尾端反斜線\\\n`單`與``雙``反引號\r\n結束"},
    };
    std::vector<StoredMark> marks;
    std::size_t quoteLines = 0;
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        StoredMark m;
        m.anchor.section = int(i % 2) + 1;
        m.anchor.quote = utf8ToUtf16(rows[i].quote);
        m.note = rows[i].note;
        marks.push_back(m);
        quoteLines += std::size_t(std::count(m.note.begin(), m.note.end(), '\n')) + 1 +
                      std::size_t(std::count(rows[i].quote, rows[i].quote + std::strlen(rows[i].quote), '\n')) + 1;
    }
    std::stable_sort(marks.begin(), marks.end(),
                     [](const StoredMark &a, const StoredMark &b) { return a.anchor.section < b.anchor.section; });
    marks.back().detached = true;

    const std::string out = notesMarkdown(u"書\n# 名<i>`", {u"``` 第一\r\n節", u"## 第二 #"}, marks);
    const std::set<std::string> expected = {"# 書 \\# 名&lt;i&gt;\\`", "## \\`\\`\\` 第一  節", "## \\#\\# 第二 \\#",
                                            "## 找不到原文的畫線"};
    std::set<std::string> headings;
    std::size_t quoted = 0;
    for (const std::string &line : linesOf(out)) {
        EXPECT_EQ(line.find('<'), std::string::npos) << line;
        for (std::size_t i = line.find('`'); i != std::string::npos; i = line.find('`', i + 1))
            EXPECT_TRUE(i > 0 && line[i - 1] == '\\') << "a bare backtick: " << line;
        EXPECT_FALSE(std::any_of(line.begin(), line.end(), [](char c) { return (unsigned char)c < 0x20 && c != '\t'; }))
            << line;
        if (line.empty())
            continue;
        if (line[0] == '#') {
            headings.insert(line);
            continue;
        }
        ASSERT_EQ(line[0], '>') << "outside any quotation: " << line;
        ++quoted;
        EXPECT_TRUE(line == ">" || (line[1] == ' ' && !opensABlock(line.substr(2)))) << line;
    }
    EXPECT_EQ(headings, expected);
    EXPECT_EQ(quoted, quoteLines) << out;
}

} // namespace
