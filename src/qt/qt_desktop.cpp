#include "qt/qt_desktop.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>

namespace pagora {

namespace {

QString toQString(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

} // namespace

void QtDesktop::copyToClipboard(std::u16string_view text)
{
    QGuiApplication::clipboard()->setText(toQString(text), QClipboard::Clipboard);
}

void QtDesktop::setPrimarySelection(std::u16string_view text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard->supportsSelection())
        return;
    if (!text.empty())
        clipboard->setText(toQString(text), QClipboard::Selection);
    else if (clipboard->ownsSelection())
        clipboard->clear(QClipboard::Selection);
}

void QtDesktop::findDictionary()
{
    // Looked for once, when a menu first asks: never at start-up.
    m_searched = true;
    struct Candidate {
        const char *program;
        QStringList arguments; // before the word
    };
    const Candidate candidates[] = {
        {"goldendict", {}},
        {"gnome-dictionary", {QStringLiteral("--look-up")}},
        {"mate-dictionary", {QStringLiteral("--look-up")}},
    };
    for (const Candidate &c : candidates) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(c.program));
        if (!path.isEmpty()) {
            m_program = path;
            m_arguments = c.arguments;
            return;
        }
    }
}

bool QtDesktop::hasDictionary()
{
    if (!m_searched)
        findDictionary();
    return !m_program.isEmpty();
}

bool QtDesktop::openDictionary(std::u16string_view word)
{
    if (!hasDictionary())
        return false;
    return QProcess::startDetached(m_program, m_arguments + QStringList{toQString(word)});
}

} // namespace pagora
