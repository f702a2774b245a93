#include "gui_app.h"

#include <QApplication>

#include <cstdlib>

namespace pagora {

void ensureGuiApp()
{
    if (QGuiApplication::instance())
        return;
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // QGuiApplication keeps references to argc and argv: they must outlive it.
    static int argc = 1;
    static char name[] = "pagora-tests";
    static char *argv[] = {name, nullptr};
    // A widget application, so that the real dialogs can be run as well.
    static QApplication *app = new QApplication(argc, argv);
    (void)app;
}

} // namespace pagora
