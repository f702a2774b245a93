#include "qt/qt_dialogs.h"

#include "qt/qt_surface.h"
#include "state/interface_texts.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTranslator>
#include <QVBoxLayout>

#include <cmath>

namespace pagora {

namespace {

QString toQString(std::u16string_view s)
{
    return QString(reinterpret_cast<const QChar *>(s.data()), qsizetype(s.size()));
}

QString caption()
{
    return toQString(texts::caption);
}

} // namespace

void QtDialogs::showMessage(std::u16string_view text)
{
    QMessageBox box(QMessageBox::NoIcon, caption(), toQString(text), QMessageBox::Ok, m_parent);
    box.exec();
}

bool QtDialogs::askYesNo(std::u16string_view text)
{
    QMessageBox box(QMessageBox::Question, caption(), toQString(text), QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

Dialogs::Answer QtDialogs::askEitherOr(std::u16string_view text, std::u16string_view first, std::u16string_view second)
{
    QMessageBox box(QMessageBox::Question, caption(), toQString(text), QMessageBox::NoButton, m_parent);
    QPushButton *firstButton = box.addButton(toQString(first), QMessageBox::AcceptRole);
    QPushButton *secondButton = box.addButton(toQString(second), QMessageBox::ActionRole);
    // Esc and the window's close press this one: neither answer was given.
    QPushButton *cancelButton = box.addButton(toQString(texts::cancel), QMessageBox::RejectRole);
    box.setDefaultButton(firstButton);
    box.setEscapeButton(cancelButton);
    box.exec();
    if (box.clickedButton() == firstButton)
        return Answer::First;
    return box.clickedButton() == secondButton ? Answer::Second : Answer::Neither;
}

int QtDialogs::askOneOfThree(std::u16string_view text, std::u16string_view first, std::u16string_view second,
                             std::u16string_view third)
{
    QMessageBox box(QMessageBox::Question, caption(), toQString(text), QMessageBox::NoButton, m_parent);
    QPushButton *firstButton = box.addButton(toQString(first), QMessageBox::YesRole);
    QPushButton *secondButton = box.addButton(toQString(second), QMessageBox::NoRole);
    QPushButton *thirdButton = box.addButton(toQString(third), QMessageBox::RejectRole);
    box.setDefaultButton(firstButton);
    box.setEscapeButton(thirdButton);
    box.exec();
    return box.clickedButton() == firstButton ? 0 : box.clickedButton() == secondButton ? 1 : 2;
}

bool QtDialogs::chooseFont(std::string &face, int &height)
{
    // Open on the face the reader draws with: a name that exists only through
    // a substitution ("新細明體") would open on some unrelated default face.
    QtSurface::registerFontSubstitutions();
    QFont initial(QFontInfo(QFont(QString::fromStdString(face))).family());
    // The dialog works in points; the reader in pixels at 96 per inch.
    initial.setPointSizeF(height * 72.0 / 96.0);
    QFontDialog dialog(m_parent);
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    dialog.setCurrentFont(initial);
    // What the dialog shows: whole points, so a cell that is not a multiple
    // of 4 px shows rounded. Only what the user changed there is taken.
    const QFont shown = dialog.currentFont();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QFont chosen = dialog.selectedFont();
    if (chosen.family() != shown.family())
        face = chosen.family().toStdString();
    if (chosen.pixelSize() > 0)
        height = chosen.pixelSize();
    else if (!qFuzzyCompare(chosen.pointSizeF(), shown.pointSizeF()))
        height = int(std::lround(chosen.pointSizeF() * 96.0 / 72.0));
    return true;
}

bool QtDialogs::chooseFolder(std::u16string_view caption, std::string &folder)
{
    QString dir = QFileDialog::getExistingDirectory(m_parent, toQString(caption), QString::fromStdString(folder),
                                                    QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (dir.isEmpty())
        return false;
    folder = dir.toStdString();
    return true;
}

std::vector<std::string> QtDialogs::chooseFilesToOpen()
{
    const QString start = m_openFolder.empty() ? QDir::homePath() : QString::fromStdString(m_openFolder);
    const QStringList chosen =
        QFileDialog::getOpenFileNames(m_parent, toQString(texts::openFilesCaption), start,
                                      toQString(texts::openFilesFilter), nullptr, QFileDialog::DontUseNativeDialog);
    std::vector<std::string> paths;
    for (const QString &path : chosen)
        paths.push_back(path.toStdString());
    if (!chosen.isEmpty())
        m_openFolder = QFileInfo(chosen.front()).absolutePath().toStdString();
    return paths;
}

bool QtDialogs::editNote(std::u16string_view title, std::u16string_view passage, std::u16string &note)
{
    QDialog dialog(m_parent);
    dialog.setObjectName(QStringLiteral("noteEditor"));
    dialog.setWindowTitle(toQString(title) + QStringLiteral(" - ") + caption());
    auto *layout = new QVBoxLayout(&dialog);
    // A long passage shows its beginning: the editor must stay on the screen.
    constexpr qsizetype kPassageShown = 120;
    QString shown = toQString(passage).simplified();
    if (shown.size() > kPassageShown)
        shown = shown.left(kPassageShown) + QChar(0x2026);
    auto *quote = new QLabel(shown, &dialog);
    quote->setWordWrap(true);
    layout->addWidget(quote);
    auto *editor = new QPlainTextEdit(&dialog);
    editor->setPlainText(toQString(note));
    editor->setTabChangesFocus(true);
    layout->addWidget(editor);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(420, 260);
    editor->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QString text = editor->toPlainText();
    note.assign(reinterpret_cast<const char16_t *>(text.utf16()), std::size_t(text.size()));
    return true;
}

std::string QtDialogs::chooseSaveFile(std::u16string_view title, const std::string &suggested)
{
    QString start = QString::fromStdString(suggested);
    if (!suggested.empty() && suggested.find('/') == std::string::npos) {
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        start = QDir(QDir(documents).exists() ? documents : QDir::homePath()).filePath(start);
    }
    return QFileDialog::getSaveFileName(m_parent, toQString(title), start, QStringLiteral("Markdown (*.md)"), nullptr,
                                        QFileDialog::DontUseNativeDialog)
        .toStdString();
}

void QtDialogs::loadQtTranslations()
{
    // A .qm file is mapped, not read: this costs next to nothing at start.
    static bool loaded = false;
    if (loaded)
        return;
    loaded = true;
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_zh_TW"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace pagora
