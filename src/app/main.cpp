#include "app/navigation.h"
#include "app/resources.h"
#include "app/windowregistry.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ahnemetri"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.ahnemetri.Ahnemetri"));
    // The program ends through "Lopeta" or the start window's close box, never by itself.
    QApplication::setQuitOnLastWindowClosed(false);
    app::initResources();

    WindowRegistry windows;
    Navigation navigation(windows);
    QObject::connect(&windows, &WindowRegistry::programEnded, &application,
                     [] { QCoreApplication::exit(0); });
    navigation.start();
    return QApplication::exec();
}
