#pragma once
#include "platform/importer.h"

#include <QByteArray>
#include <QStringList>

#include <string>

class QProcess;
class QWidget;

namespace pagora {

// Imports in a child process, `pagora-book import` beside the reader, while a
// progress dialog, modal to the window, keeps the window painting. The child
// reads the untrusted file under caps on memory and time; whatever it does,
// the reader gets an outcome and a reason, never the child's fault. The
// child says only how far it got and why it failed, in a few short lines of
// a fixed form; the reader alone chooses, moves and removes files.
class QtImporter final : public BookImporter {
public:
    explicit QtImporter(QWidget *parent) : m_parent(parent) {}
    bool isImportable(const std::string &path) override;
    bool isMostlySimplified(const std::string &path, std::u16string_view label) override;
    Outcome importBook(const std::string &inputPath, const std::string &outPath, bool toTraditional,
                       std::u16string_view label, std::string &error) override;

    // A batch of imports starts, or the window closes and the running
    // import (and any later one of the batch) should stop.
    void reset() { m_cancel = false; }
    void cancel();

private:
    struct ChildRun {
        bool started = false;
        bool crashed = false;
        bool timedOut = false;
        bool cancelled = false;
        int exitCode = 0;
        QByteArray out;    // its first line on standard output
        std::string fault; // from its "fault NAME" line, a known name
    };
    // Runs pagora-book with args to its end, the window blocked for input
    // meanwhile; withProgress shows the share done. bookFd, when not -1,
    // is the one descriptor the child inherits.
    ChildRun runChild(const QStringList &args, std::u16string_view label, bool withProgress, int bookFd);

    QWidget *m_parent;
    bool m_cancel = false;
    // Set while a child runs: cancel() ends it.
    QProcess *m_child = nullptr;
};

} // namespace pagora
