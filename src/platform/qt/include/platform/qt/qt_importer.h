#pragma once
#include "platform/importer.h"

#include <atomic>
#include <functional>

class QWidget;

namespace pagora {

// Imports on a worker thread while a progress dialog, modal to the window,
// keeps the window painting; the call returns when the worker is done.
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
    void cancel() { m_cancel = true; }

private:
    // Runs work on a worker thread while a progress dialog, shown only when
    // the work lasts, keeps the window painting; returns when it is done.
    void runOnWorker(const std::function<void()> &work, std::u16string_view label, const std::atomic<int> *done);

    QWidget *m_parent;
    std::atomic<bool> m_cancel{false};
};

} // namespace pagora
