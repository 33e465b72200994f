// The program's own main, with one addition: it prints how long it took from the launch of the
// process to the start window's first exposure and paint, and then quits. The runner passes the
// moment of the launch in AHNEMETRI_BENCH_T0.

#include "benchsupport.h"

#include "app/program.h"
#include "forms/introfrm.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    const long long entered = bench::monotonicNs();
    QApplication application(argc, argv);
    app::configureApplication();
    app::Program program;
    WindowRegistry& windows = program.windows();
    bench::FirstPaintProbe probe([&windows, entered](QWindow* window) {
        const long long now = bench::monotonicNs();
        if (window != windows.introFrm().windowHandle())
            bench::fail("the first window shown was not the start window");
        bench::report("startup_ms", static_cast<double>(now - bench::launchNs()) / 1e6);
        // How much of it passed before main(): loading and linking the program and Qt.
        bench::report("startup_main_ms",
                      static_cast<double>(entered - bench::launchNs()) / 1e6);
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
    });

    program.start();
    return QApplication::exec();
}
