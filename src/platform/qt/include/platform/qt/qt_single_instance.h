#pragma once
#include <QLocalServer>
#include <QObject>
#include <QStringList>

namespace pagora {

// One reader per settings folder and user: a second start hands the files it
// was given to the running reader and ends. Two readers on one settings file
// would overwrite each other's settings, and each would write its own
// bookmarks into a book both have open.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    // key names the settings folder (any text; it is hashed).
    explicit SingleInstance(const QString &key, QObject *parent = nullptr);

    // True when a running reader took the files: this process should end.
    bool forward(const QStringList &files);
    // Becomes the reader that later starts forward to. False when another
    // reader got there first.
    bool listen();

signals:
    void filesArrived(const QStringList &files);

private:
    void onConnection();

    QString m_name;
    QLocalServer m_server;
};

} // namespace pagora
