#include "state/reader_state.h"

#include <gtest/gtest.h>

namespace pagora {
namespace {

// Three pages starting at 0, 10 and 25 of a text 40 units long.
PageTable threePages()
{
    return PageTable({0, 0, 10, 25, 40}, 3);
}

TEST(PageTable, StartsAndThePageHoldingAnOffset)
{
    const PageTable t = threePages();
    struct Row {
        int page;
        std::int32_t start;
    };
    // Entry 0 and everything outside the table read as 0; the end is entry 4.
    for (const Row &r : {Row{-1, 0}, Row{0, 0}, Row{1, 0}, Row{2, 10}, Row{3, 25}, Row{4, 40}, Row{5, 0}, Row{999, 0}})
        EXPECT_EQ(t.start(r.page), r.start) << "page " << r.page;
    struct Holding {
        std::int32_t offset;
        int page;
    };
    for (const Holding &h : {Holding{-5, 1}, Holding{0, 1}, Holding{9, 1}, Holding{10, 2}, Holding{24, 2},
                             Holding{25, 3}, Holding{40, 3}, Holding{1000, 3}})
        EXPECT_EQ(t.pageHolding(h.offset), h.page) << "offset " << h.offset;
}

TEST(PageTable, CurrentAndShownPage)
{
    struct Row {
        const char *name;
        PageTable table;
        int turnTo;
        int shownPage;
    };
    const Row rows[] = {
        {"below the first", threePages(), 0, 1},
        {"inside", threePages(), 2, 2},
        {"past the last", threePages(), 7, 3},
        {"no pages", PageTable(), 5, 1},
    };
    for (const Row &r : rows) {
        PageTable t = r.table;
        t.turnTo(r.turnTo);
        EXPECT_EQ(t.currentPage(), r.turnTo) << r.name;
        EXPECT_EQ(t.shownPage(), r.shownPage) << r.name;
        EXPECT_EQ(t.shownPageStart(), -1) << r.name << ": turning draws nothing yet";
    }
}

TEST(PageTable, ShowRepaginateAndClear)
{
    PageTable t = threePages();
    EXPECT_EQ(t.pageCount(), 3);
    EXPECT_EQ(t.currentPage(), 3) << "a walk leaves the last page current";
    t.show(2);
    EXPECT_EQ(t.currentPage(), 2);
    EXPECT_EQ(t.shownPageStart(), 10);

    // New boundaries: the page on screen stays drawn from where it was.
    t.repaginate(PageTable({0, 0, 30, 40}, 2));
    EXPECT_EQ(t.pageCount(), 2);
    EXPECT_EQ(t.currentPage(), 2);
    EXPECT_EQ(t.shownPageStart(), 10);
    EXPECT_EQ(t.pageHolding(10), 1);

    PageTable grown(std::vector<std::int32_t>(456, 9), 454);
    grown.show(3);
    grown.clear();
    EXPECT_EQ(grown.pageCount(), 0);
    EXPECT_EQ(grown.currentPage(), 0);
    EXPECT_EQ(grown.shownPageStart(), -1);
    EXPECT_EQ(grown.capacity(), 456u) << "the room it has grown to stays";
    EXPECT_EQ(grown.start(300), 0);
}

} // namespace
} // namespace pagora
