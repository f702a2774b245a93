#include "gui_app.h"
#include "paged_book.h"

#include "app/font_dialog.h"
#include "qt/qt_dialogs.h"
#include "render/primitives.h"

#include <QApplication>
#include <QFontDialog>
#include <QFontInfo>
#include <QTimer>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace pagora;

namespace {

// A paged book in the default face, shown at section 2, page 5.
bool showPagedBook(Reader &r, const TempDir &dir, int sizeStep, int base)
{
    setPagedPanel(r.state);
    r.state.look.fontName = "新細明體";
    r.state.look.setSizeStep(std::int16_t(sizeStep));
    r.state.look.baseFontSize = std::int16_t(base);
    remakeInterfaceFont(r);
    remakeReadingFont(r);
    if (!openPagedBook(r, dir, {4, 9}))
        return false;
    showPosition(r, 2, 5);
    return true;
}

std::vector<std::int32_t> shownStarts(const ReaderState &s)
{
    std::vector<std::int32_t> starts(std::size_t(s.book.pages.pageCount()) + 2);
    for (std::size_t p = 1; p < starts.size(); ++p)
        starts[p] = s.book.pages.start(int(p));
    return starts;
}

struct FontDialogCase {
    const char *name;
    int sizeStep, baseFontSize;
    std::optional<ScriptedDialogs::FontAnswer> answer; // nullopt: cancelled
    bool confirmed;
    const char *face; // fontName afterwards
    int base;         // baseFontSize afterwards
    bool repaginated;
};

class FontDialog : public ::testing::TestWithParam<FontDialogCase> {};

TEST_P(FontDialog, TurnsTheAnswerIntoFaceAndBaseSize)
{
    const FontDialogCase &c = GetParam();
    TempDir dir;
    TestReader t;
    ReaderState &s = t.r.state;
    ASSERT_TRUE(showPagedBook(t.r, dir, c.sizeStep, c.baseFontSize));
    const std::vector<std::int32_t> startsBefore = shownStarts(s);
    const int pagesBefore = s.book.pages.pageCount();
    const std::int32_t shownBefore = s.book.pages.shownPageStart();
    const std::size_t fontsBefore = t.surface.fonts.size();
    const int cell = 2 * c.sizeStep + c.baseFontSize;
    t.dialogs.fontAnswers.push_back(c.answer);

    EXPECT_EQ(chooseReadingFont(t.r), c.confirmed);

    // Preset with the face and the character height of the reading font.
    ASSERT_EQ(t.dialogs.fontPresets.size(), 1u);
    EXPECT_EQ(t.dialogs.fontPresets[0], std::make_pair(std::string("新細明體"), cell));
    EXPECT_EQ(s.look.fontName, c.face);
    EXPECT_EQ(s.look.baseFontSize, c.base);
    EXPECT_EQ(s.look.sizeStep(), c.sizeStep) << "the menu's size step is kept apart";
    if (!c.confirmed) {
        EXPECT_EQ(t.surface.fonts.size(), fontsBefore) << "a cancelled dialog re-created a font";
        EXPECT_EQ(s.book.pages.shownPageStart(), shownBefore);
        return;
    }
    // The reading font now in use has the chosen face and the new cell.
    ASSERT_GT(t.surface.fonts.size(), fontsBefore);
    const FontRequest &font = t.surface.fonts[std::size_t(t.r.fonts.readingFont)];
    EXPECT_EQ(font.face, c.face);
    EXPECT_EQ(font.height, 2 * c.sizeStep + c.base);
    if (c.repaginated) {
        EXPECT_NE(s.book.pages.pageCount(), pagesBefore);
        // Still at the old first character (a page that ends exactly there
        // counts), shown from the start of its page.
        EXPECT_LE(s.book.pages.start(std::size_t(s.book.pages.currentPage())), shownBefore);
        EXPECT_GE(s.book.pages.start(std::size_t(s.book.pages.currentPage()) + 1), shownBefore);
        EXPECT_EQ(s.book.pages.shownPageStart(), s.book.pages.start(std::size_t(s.book.pages.currentPage())));
    } else {
        EXPECT_EQ(shownStarts(s), startsBefore);
        EXPECT_EQ(s.book.pages.currentPage(), 5);
        EXPECT_EQ(s.book.pages.shownPageStart(), shownBefore);
    }
}

using Answer = ScriptedDialogs::FontAnswer;

INSTANTIATE_TEST_SUITE_P(
    Answers, FontDialog,
    ::testing::Values(
        FontDialogCase{"TwentyPixelsAtStepTwo", 2, 14, Answer{"新細明體", 20}, true, "新細明體", 16, true},
        FontDialogCase{"SmallerThanAllowed", 2, 14, Answer{"新細明體", 10}, true, "新細明體", 8, true},
        FontDialogCase{"SameSizeOtherFace", 1, 14, Answer{"AR PL UMing TW", 16}, true, "AR PL UMing TW", 14, false},
        // The cell changes but the base is already at its floor: only the face
        // is re-created.
        FontDialogCase{"BelowTheFloorAgain", 2, 8, Answer{"Noto Serif CJK TC", 9}, true, "Noto Serif CJK TC", 8, false},
        FontDialogCase{"LargerThanTheSettingsAccept", 1, 14, Answer{"新細明體", 82}, true, "新細明體", 80, true},
        FontDialogCase{"Cancelled", 2, 14, std::nullopt, false, "新細明體", 14, false}),
    [](const ::testing::TestParamInfo<FontDialogCase> &info) { return std::string(info.param.name); });

// The real dialog, answered from inside its own event loop: OK takes only
// what was changed there.
enum class Touch { Nothing, Size, Face };

struct RealDialogCase {
    const char *name;
    int sizeStep;
    Touch touch;
    const char *face; // fontName afterwards
    int base;         // baseFontSize afterwards
};

class RealFontDialog : public ::testing::TestWithParam<RealDialogCase> {};

TEST_P(RealFontDialog, OkTakesOnlyWhatWasChanged)
{
    const RealDialogCase &c = GetParam();
    ensureGuiApp();
    TempDir dir;
    TestReader t;
    ReaderState &s = t.r.state;
    QtDialogs dialogs(nullptr);
    t.r.services.dialogs = &dialogs;
    ASSERT_TRUE(showPagedBook(t.r, dir, c.sizeStep, 14));
    const std::vector<std::int32_t> startsBefore = shownStarts(s);
    const std::int32_t shownBefore = s.book.pages.shownPageStart();

    QString openedOn;
    QTimer answer;
    answer.setInterval(10);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto *d = qobject_cast<QFontDialog *>(QApplication::activeModalWidget());
        if (!d)
            return;
        answer.stop();
        QFont f = d->currentFont();
        openedOn = f.family();
        if (c.touch == Touch::Size)
            f.setPointSize(20);
        else if (c.touch == Touch::Face)
            f.setFamily(QStringLiteral("Noto Serif CJK TC"));
        d->setCurrentFont(f);
        d->accept();
    });
    answer.start();

    EXPECT_TRUE(chooseReadingFont(t.r));
    EXPECT_EQ(openedOn.toStdString(), QFontInfo(QFont(QStringLiteral("新細明體"))).family().toStdString())
        << "the dialog opens on the face the page is drawn with";
    EXPECT_EQ(s.look.fontName, c.face);
    EXPECT_EQ(s.look.baseFontSize, c.base);
    if (c.base == 14) {
        EXPECT_EQ(shownStarts(s), startsBefore);
        EXPECT_EQ(s.book.pages.shownPageStart(), shownBefore);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, RealFontDialog,
    ::testing::Values(RealDialogCase{"UntouchedWholePoints", 1, Touch::Nothing, "新細明體", 14},
                      RealDialogCase{"UntouchedStepTwo", 2, Touch::Nothing, "新細明體", 14},
                      RealDialogCase{"UntouchedStepFour", 4, Touch::Nothing, "新細明體", 14},
                      RealDialogCase{"UntouchedStepSix", 6, Touch::Nothing, "新細明體", 14},
                      RealDialogCase{"UntouchedStepEight", 8, Touch::Nothing, "新細明體", 14},
                      // 20 pt is 26.7 px: a cell of 27 over a step of 2.
                      RealDialogCase{"TwentyPoints", 2, Touch::Size, "新細明體", 23},
                      RealDialogCase{"OtherFaceSameSize", 2, Touch::Face, "Noto Serif CJK TC", 14}),
    [](const ::testing::TestParamInfo<RealDialogCase> &info) { return std::string(info.param.name); });

} // namespace
