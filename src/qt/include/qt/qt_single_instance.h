#pragma once
#include <QDBusContext>
#include <QObject>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <functional>

namespace pagora {

// The path a file URI handed over names, or empty when the reader does not
// take it: only a file of this machine (no host, or localhost) by its
// absolute path, without query, fragment or control characters. A relative
// name would be taken in the reader's working folder, and one starting with
// '-' could pass for an option further on.
QString localPathOfUri(const QString &uri);
// uri for a message: control characters and other invisible ones escaped,
// cut to a readable length.
QString shownUri(const QString &uri);

// One reader per user, the desktop's way: the first reader owns the
// application id on the D-Bus session bus and answers the freedesktop
// Application interface there; a later start calls it (Activate to raise the
// window, Open to hand over files) and ends. Two readers on one settings file
// would overwrite each other's settings, and each would write its own
// bookmarks into a book both have open. With no session bus a reader runs on
// its own.
class SingleInstance final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    static constexpr const char *kName = "io.github.pagora_reader.Pagora";
    static constexpr const char *kPath = "/io/github/pagora_reader/Pagora";

    enum class Role {
        Reader,     // this process is the reader (it owns the name, or there is no bus)
        HandedOver, // a running reader took the request: end with status 0
        Failed,     // a running reader is there but did not take it: end with status 1
    };

    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;

    // Becomes the reader, or hands files (absolute paths; none: raise the
    // window) to the running one and waits for its answer. error tells why
    // on Failed.
    Role start(const QStringList &files, QString &error);
    // The reader is closing: later starts become readers themselves, and a
    // request still arriving is refused rather than lost.
    void release();
    // Whether the reader can take a file handed over (an existing file of a
    // kind it reads); the others are refused, and the start that handed them
    // ends with status 1. Unset: every existing file is taken.
    std::function<bool(const QString &)> canTake;

    // org.freedesktop.Application
public Q_SLOTS:
    Q_SCRIPTABLE void Activate(const QVariantMap &platformData);
    Q_SCRIPTABLE void Open(const QStringList &uris, const QVariantMap &platformData);
    Q_SCRIPTABLE void ActivateAction(const QString &actionName, const QVariantList &parameter,
                                     const QVariantMap &platformData);

Q_SIGNALS:
    // Files handed over by another start (empty: only raise the window).
    void filesArrived(const QStringList &files);

private:
    bool refuseWhenClosing();

    bool m_owner = false;
    bool m_exported = false;
    bool m_closing = false;
};

} // namespace pagora
