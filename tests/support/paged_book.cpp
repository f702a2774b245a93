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
    s.clientWidth = kPagedPanelWidth;
    s.clientHeight = kPagedPanelHeight;
    s.verticalMargin = 16;
    s.horizontalMargin = 20;
    s.sizeStep = 1;
    s.baseFontSize = 14;
    s.barHeight = 16 + 14;
    s.leftThird = std::int16_t(s.clientWidth / 3 + 1);
    s.rightThird = std::int16_t(s.clientWidth - s.leftThird);
    s.halfWidth = std::int16_t(s.clientWidth / 2);
    s.halfHeight = std::int16_t(s.clientHeight / 2);
    s.menuBandTop = std::int16_t(s.clientHeight / 3);
    s.menuBandBottom = std::int16_t(s.clientHeight - s.clientHeight / 3 - s.barHeight);
    s.bottomBarTop = std::int16_t(s.clientHeight - s.barHeight);
    s.buttonRowTop = std::int16_t(s.bottomBarTop - s.barHeight);
    s.thirdRowTop = std::int16_t(s.buttonRowTop - s.barHeight);
    s.pageBandLabelTop = std::int16_t(s.menuBandBottom + (s.thirdRowTop - s.menuBandBottom - 16) / 2);
}

bool openPagedBook(Reader &r, const TempDir &dir, const std::vector<int> &pageCounts)
{
    BookSpec spec;
    spec.encoding = BookEncoding::UTF16LE;
    spec.title = u"翻頁測試";
    for (std::size_t k = 0; k < pageCounts.size(); ++k) {
        const int section = int(k) + 1;
        std::u16string text;
        for (int p = 1; p <= pageCounts[k]; ++p)
            text.append(std::size_t(kCellsPerPage), pageMark(section, p));
        spec.sectionTexts.push_back(text);
        spec.sectionTitles.push_back(u"第" + std::u16string(1, char16_t(u'0' + section % 10)) + u"節");
    }
    std::string bytes;
    if (!writeBookBytes(spec, bytes))
        return false;
    writeFile(dir.file("paged.updb"), bytes);

    ReaderState &s = r.s;
    s.shelfPath = dir.path();
    s.catalogue.clear();
    s.bookCount = 0;
    if (!addBook(r, "paged.updb"))
        return false;
    s.selectedBook = 0;
    if (!openBookFile(r))
        return false;
    s.sectionCount = s.catalogue[0].sectionCount;
    return loadContents(r);
}

void showPosition(Reader &r, int section, int page)
{
    r.s.currentSection = std::int16_t(section);
    loadSection(r);
    showPage(r, page);
}

char16_t shownMark(const ReaderState &s)
{
    if (s.pages.shownPageStart < 0 || s.pages.shownPageStart >= s.textLength ||
        std::size_t(s.pages.shownPageStart) >= s.sectionText.size())
        return 0;
    return s.sectionText[std::size_t(s.pages.shownPageStart)];
}

} // namespace pagora
