#include "platform/qt/qt_importer.h"

#include "app/interface_texts.h"
#include "import/import_book.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace {

QString toQString(std::u16string_view s)
{
    return QString(reinterpret_cast<const QChar *>(s.data()), qsizetype(s.size()));
}

constexpr int kSteps = 1000;

} // namespace

bool QtImporter::isImportable(const std::string &path)
{
    return ::isImportable(path);
}

bool QtImporter::isMostlySimplified(const std::string &path)
{
    return ::isMostlySimplified(path);
}

BookImporter::Outcome QtImporter::importBook(const std::string &inputPath, const std::string &outPath,
                                             bool toTraditional, std::u16string_view label, std::string &error)
{
    std::atomic<int> done{0};
    ImportOptions options;
    options.toTraditional = toTraditional;
    ImportResult result;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        result = ::importBook(inputPath, outPath, options, [&](double share) {
            done = int(std::clamp(share, 0.0, 1.0) * kSteps);
            return !m_cancel.load();
        });
    }));

    QProgressDialog dialog(toQString(label), toQString(texts::cancel), 0, kSteps, m_parent);
    dialog.setWindowTitle(toQString(texts::caption));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    // Short imports finish before any dialog flashes up.
    dialog.setMinimumDuration(400);
    QObject::connect(&dialog, &QProgressDialog::canceled, [this] { m_cancel = true; });
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, &dialog, [&] { dialog.setValue(done.load()); });

    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    worker->start();
    poll.start();
    loop.exec();
    worker->wait();
    poll.stop();

    if (result.ok)
        return Outcome::Done;
    if (m_cancel)
        return Outcome::Cancelled;
    error = result.error;
    return Outcome::Failed;
}
