// A bare Qt main window for comparison with the program's start: QApplication and a
// QMainWindow with a menu bar and a central area of the start window's size. Prints how long
// it took from the launch of the process to the window's first exposure and paint, then quits.

#include "barewindow.h"
#include "benchsupport.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    const long long entered = bench::monotonicNs();
    QApplication application(argc, argv);

    bench::FirstPaintProbe probe([entered](QWindow*) {
        const long long now = bench::monotonicNs();
        bench::report("startup_ms", static_cast<double>(now - bench::launchNs()) / 1e6);
        // How much of it passed before main(): loading and linking the program and Qt.
        bench::report("startup_main_ms",
                      static_cast<double>(entered - bench::launchNs()) / 1e6);
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
    });

    BareMainWindow window;
    window.show();
    return QApplication::exec();
}
