// A bare Qt main window for comparison with the program's start: QApplication and a
// QMainWindow with a menu bar and a label filling a central area of the start window's size.
// Prints the time and the CPU time from the launch of the process to the window's first
// exposure and paint, then quits.

#include "barewindow.h"
#include "benchsupport.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    const long long entered = bench::monotonicNs();
    const double enteredCpu = bench::processCpuMs();
    QApplication application(argc, argv);
    const double applicationCpu = bench::processCpuMs();

    double builtCpu = 0;
    bench::FirstPaintProbe probe([&](QWindow*) {
        const long long now = bench::monotonicNs();
        const double cpu = bench::processCpuMs();
        bench::reportStartup(now, cpu, entered, enteredCpu, applicationCpu, builtCpu);
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
    });

    BareMainWindow window;
    builtCpu = bench::processCpuMs();
    window.show();
    return QApplication::exec();
}
