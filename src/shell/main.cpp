#include "shell/thome.h"
#include "state/interface_texts.h"

#include <QApplication>
#include <QMessageBox>

#include <exception>

using namespace pagora;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pagora"));
    QApplication::setDesktopFileName(QStringLiteral("pagora"));
    try {
        const std::string exeFolder = QCoreApplication::applicationDirPath().toStdString() + "/";
        THome home(exeFolder);
        home.show();
        return app.exec();
    } catch (const std::exception &e) {
        const std::u16string_view caption = texts::caption;
        QMessageBox::critical(nullptr,
                              QString(reinterpret_cast<const QChar *>(caption.data()), qsizetype(caption.size())),
                              QString::fromLocal8Bit(e.what()));
        return 0;
    }
}
