// The pages of the shelf's book list and of the contents: followed from the
// first page they tile the list, each page's next start is the first entry
// it does not show, and a stale start falls back to a page that exists.
#include "screens/help_contents.h"
#include "screens/shelf_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace pagora;

namespace {

struct ListCase {
    int count;
    int pageSize; // 16: the contents, whose entries count from 1
};

// A page as both lists have it, entries from 0.
struct Page {
    int first, next, prev; // next: -1 when none, prev: -1 when none
};

Page pageOf(const ListCase &c, int start)
{
    if (c.pageSize != 16) {
        const BookListPage p = bookListPage(c.count, c.pageSize, start);
        return {p.first, p.next == 0 ? -1 : p.next, p.prev};
    }
    // The contents start at 1 and fall back to the page of section 1.
    const ContentsPage p = contentsPage(c.count, 1, start + 1);
    return {p.first - 1, p.next == 0 ? -1 : p.next - 1, p.prev == 0 ? -1 : p.prev - 1};
}

TEST(ListPages, FollowedFromTheFirstTheyTileTheList)
{
    for (const ListCase c :
         {ListCase{0, 32}, ListCase{1, 32}, ListCase{32, 32}, ListCase{33, 32}, ListCase{48, 48}, ListCase{49, 48},
          ListCase{100, 48}, ListCase{1, 16}, ListCase{16, 16}, ListCase{17, 16}, ListCase{40, 16}}) {
        SCOPED_TRACE(testing::Message() << c.count << " entries, " << c.pageSize << " a page");
        std::vector<int> shown(std::size_t(c.count), 0);
        Page page = pageOf(c, 0);
        EXPECT_EQ(page.first, 0);
        EXPECT_EQ(page.prev, -1);
        for (int pages = 0; pages <= c.count; ++pages) {
            const int end = std::min(c.count, page.first + c.pageSize);
            for (int i = page.first; i < end; ++i)
                ++shown[std::size_t(i)];
            if (page.next < 0) {
                EXPECT_EQ(end, c.count) << "the last page reaches the end";
                break;
            }
            EXPECT_EQ(page.next, end) << "the next page starts at the first entry not shown";
            const Page following = pageOf(c, page.next);
            EXPECT_EQ(following.first, page.next);
            EXPECT_EQ(following.prev, page.first);
            page = following;
        }
        EXPECT_TRUE(std::all_of(shown.begin(), shown.end(), [](int n) { return n == 1; }));
        // A start past the end (left over from a longer list) shows the first page.
        EXPECT_EQ(pageOf(c, c.count + 5).first, 0);
    }
}

} // namespace
