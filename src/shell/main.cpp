#include "app/intake.h"
#include "qt/qt_single_instance.h"
#include "shell/first_paint_report.h"
#include "shell/mpanel.h"
#include "shell/thome.h"
#include "state/interface_texts.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <string_view>

using namespace pagora;

namespace {

QString toQString(std::u16string_view s)
{
    return QString(reinterpret_cast<const QChar *>(s.data()), qsizetype(s.size()));
}

QtMessageHandler g_previousHandler = nullptr;

// While the application object is made, a fatal message (no display, no
// usable platform plugin) ends the program with status 1 instead of an abort.
void startUpMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg) {
        if (g_previousHandler)
            g_previousHandler(type, context, message);
        return;
    }
    std::fprintf(stderr, "pagora: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
    std::_Exit(1);
}

void report(const QString &message)
{
    std::fprintf(stderr, "pagora: %s\n", message.toLocal8Bit().constData());
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        QMessageBox::critical(nullptr, toQString(texts::caption), message);
}

constexpr const char *kUsage = "Usage: pagora [FILE...]\n"
                               "Shows Traditional Chinese e-books in vertical columns. Each FILE is a book\n"
                               "(.pdb, .updb), a text (.txt) or an EPUB (.epub) to put on the shelf and open;\n"
                               "a reader already running in the session takes them.\n\n"
                               "  --help      print this help and exit\n"
                               "  --version   print the version and exit\n";

// --help and --version are answered before any window or display is needed;
// -1 when the arguments are for the reader.
int answerQuestion(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--")
            break; // file names from here on
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (a == "--version") {
            const std::u16string_view caption = texts::caption;
            std::printf("%s\n", std::string(caption.begin(), caption.end()).c_str());
            return 0;
        }
    }
    return -1;
}

int run(int argc, char **argv)
{
    g_previousHandler = qInstallMessageHandler(startUpMessageHandler);
    QApplication app(argc, argv);
    qInstallMessageHandler(g_previousHandler);
    QApplication::setApplicationName(QStringLiteral("Pagora"));
    QApplication::setDesktopFileName(QString::fromLatin1(SingleInstance::kName));
    try {
        // pagora [FILE...]: books, texts or EPUBs to open. Paths are made
        // absolute here, as the running reader may have another working folder.
        QStringList files;
        bool afterDashes = false;
        for (const QString &arg : app.arguments().mid(1)) {
            if (arg == QLatin1String("--") && !afterDashes) {
                afterDashes = true;
                continue;
            }
            files << QFileInfo(arg).absoluteFilePath();
        }
        SingleInstance instance;
        QString error;
        switch (instance.start(files, error)) {
        case SingleInstance::Role::HandedOver: return 0;
        case SingleInstance::Role::Failed:
            std::fprintf(stderr, "pagora: the running reader did not take the request: %s\n",
                         error.toLocal8Bit().constData());
            return 1;
        case SingleInstance::Role::Reader: break;
        }
        THome home(QCoreApplication::applicationDirPath().toStdString() + "/");
        instance.canTake = [&home](const QString &file) {
            return canTakeIn(home.panel()->reader(), file.toStdString());
        };
        // Queued: the caller's request returns once the files are taken, not
        // after their import (which may ask questions) has finished.
        QObject::connect(&instance, &SingleInstance::filesArrived, &home, &THome::openFiles, Qt::QueuedConnection);
        // Once the window has closed (and written the settings), a new start
        // becomes the reader instead of handing its files to one that ends.
        QObject::connect(&app, &QGuiApplication::lastWindowClosed, &instance, &SingleInstance::release);
        if (qEnvironmentVariableIsSet("PAGORA_BENCH_FIRST_PAINT"))
            new FirstPaintReport(home.panel());
        home.show();
        if (!home.windowHandle() || !home.isVisible()) {
            report(QStringLiteral("the window could not be created"));
            return 1;
        }
        if (!files.isEmpty())
            QTimer::singleShot(0, &home, [&home, files] { home.openFiles(files); });
        return app.exec();
    } catch (const std::bad_alloc &) {
        report(QStringLiteral("out of memory"));
    } catch (const std::exception &e) {
        report(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        report(QStringLiteral("unexpected error"));
    }
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (const int status = answerQuestion(argc, argv); status >= 0)
        return status;
    try {
        return run(argc, argv);
    } catch (...) {
        // Thrown while the application object was made or torn down.
        std::fputs("pagora: fatal error at start-up\n", stderr);
        return 1;
    }
}
