#include "qt/qt_importer.h"

#include "platform/files.h"
#include "state/interface_texts.h"
#include "text/codec.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QProcessEnvironment>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <linux/close_range.h>
#include <optional>
#include <string_view>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

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
// A book's size is a 32-bit field.
constexpr rlim_t kFileCap = rlim_t(4) << 30;
constexpr rlim_t kOpenFilesCap = 64;
// What the reader takes from each of the child's channels, and the longest
// line it reads: the protocol needs a few kilobytes, the rest is drained
// and dropped. The probe's one line of output names the file, escaped.
constexpr qint64 kChannelCap = 64 * 1024;
constexpr qsizetype kLineCap = 256;
constexpr qsizetype kOutputLineCap = 32 * 1024;
constexpr int kLineCountCap = 2048;

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

// Only what the child needs: a UTF-8 locale, and the sanitizers' settings
// under a sanitizer build. No PATH, no home, no session, no display.
QProcessEnvironment childEnvironment()
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    const QProcessEnvironment mine = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
        const QString key = QString::fromLatin1(name);
        if (mine.contains(key))
            env.insert(key, mine.value(key));
    }
    return env;
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

void capResource(int resource, rlim_t value)
{
    const rlimit cap{value, value};
    ::setrlimit(resource, &cap);
}

// Runs in the child between fork and exec: only async-signal-safe calls.
// The child leads a process group of its own (a cancel ends all of it),
// dies with the reader, inherits no descriptor but the book's, and runs
// under caps even before it confines itself.
void prepareChild(pid_t reader, int bookFd, rlim_t cpuSeconds)
{
    if (::setsid() < 0)
        ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != reader)
        ::_exit(1);
    ::syscall(SYS_close_range, 3u, ~0u, CLOSE_RANGE_CLOEXEC);
    if (bookFd >= 0)
        ::fcntl(bookFd, F_SETFD, 0);
    if (kCapMemory)
        capResource(RLIMIT_AS, kMemoryCap);
    capResource(RLIMIT_CPU, cpuSeconds);
    capResource(RLIMIT_FSIZE, kFileCap);
    capResource(RLIMIT_NOFILE, kOpenFilesCap);
    capResource(RLIMIT_CORE, 0);
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

bool isKnownFault(const QByteArray &name)
{
    return faultReason(name.toStdString()) != texts::importFailed;
}

// "progress N" with N of 0..1000 in plain digits; anything else is no
// progress line.
std::optional<int> progressLine(const QByteArray &line)
{
    const QByteArray digits = line.mid(9);
    if (!line.startsWith("progress ") || digits.isEmpty() || digits.size() > 4)
        return std::nullopt;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    const int n = digits.toInt();
    return n <= kSteps ? std::optional<int>(n) : std::nullopt;
}

// What has been taken from one of the child's channels.
struct ChannelReader {
    QByteArray line; // the line so far, at most a cap long
    bool overlong = false;
    int lines = 0;
    qint64 taken = 0;
};

// Drains what the child wrote on one channel, hands over each complete line
// of at most lineCap bytes, and drops the rest: overlong lines, lines past
// the count, bytes past the channel's cap.
void readChannel(QProcess &child, QProcess::ProcessChannel channel, qsizetype lineCap, ChannelReader &reader,
                 const std::function<void(const QByteArray &)> &onLine)
{
    child.setReadChannel(channel);
    char chunk[4096];
    qint64 n;
    while ((n = child.read(chunk, sizeof chunk)) > 0) {
        const qint64 take = std::min(n, std::max<qint64>(0, kChannelCap - reader.taken));
        reader.taken += take;
        for (qint64 i = 0; i < take; ++i) {
            if (chunk[i] != '\n') {
                reader.overlong = reader.overlong || reader.line.size() >= lineCap;
                if (!reader.overlong)
                    reader.line += chunk[i];
                continue;
            }
            if (!reader.overlong && ++reader.lines <= kLineCountCap)
                onLine(reader.line);
            reader.line.clear();
            reader.overlong = false;
        }
    }
}

// The child and anything it started: it leads its own group until exec.
void killGroup(QProcess &child)
{
    const qint64 pid = child.processId();
    if (pid > 0)
        ::kill(-pid_t(pid), SIGKILL);
    child.kill();
}

// The finished book takes the name the shelf chose, never over a file
// there: renameat2 where the file system has it, else a link.
bool publishBook(const std::string &temp, const std::string &outPath)
{
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, outPath.c_str(), RENAME_NOREPLACE) != 0) {
        if ((errno != EINVAL && errno != ENOSYS) || ::link(temp.c_str(), outPath.c_str()) != 0)
            return false;
        ::unlink(temp.c_str());
    }
    syncFolderOf(outPath);
    return true;
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
        killGroup(*m_child);
}

bool QtImporter::isMostlySimplified(const std::string &path, std::u16string_view label)
{
    // A file the probe cannot read is offered nothing; the import says why.
    const ChildRun run = runChild(
        {QStringLiteral("probe"), QStringLiteral("--progress"), QStringLiteral("--"), QString::fromStdString(path)},
        label, false, -1);
    // Cancelled while the text was looked at: the import that follows stops too.
    if (run.cancelled)
        m_cancel = true;
    return run.started && !run.crashed && !run.timedOut && run.exitCode == 0 &&
           run.out.endsWith("\"mostlySimplified\": true}");
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
    // The reader makes the file the child writes, and is the only one to
    // name, move or remove it: nothing the child says is taken as a path.
    const std::size_t slash = outPath.rfind('/');
    std::string temp =
        (slash == std::string::npos ? std::string() : outPath.substr(0, slash + 1)) + kImportTempPrefix + "XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        error = utf16ToUtf8(texts::cannotWrite);
        return Outcome::Failed;
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    QStringList args = {QStringLiteral("import"), QStringLiteral("--progress")};
    if (toTraditional)
        args << QStringLiteral("--to-traditional");
    args << QStringLiteral("--output-fd") << QString::number(fd) << QStringLiteral("--")
         << QString::fromStdString(inputPath);
    const ChildRun run = runChild(args, label, true, fd);
    ::close(fd);
    const bool done = run.started && !run.crashed && !run.timedOut && !run.cancelled && run.exitCode == 0;
    const bool published = done && publishBook(temp, outPath);
    if (!published)
        ::unlink(temp.c_str());
    if (done && !published) {
        error = utf16ToUtf8(texts::cannotWrite);
        return Outcome::Failed;
    }
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

QtImporter::ChildRun QtImporter::runChild(const QStringList &args, std::u16string_view label, bool withProgress,
                                          int bookFd)
{
    ChildRun run;
    QProcess child;
    child.setProgram(importerProgram());
    child.setArguments(args);
    child.setProcessEnvironment(childEnvironment());
    child.setStandardInputFile(QProcess::nullDevice());
    const pid_t reader = ::getpid();
    // The clock below ends a busy child first, as timed out.
    const rlim_t cpuSeconds = rlim_t(timeLimitSeconds()) + 10;
    child.setChildProcessModifier([=] { prepareChild(reader, bookFd, cpuSeconds); });
    // Without a share done the bar only shows that work goes on.
    QProgressDialog dialog(toQString(label), toQString(texts::cancel), 0, withProgress ? kSteps : 0, m_parent);
    dialog.setWindowTitle(toQString(texts::caption));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    // Short work finishes before any dialog flashes up.
    dialog.setMinimumDuration(400);
    const InputBlocker blocker(&dialog);

    ChannelReader errors, output;
    auto readErrors = [&] {
        readChannel(child, QProcess::StandardError, kLineCap, errors, [&](const QByteArray &line) {
            const std::optional<int> permille = progressLine(line);
            if (permille && withProgress)
                dialog.setValue(*permille);
            if (line.startsWith("fault ") && isKnownFault(line.mid(6)))
                run.fault = line.mid(6).toStdString();
        });
    };
    auto readOutput = [&] {
        readChannel(child, QProcess::StandardOutput, kOutputLineCap, output, [&](const QByteArray &line) {
            if (run.out.isEmpty())
                run.out = line;
        });
    };
    QEventLoop loop;
    QObject::connect(&child, &QProcess::readyReadStandardError, &loop, readErrors);
    QObject::connect(&child, &QProcess::readyReadStandardOutput, &loop, readOutput);
    QObject::connect(&child, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&child, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            loop.quit();
    });
    QObject::connect(&dialog, &QProgressDialog::canceled, &loop, [&] {
        run.cancelled = true;
        killGroup(child);
    });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
        run.timedOut = true;
        killGroup(child);
    });
    m_child = &child;
    child.start(QIODevice::ReadOnly);
    if (child.waitForStarted(-1)) {
        run.started = true;
        limit.start(timeLimitSeconds() * 1000);
        // Starts the dialog's clock: it shows once the work lasts.
        dialog.setValue(0);
        if (m_cancel)
            killGroup(child);
        if (child.state() != QProcess::NotRunning)
            loop.exec();
        child.waitForFinished(-1);
        readErrors();
        readOutput();
        run.crashed = child.exitStatus() == QProcess::CrashExit;
        run.exitCode = child.exitCode();
        run.cancelled = run.cancelled || (m_cancel && run.crashed);
    }
    m_child = nullptr;
    return run;
}

} // namespace pagora
