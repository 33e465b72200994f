#include "app/program.h"

#include "app/resources.h"

#include <QApplication>

namespace app {

void configureApplication()
{
    QApplication::setApplicationName(QStringLiteral("Ahnemetri"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.ahnemetri.Ahnemetri"));
    // The program ends through "Lopeta" or the start window's close box, never by itself.
    QApplication::setQuitOnLastWindowClosed(false);
    initResources();
}

Program::Program()
{
    QObject::connect(&m_windows, &WindowRegistry::programEnded, qApp,
                     [] { QCoreApplication::exit(0); });
}

} // namespace app
