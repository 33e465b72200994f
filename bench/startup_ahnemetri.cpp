// The program's own main (src/app/main.cpp), with one addition: at the start window's first
// exposure and paint it prints the time and the CPU time since the launch of the process, and then
// quits. The runner passes the moment of the launch in AHNEMETRI_BENCH_T0.

#include "benchsupport.h"

#include "app/commandline.h"
#include "app/program.h"
#include "forms/introfrm.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    const long long entered = bench::monotonicNs();
    const double enteredCpu = bench::processCpuMs();
    if (const std::optional<int> status = app::answerCommandLine(argc, argv))
        return *status;
    const std::unique_ptr<QApplication> application = app::createApplication(argc, argv);
    const double applicationCpu = bench::processCpuMs();
    app::Program program;
    app::WindowRegistry& windows = program.windows();
    // Built here rather than in exec(), the same work a moment earlier, for the mark.
    windows.introFrm();
    const double builtCpu = bench::processCpuMs();
    bench::FirstPaintProbe probe([&, builtCpu](QWindow* window) {
        const long long now = bench::monotonicNs();
        const double cpu = bench::processCpuMs();
        if (window != windows.introFrm().windowHandle())
            bench::fail("the first window shown was not the start window");
        bench::reportStartup(now, cpu, entered, enteredCpu, applicationCpu, builtCpu);
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
    });
    return program.exec();
}
