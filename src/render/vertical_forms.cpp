#include "render/vertical_forms.h"

#include "render/layout_walk.h"

#include <array>
#include <memory>
#include <vector>

namespace pagora {

namespace {

struct FormRow {
    char16_t u;
    char16_t encodedForm;
    char16_t glyph;
    bool turned;
    bool inkCentred;
};

// Worked out from ICU's character data when the reader is built: asking ICU
// here would load its normalisation and layout data (a megabyte and more)
// to draw the first page.
constexpr FormRow kRows[] = {
#include "render/vertical_forms_table.inc"
};

// Looked up for every cell of a page: two loads, no hashing. The few blocks
// that hold forms get a page of indexes into `forms`; 0 means none.
struct Table {
    std::vector<VerticalForm> forms = std::vector<VerticalForm>(1);
    std::array<std::unique_ptr<std::array<std::uint16_t, 256>>, 256> pages;

    void add(char16_t u, const VerticalForm &f)
    {
        auto &page = pages[u >> 8];
        if (!page)
            page = std::make_unique<std::array<std::uint16_t, 256>>();
        (*page)[u & 0xFF] = std::uint16_t(forms.size());
        forms.push_back(f);
    }
};

Table buildTable()
{
    Table t;
    for (const FormRow &row : kRows) {
        // The layout's own vertical stroke for "-" stays a vertical stroke.
        if (row.glyph == fullWidthMap[std::size_t(mappedIndex(u'-'))])
            continue;
        t.add(row.u, VerticalForm{row.encodedForm, row.glyph, row.turned, row.inkCentred});
    }
    return t;
}

} // namespace

const VerticalForm *verticalFormOf(char16_t u)
{
    static const Table table = buildTable();
    const auto &page = table.pages[u >> 8];
    const std::uint16_t index = page ? (*page)[u & 0xFF] : 0;
    return index ? &table.forms[index] : nullptr;
}

} // namespace pagora
