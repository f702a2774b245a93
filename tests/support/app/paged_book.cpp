#include "paged_book.h"

#include "app/navigation.h"
#include "book/book_writer.h"
#include "book/section_loader.h"

namespace pagora {

char16_t pageMark(int section, int page)
{
    return char16_t(0x4E00 + section * 128 + page);
}

void setPagedPanel(ReaderState &s)
{
    s.window.clientWidth = kPagedPanelWidth;
    s.window.clientHeight = kPagedPanelHeight;
    s.window.verticalMargin = 16;
    s.window.horizontalMargin = 20;
    s.look.setSizeStep(1);
    s.look.baseFontSize = 14;
    s.layout.barHeight = 16 + 14;
    s.layout.leftThird = std::int16_t(s.window.clientWidth / 3 + 1);
    s.layout.rightThird = std::int16_t(s.window.clientWidth - s.layout.leftThird);
    s.layout.halfWidth = std::int16_t(s.window.clientWidth / 2);
    s.layout.halfHeight = std::int16_t(s.window.clientHeight / 2);
    s.layout.menuBandTop = std::int16_t(s.window.clientHeight / 3);
    s.layout.menuBandBottom = std::int16_t(s.window.clientHeight - s.window.clientHeight / 3 - s.layout.barHeight);
    s.layout.bottomBarTop = std::int16_t(s.window.clientHeight - s.layout.barHeight);
    s.layout.buttonRowTop = std::int16_t(s.layout.bottomBarTop - s.layout.barHeight);
    s.layout.thirdRowTop = std::int16_t(s.layout.buttonRowTop - s.layout.barHeight);
    s.layout.pageBandLabelTop =
        std::int16_t(s.layout.menuBandBottom + (s.layout.thirdRowTop - s.layout.menuBandBottom - 16) / 2);
}

bool openPagedBook(Reader &r, const TempDir &dir, const std::vector<int> &pageCounts)
{
    std::vector<std::u16string> texts;
    for (std::size_t k = 0; k < pageCounts.size(); ++k) {
        std::u16string &text = texts.emplace_back();
        for (int p = 1; p <= pageCounts[k]; ++p)
            text.append(std::size_t(kCellsPerPage), pageMark(int(k) + 1, p));
    }
    return openBookOfTexts(r, dir, texts);
}

bool openBookOfTexts(Reader &r, const TempDir &dir, const std::vector<std::u16string> &texts)
{
    BookRecipe spec;
    spec.encoding = BookEncoding::UTF16LE;
    spec.title = u"翻頁測試";
    for (std::size_t k = 0; k < texts.size(); ++k) {
        const int section = int(k) + 1;
        spec.sectionTexts.push_back(texts[k]);
        spec.sectionTitles.push_back(u"第" + std::u16string(1, char16_t(u'0' + section % 10)) + u"節");
    }
    std::string bytes;
    if (!writeBookBytes(spec, bytes))
        return false;
    writeFile(dir.file("paged.updb"), bytes);
    return openPagedFile(r, dir);
}

bool openPagedFile(Reader &r, const TempDir &dir)
{
    ReaderState &s = r.state;
    s.shelf.shelfPath = dir.path();
    s.shelf.clearCatalogue();
    if (!addBook(*r.services.files, r.state.shelf, "paged.updb"))
        return false;
    s.shelf.select(0);
    if (!openBookFile(*r.services.files, r.state.shelf, r.state.book))
        return false;
    s.book.sectionCount = s.shelf.catalogue()[0].sectionCount;
    return loadContents(r.state.book, r.state.shelf.selectedEntry());
}

void showPosition(Reader &r, int section, int page)
{
    r.state.book.currentSection = std::int16_t(section);
    loadSection(r);
    showPage(r, page);
}

char16_t shownMark(const ReaderState &s)
{
    if (s.book.pages.shownPageStart() < 0 || s.book.pages.shownPageStart() >= s.book.textLength() ||
        std::size_t(s.book.pages.shownPageStart()) >= s.book.sectionText().size())
        return 0;
    return s.book.sectionText()[std::size_t(s.book.pages.shownPageStart())];
}

} // namespace pagora
