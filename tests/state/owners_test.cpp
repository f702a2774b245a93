#include "state/reader_state.h"

#include <gtest/gtest.h>

namespace pagora {
namespace {

// Whatever the shelf is asked, its selected and open book are entries or none.
TEST(Shelf, SelectionAndOpenBookStayInTheCatalogue)
{
    struct Row {
        const char *name;
        int books, select, remove; // remove: how many times the selected one goes
        int selected, open;
    };
    const Row rows[] = {
        {"empty shelf selects none", 0, 0, 0, -1, -1},
        {"past the end selects none", 3, 3, 0, -1, -1},
        {"below -1 selects none", 3, -7, 0, -1, -1},
        {"a middle book", 3, 1, 0, 1, 1},
        {"removed: the next takes its place", 3, 1, 1, 1, -1},
        {"removed last: the one before", 3, 2, 1, 1, -1},
        {"the only one removed: none", 1, 0, 1, -1, -1},
        {"removing with none selected keeps all", 2, -1, 1, -1, -1},
    };
    for (const Row &r : rows) {
        Shelf shelf;
        for (int i = 0; i < r.books; ++i)
            ASSERT_TRUE(shelf.addEntry(BookEntry{}));
        shelf.select(r.select);
        shelf.setOpenBook(shelf.selectedBook());
        for (int i = 0; i < r.remove; ++i)
            shelf.removeSelected();
        EXPECT_EQ(shelf.selectedBook(), r.selected) << r.name;
        EXPECT_EQ(shelf.openBook(), r.open) << r.name;
        EXPECT_EQ(shelf.selectedEntry() != nullptr, r.selected >= 0) << r.name;
        EXPECT_EQ(shelf.bookCount(), r.books - (r.select >= 0 && r.select < r.books ? r.remove : 0)) << r.name;
    }
    Shelf full;
    for (int i = 0; i < INT16_MAX; ++i)
        full.addEntry(BookEntry{});
    EXPECT_FALSE(full.addEntry(BookEntry{})); // a count past 16 bits would wrap
    full.select(INT16_MAX - 1);
    full.clearCatalogue();
    EXPECT_EQ(full.selectedBook(), -1);
}

// A scheme, background or step out of range is taken as the default.
TEST(Appearance, ChoicesStayInRange)
{
    Appearance look;
    look.setColours(5, 0);
    look.setSizeStep(12);
    EXPECT_EQ(look.textScheme(), 1);
    EXPECT_EQ(look.backgroundChoice(), 2);
    EXPECT_EQ(look.sizeStep(), 1);
    look.setColours(2, 9);
    EXPECT_EQ(look.readingColour(), computeReadingColour(2, 9));
}

} // namespace
} // namespace pagora
