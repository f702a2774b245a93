#include "qt/qt_single_instance.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusReply>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QUrl>

namespace pagora {

namespace {

constexpr const char *kInterface = "org.freedesktop.Application";
// A running reader answers once its event loop runs; a reader that is
// starting may still be scanning a large shelf.
constexpr int kCallTimeoutMs = 25000;
// A reader that is closing gives up the name a moment later.
constexpr int kAttempts = 20;
constexpr unsigned long kRetryMs = 100;
// A request is a few paths; anything much longer is not one.
constexpr qsizetype kMaxUris = 10000;

bool sessionBusConfigured()
{
    // Without an address libdbus would try the runtime folder's socket and
    // then autolaunch a bus of its own on the X display, which no other
    // start would find reliably. Only a bus the session set up counts.
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFile::exists(runtime + QStringLiteral("/bus"));
}

// The reader is not there (any more): try to become it again.
bool readerGone(const QDBusMessage &reply)
{
    const QString name = reply.errorName();
    return name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
           name == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
           name == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner") ||
           name == QLatin1String("io.github.pagora_reader.Pagora.Error.Closing");
}

bool hasControl(const QString &text)
{
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format ||
            c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph)
            return true;
    return false;
}

} // namespace

QString localPathOfUri(const QString &uri)
{
    if (hasControl(uri))
        return {};
    const QUrl url(uri, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("file") || url.hasQuery() || url.hasFragment() ||
        !(url.host().isEmpty() || url.host() == QLatin1String("localhost")))
        return {};
    const QString path = url.path(QUrl::FullyDecoded);
    if (!path.startsWith(QLatin1Char('/')) || path.contains(QChar(0)) || hasControl(path))
        return {};
    return path;
}

QString shownUri(const QString &uri)
{
    constexpr qsizetype kShown = 200;
    QString out;
    for (qsizetype i = 0; i < uri.size() && i < kShown; ++i) {
        const QChar c = uri[i];
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format ||
            c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    if (uri.size() > kShown)
        out += QStringLiteral("…");
    return QLatin1Char('"') + out + QLatin1Char('"');
}

SingleInstance::SingleInstance(QObject *parent) : QObject(parent) {}

SingleInstance::~SingleInstance()
{
    release();
}

SingleInstance::Role SingleInstance::start(const QStringList &files, QString &error)
{
    if (!sessionBusConfigured())
        return Role::Reader;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return Role::Reader;
    // Exported before the name is asked for: a call that arrives as soon as
    // the name is ours finds the object.
    m_exported = bus.registerObject(QString::fromLatin1(kPath), this, QDBusConnection::ExportScriptableSlots);
    if (!m_exported)
        return Role::Reader;

    QStringList uris;
    for (const QString &f : files)
        uris << QUrl::fromLocalFile(f).toString(QUrl::FullyEncoded);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        // Not queued: of two readers started at the same moment exactly one
        // gets the name, and the other calls it.
        const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
            bus.interface()->registerService(QString::fromLatin1(kName), QDBusConnectionInterface::DontQueueService,
                                             QDBusConnectionInterface::DontAllowReplacement);
        if (!reply.isValid())
            break; // a bus that does not answer: run on our own
        if (reply.value() == QDBusConnectionInterface::ServiceRegistered) {
            m_owner = true;
            return Role::Reader;
        }
        QDBusMessage call = QDBusMessage::createMethodCall(
            QString::fromLatin1(kName), QString::fromLatin1(kPath), QString::fromLatin1(kInterface),
            uris.isEmpty() ? QStringLiteral("Activate") : QStringLiteral("Open"));
        if (uris.isEmpty())
            call << QVariantMap();
        else
            call << uris << QVariantMap();
        const QDBusMessage answer = bus.call(call, QDBus::Block, kCallTimeoutMs);
        if (answer.type() == QDBusMessage::ReplyMessage) {
            release();
            return Role::HandedOver;
        }
        if (!readerGone(answer)) {
            error = answer.errorMessage().isEmpty() ? answer.errorName() : answer.errorMessage();
            release();
            return Role::Failed;
        }
        QThread::msleep(kRetryMs);
    }
    if (m_exported) {
        bus.unregisterObject(QString::fromLatin1(kPath));
        m_exported = false;
    }
    return Role::Reader;
}

void SingleInstance::release()
{
    m_closing = true;
    if (!m_owner && !m_exported)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (m_owner && bus.interface())
        bus.interface()->unregisterService(QString::fromLatin1(kName));
    if (m_exported)
        bus.unregisterObject(QString::fromLatin1(kPath));
    m_owner = false;
    m_exported = false;
}

bool SingleInstance::refuseWhenClosing()
{
    if (!m_closing)
        return false;
    if (calledFromDBus())
        sendErrorReply(QStringLiteral("io.github.pagora_reader.Pagora.Error.Closing"),
                       QStringLiteral("the reader is closing"));
    return true;
}

void SingleInstance::Activate(const QVariantMap &)
{
    if (!refuseWhenClosing())
        emit filesArrived({});
}

void SingleInstance::Open(const QStringList &uris, const QVariantMap &)
{
    if (refuseWhenClosing())
        return;
    if (uris.size() > kMaxUris) {
        sendErrorReply(QDBusError::LimitsExceeded, QStringLiteral("too many files"));
        return;
    }
    QStringList files;
    for (const QString &uri : uris) {
        const QString path = localPathOfUri(uri);
        if (path.isEmpty()) {
            // Nothing of a request in part: the caller learns which one was refused.
            sendErrorReply(QDBusError::InvalidArgs,
                           QStringLiteral("the reader opens local files by absolute file URI only, not ") +
                               shownUri(uri));
            return;
        }
        files << path;
    }
    // What can be taken is taken; the caller still learns of the rest.
    QStringList taken, refused;
    for (const QString &f : files)
        (QFileInfo(f).isFile() && (!canTake || canTake(f)) ? taken : refused) << f;
    if (!taken.isEmpty() || refused.isEmpty())
        emit filesArrived(taken);
    if (!refused.isEmpty())
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("cannot open ") + refused.join(QStringLiteral(", ")));
}

void SingleInstance::ActivateAction(const QString &actionName, const QVariantList &, const QVariantMap &)
{
    if (refuseWhenClosing())
        return;
    // The desktop entry declares no actions.
    sendErrorReply(QDBusError::NotSupported, QStringLiteral("no action ") + actionName);
}

} // namespace pagora
