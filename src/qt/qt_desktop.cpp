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

QStringList dictionaryArguments(const QString &lookUpOption, const QString &word)
{
    if (!lookUpOption.isEmpty())
        return {lookUpOption + QLatin1Char('=') + word};
    // A program that takes the word alone has no sure end of its options
    // (its toolkit reads some of its own): the dashes go.
    qsizetype dashes = 0;
    while (dashes < word.size() && word[dashes] == QLatin1Char('-'))
        ++dashes;
    if (dashes == word.size())
        return {};
    return {word.mid(dashes)};
}

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
        const char *lookUpOption; // "": the word alone
    };
    const Candidate candidates[] = {
        {"goldendict", ""},
        {"gnome-dictionary", "--look-up"},
        {"mate-dictionary", "--look-up"},
    };
    for (const Candidate &c : candidates) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(c.program));
        if (!path.isEmpty()) {
            m_program = path;
            m_lookUpOption = QString::fromLatin1(c.lookUpOption);
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
    const QStringList arguments = dictionaryArguments(m_lookUpOption, toQString(word));
    return !arguments.isEmpty() && QProcess::startDetached(m_program, arguments);
}

} // namespace pagora
