#include "platform/qt/qt_single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>

#include <memory>
#include <unistd.h>

namespace pagora {

namespace {

// A forwarded request is a few paths; anything longer is not one.
constexpr qint64 kMaxRequest = 1 << 20;
constexpr int kWaitMs = 2000;

QByteArray encode(const QStringList &files)
{
    QByteArray bytes;
    for (const QString &f : files)
        bytes += f.toUtf8() + '\0';
    return bytes;
}

QStringList decode(const QByteArray &bytes)
{
    QStringList files;
    for (const QByteArray &part : bytes.split('\0')) {
        if (!part.isEmpty())
            files << QString::fromUtf8(part);
    }
    return files;
}

} // namespace

SingleInstance::SingleInstance(const QString &key, QObject *parent) : QObject(parent)
{
    const QByteArray id = key.toUtf8() + '\0' + QByteArray::number(qulonglong(::getuid()));
    const QString hash = QString::fromLatin1(QCryptographicHash::hash(id, QCryptographicHash::Sha256).toHex().left(24));
    // The user's runtime folder is private to the user; the fallback is the
    // temporary folder, with the socket limited to the user below.
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::tempPath();
    m_name = folder + QStringLiteral("/pagora-") + hash;
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::onConnection);
}

bool SingleInstance::forward(const QStringList &files)
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kWaitMs))
        return false;
    socket.write(encode(files));
    if (!socket.waitForBytesWritten(kWaitMs))
        return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kWaitMs);
    return true;
}

bool SingleInstance::listen()
{
    if (m_server.listen(m_name))
        return true;
    // A socket left by a reader that ended abnormally answers no one.
    QLocalSocket probe;
    probe.connectToServer(m_name);
    if (probe.waitForConnected(kWaitMs / 4))
        return false;
    QLocalServer::removeServer(m_name);
    return m_server.listen(m_name);
}

void SingleInstance::onConnection()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [socket, buffer] {
            *buffer += socket->readAll();
            if (buffer->size() > kMaxRequest)
                socket->abort();
        });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket, buffer] {
            *buffer += socket->readAll();
            socket->deleteLater();
            if (buffer->size() <= kMaxRequest)
                emit filesArrived(decode(*buffer));
        });
    }
}

} // namespace pagora
