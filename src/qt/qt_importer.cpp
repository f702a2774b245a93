#include "qt/qt_importer.h"

#include "platform/files.h"
#include "state/interface_texts.h"
#include "text/codec.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <csignal>
#include <cstdlib>
#include <string_view>
#include <sys/resource.h>

namespace pagora {

namespace {

QString toQString(std::u16string_view s)
{
    return QString(reinterpret_cast<const QChar *>(s.data()), qsizetype(s.size()));
}

constexpr int kSteps = 1000;
// Far beyond any real book: what runs longer is caught in a loop.
constexpr int kDefaultSeconds = 600;
constexpr rlim_t kMemoryCap = rlim_t(2) << 30;

// The importer installed beside the reader (or built beside it). Tests name
// a stand-in.
QString importerProgram()
{
    const QByteArray stand = qgetenv("PAGORA_TEST_IMPORTER");
    if (!stand.isEmpty())
        return QString::fromLocal8Bit(stand);
    return QCoreApplication::applicationDirPath() + QStringLiteral("/pagora-book");
}

int timeLimitSeconds()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("PAGORA_TEST_IMPORT_SECONDS", &ok);
    return ok && seconds > 0 ? seconds : kDefaultSeconds;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kCapMemory = false; // the sanitizer reserves terabytes of address space
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kCapMemory = false;
#else
constexpr bool kCapMemory = true;
#endif
#else
constexpr bool kCapMemory = true;
#endif

// Runs in the child between fork and exec: only async-signal-safe calls.
void limitChild()
{
    if (kCapMemory) {
        const rlimit memory{kMemoryCap, kMemoryCap};
        ::setrlimit(RLIMIT_AS, &memory);
    }
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
}

std::u16string_view faultReason(const std::string &fault)
{
    static const std::pair<std::string_view, std::u16string_view> reasons[] = {
        {"not-a-file", texts::importNotAFile},
        {"unreadable", texts::importUnreadable},
        {"too-large", texts::importTooLarge},
        {"changed", texts::importChanged},
        {"empty", texts::importEmpty},
        {"not-text", texts::importNotText},
        {"unknown-encoding", texts::importUnknownEncoding},
        {"invalid-text", texts::importInvalidText},
        {"not-an-epub", texts::importNotAnEpub},
        {"damaged-epub", texts::importDamagedEpub},
        {"entities", texts::importEntities},
        {"drm", texts::importDrm},
        {"no-converter", texts::importNoConverter},
        {"cannot-write", texts::cannotWrite},
        {"no-memory", texts::importNoMemory},
        {"not-importable", texts::unsupportedFile},
    };
    for (const auto &[name, reason] : reasons) {
        if (fault == name)
            return reason;
    }
    return texts::importFailed;
}

// Keeps mouse, key and drop events from every window but the progress
// dialog while a child runs, from its first moment: the dialog itself shows
// only when the work lasts.
class InputBlocker final : public QObject {
public:
    explicit InputBlocker(QWidget *allowed) : m_allowed(allowed) { qApp->installEventFilter(this); }
    ~InputBlocker() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride: {
            auto *widget = qobject_cast<QWidget *>(watched);
            const bool allowed = watched == m_allowed || (widget && m_allowed->isAncestorOf(widget)) ||
                                 watched == static_cast<QObject *>(m_allowed->windowHandle());
            return !allowed;
        }
        default: break;
        }
        return false;
    }

private:
    QWidget *m_allowed;
};

} // namespace

bool QtImporter::isImportable(const std::string &path)
{
    // Only a glance at the first bytes here: the import child decodes it all.
    return endsWithNoCase(path, ".txt") || endsWithNoCase(path, ".epub") || startsLikeText(systemFiles(), path);
}

void QtImporter::cancel()
{
    m_cancel = true;
    if (m_child)
        m_child->kill();
}

bool QtImporter::isMostlySimplified(const std::string &path, std::u16string_view label)
{
    // A file the probe cannot read is offered nothing; the import says why.
    const ChildRun run =
        runChild({QStringLiteral("probe"), QStringLiteral("--progress"), QString::fromStdString(path)}, label, false);
    // Cancelled while the text was looked at: the import that follows stops too.
    if (run.cancelled)
        m_cancel = true;
    return run.started && !run.crashed && !run.timedOut && run.exitCode == 0 &&
           run.out.contains("\"mostlySimplified\": true");
}

BookImporter::Outcome QtImporter::importBook(const std::string &inputPath, const std::string &outPath,
                                             bool toTraditional, std::u16string_view label, std::string &error)
{
    // A cancel belongs to the batch it was pressed in: taken here, it does
    // not reach a batch handed over later.
    if (m_cancel) {
        m_cancel = false;
        return Outcome::Cancelled;
    }
    QStringList args = {QStringLiteral("import"), QStringLiteral("--progress")};
    if (toTraditional)
        args << QStringLiteral("--to-traditional");
    args << QStringLiteral("-o") << QString::fromStdString(outPath) << QString::fromStdString(inputPath);
    const ChildRun run = runChild(args, label, true);
    const bool done = run.started && !run.crashed && !run.timedOut && !run.cancelled && run.exitCode == 0;
    // A child ended early leaves its temporary file behind: nothing
    // half-written stays on the shelf.
    if (!done && !run.temp.empty())
        QFile::remove(QString::fromStdString(run.temp));
    if (done)
        return Outcome::Done;
    if (run.cancelled) {
        m_cancel = false;
        return Outcome::Cancelled;
    }
    std::u16string_view why = texts::importFailed;
    if (!run.started)
        why = texts::importerMissing;
    else if (run.timedOut)
        why = texts::importTimedOut;
    else if (run.crashed)
        why = run.fault == "no-memory" ? texts::importNoMemory : texts::importCrashed;
    else
        why = faultReason(run.fault);
    error = utf16ToUtf8(why);
    return Outcome::Failed;
}

QtImporter::ChildRun QtImporter::runChild(const QStringList &args, std::u16string_view label, bool withProgress)
{
    ChildRun run;
    QProcess child;
    child.setProgram(importerProgram());
    child.setArguments(args);
    child.setChildProcessModifier(limitChild);
    // Without a share done the bar only shows that work goes on.
    QProgressDialog dialog(toQString(label), toQString(texts::cancel), 0, withProgress ? kSteps : 0, m_parent);
    dialog.setWindowTitle(toQString(texts::caption));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    // Short work finishes before any dialog flashes up.
    dialog.setMinimumDuration(400);
    const InputBlocker blocker(&dialog);

    QByteArray errors;
    auto readLines = [&] {
        errors += child.readAllStandardError();
        qsizetype end;
        while ((end = errors.indexOf('\n')) >= 0) {
            const QByteArray line = errors.left(end);
            errors.remove(0, end + 1);
            if (line.startsWith("progress ") && withProgress)
                dialog.setValue(std::min(kSteps, line.mid(9).toInt()));
            else if (line.startsWith("temp "))
                run.temp = line.mid(5).toStdString();
            else if (line.startsWith("fault "))
                run.fault = line.mid(6).toStdString();
        }
    };
    QEventLoop loop;
    QObject::connect(&child, &QProcess::readyReadStandardError, &loop, readLines);
    QObject::connect(&child, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&child, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            loop.quit();
    });
    QObject::connect(&dialog, &QProgressDialog::canceled, &loop, [&] {
        run.cancelled = true;
        child.kill();
    });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
        run.timedOut = true;
        child.kill();
    });
    m_child = &child;
    child.start(QIODevice::ReadOnly);
    if (child.waitForStarted(-1)) {
        run.started = true;
        limit.start(timeLimitSeconds() * 1000);
        // Starts the dialog's clock: it shows once the work lasts.
        dialog.setValue(0);
        if (m_cancel)
            child.kill();
        if (child.state() != QProcess::NotRunning)
            loop.exec();
        child.waitForFinished(-1);
        readLines();
        run.out = child.readAllStandardOutput();
        run.crashed = child.exitStatus() == QProcess::CrashExit;
        run.exitCode = child.exitCode();
        run.cancelled = run.cancelled || (m_cancel && run.crashed);
    }
    m_child = nullptr;
    return run;
}

} // namespace pagora
