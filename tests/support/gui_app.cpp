#include "gui_app.h"

#include <QGuiApplication>

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
    static QGuiApplication *app = new QGuiApplication(argc, argv);
    (void)app;
}

} // namespace pagora
