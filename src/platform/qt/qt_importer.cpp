#include "platform/qt/qt_importer.h"

#include "import/import_book.h"
#include "state/interface_texts.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

namespace pagora {

namespace {

QString toQString(std::u16string_view s)
{
    return QString(reinterpret_cast<const QChar *>(s.data()), qsizetype(s.size()));
}

constexpr int kSteps = 1000;

} // namespace

bool QtImporter::isImportable(const std::string &path)
{
    return pagora::isImportable(path);
}

bool QtImporter::isMostlySimplified(const std::string &path, std::u16string_view label)
{
    // Reading a large file or EPUB takes a moment: not on the window's thread.
    bool simplified = false;
    runOnWorker([&] { simplified = pagora::isMostlySimplified(path); }, label, nullptr);
    return simplified && !m_cancel;
}

BookImporter::Outcome QtImporter::importBook(const std::string &inputPath, const std::string &outPath,
                                             bool toTraditional, std::u16string_view label, std::string &error)
{
    // Cancelled while the text was being looked at.
    if (m_cancel)
        return Outcome::Cancelled;
    std::atomic<int> done{0};
    ImportOptions options;
    options.toTraditional = toTraditional;
    ImportResult result;
    runOnWorker(
        [&] {
            result = pagora::importBook(inputPath, outPath, options, [&](double share) {
                done = int(std::clamp(share, 0.0, 1.0) * kSteps);
                return !m_cancel.load();
            });
        },
        label, &done);
    if (result.ok)
        return Outcome::Done;
    if (m_cancel)
        return Outcome::Cancelled;
    error = result.error;
    return Outcome::Failed;
}

void QtImporter::runOnWorker(const std::function<void()> &work, std::u16string_view label, const std::atomic<int> *done)
{
    std::unique_ptr<QThread> worker(QThread::create(work));
    // Without a share done the bar only shows that work goes on.
    QProgressDialog dialog(toQString(label), toQString(texts::cancel), 0, done ? kSteps : 0, m_parent);
    dialog.setWindowTitle(toQString(texts::caption));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    // Short work finishes before any dialog flashes up.
    dialog.setMinimumDuration(400);
    QObject::connect(&dialog, &QProgressDialog::canceled, [this] { m_cancel = true; });
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, &dialog, [&] { dialog.setValue(done ? done->load() : 0); });

    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    worker->start();
    poll.start();
    loop.exec();
    worker->wait();
}

} // namespace pagora
