#include "platform/qt/qt_single_instance.h"
#include "shell/thome.h"
#include "state/interface_texts.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>

#include <exception>

using namespace pagora;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pagora"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.pagora_reader.Pagora"));
    // pagora [FILE...]: books, texts or EPUBs to open. Paths are made absolute
    // here, as a running reader may have another working folder.
    QStringList files;
    for (const QString &arg : app.arguments().mid(1))
        files << QFileInfo(arg).absoluteFilePath();
    try {
        const QString exeFolder = QCoreApplication::applicationDirPath();
        // The settings folder follows from these; one reader per settings folder.
        const QString key = exeFolder + QLatin1Char('\n') + qEnvironmentVariable("XDG_CONFIG_HOME") +
                            QLatin1Char('\n') + QDir::homePath();
        SingleInstance instance(key);
        if (instance.forward(files))
            return 0;
        // Another reader may have started at the same moment.
        if (!instance.listen() && instance.forward(files))
            return 0;
        THome home(exeFolder.toStdString() + "/");
        QObject::connect(&instance, &SingleInstance::filesArrived, &home, &THome::openFiles);
        home.show();
        if (!files.isEmpty())
            QTimer::singleShot(0, &home, [&home, files] { home.openFiles(files); });
        return app.exec();
    } catch (const std::exception &e) {
        const std::u16string_view caption = texts::caption;
        QMessageBox::critical(nullptr,
                              QString(reinterpret_cast<const QChar *>(caption.data()), qsizetype(caption.size())),
                              QString::fromLocal8Bit(e.what()));
        return 0;
    }
}
