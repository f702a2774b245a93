// The note editor and the save dialog through the real Qt widgets, answered
// as a person would.
#include "gui_app.h"
#include "test_platform.h"

#include "qt/qt_dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace pagora;

namespace {

struct EditorCase {
    const char *name;
    bool ok;
    std::u16string typed;
    bool result;
    std::u16string note;
};

class NoteEditor : public ::testing::TestWithParam<EditorCase> {};

TEST_P(NoteEditor, OkKeepsWhatWasWrittenCancelKeepsTheNote)
{
    const EditorCase &c = GetParam();
    ensureGuiApp();
    QtDialogs dialogs(nullptr);
    QString preset;
    QTimer answer;
    answer.setInterval(10);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!d || d->objectName() != QStringLiteral("noteEditor"))
            return;
        answer.stop();
        auto *editor = d->findChild<QPlainTextEdit *>();
        preset = editor->toPlainText();
        editor->setPlainText(QString::fromStdU16String(c.typed));
        auto *buttons = d->findChild<QDialogButtonBox *>();
        buttons->button(c.ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    });
    answer.start();
    std::u16string note = u"舊的附註";
    EXPECT_EQ(dialogs.editNote(u"修改附註", u"天地玄黃", note), c.result);
    EXPECT_EQ(preset, QStringLiteral("舊的附註"));
    EXPECT_EQ(note, c.note);
}

INSTANTIATE_TEST_SUITE_P(Answers, NoteEditor,
                         ::testing::Values(EditorCase{"Ok", true, u"新的\n兩行", true, u"新的\n兩行"},
                                           EditorCase{"OkEmptied", true, u"", true, u""},
                                           EditorCase{"Cancel", false, u"不要", false, u"舊的附註"}),
                         [](const ::testing::TestParamInfo<EditorCase> &info) { return std::string(info.param.name); });

} // namespace

namespace {

// The save dialog answers with the path chosen in it, and nothing on cancel.
TEST(SaveDialog, AnswersThePathChosen)
{
    ensureGuiApp();
    TempDir dir;
    QtDialogs dialogs(nullptr);
    for (const bool ok : {true, false}) {
        QTimer answer;
        answer.setInterval(10);
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!d)
                return;
            answer.stop();
            if (!ok) {
                d->reject();
                return;
            }
            d->selectFile(QString::fromStdString(dir.file("附註.md")));
            static_cast<QDialog *>(d)->accept();
        });
        answer.start();
        const std::string chosen = dialogs.chooseSaveFile(u"匯出附註", dir.file("書.md"));
        EXPECT_EQ(chosen, ok ? dir.file("附註.md") : std::string()) << ok;
    }
}

} // namespace
