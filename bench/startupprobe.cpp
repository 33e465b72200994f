// The start-up probe, loaded by the runner (LD_PRELOAD) into the program as it is built, and into
// the bare window beside it. Nothing of the program is copied or changed for the measurement:
// its own main() runs, command line, application object, windows and all. At the first exposure
// and paint of the first top-level window the probe prints the time since the launch of the
// process (AHNEMETRI_BENCH_T0) and the CPU time since its exec, with marks on the way, and ends
// the process. With AHNEMETRI_BENCH_WINDOW set, that window's objectName must be the one named.

#include "benchsupport.h"

#include <QApplication>
#include <QByteArray>
#include <QWidget>
#include <QWindow>

#include <cstdlib>

namespace {

struct Marks {
    long long loadedNs = 0;
    double loadedCpuMs = 0;      // the libraries loaded and linked, just before main()
    double applicationCpuMs = 0; // the application object connected to the window system
    double shownCpuMs = 0;       // the first window built and about to be shown
};

Marks marks;

// Watches every event of the application from its construction on. The first window's Expose
// (or the Paint that the platform sends after it) is handed to the window right here, so that
// the figures are taken after the widgets have been drawn and flushed.
class FirstPaintProbe : public QObject {
public:
    FirstPaintProbe() { QCoreApplication::instance()->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event == m_delivering)
            return false;
        if (event->type() == QEvent::Show && watched->isWidgetType()
            && static_cast<QWidget*>(watched)->isWindow() && marks.shownCpuMs == 0)
            marks.shownCpuMs = bench::processCpuMs();
        if (event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget*>(watched)->isWindow()) {
            m_widgetPainted = true;
            return false;
        }
        if ((event->type() != QEvent::Expose && event->type() != QEvent::Paint)
            || !watched->isWindowType())
            return false;
        auto* window = static_cast<QWindow*>(watched);
        m_delivering = event;
        QCoreApplication::sendEvent(window, event);
        m_delivering = nullptr;
        if (m_widgetPainted && window->isExposed())
            finish(window);
        return true;
    }

private:
    [[noreturn]] static void finish(QWindow* window)
    {
        const long long now = bench::monotonicNs();
        const double cpu = bench::processCpuMs();
        if (const QByteArray expected = qgetenv("AHNEMETRI_BENCH_WINDOW"); !expected.isEmpty()) {
            const QWidget* shown = nullptr;
            for (const QWidget* widget : QApplication::topLevelWidgets()) {
                if (widget->windowHandle() == window)
                    shown = widget;
            }
            if (!shown || shown->objectName() != QLatin1String(expected))
                bench::fail("the first window shown was not the one expected");
        }
        const long long launched = bench::launchNs();
        bench::report("startup_ms", static_cast<double>(now - launched) / 1e6);
        bench::report("startup_cpu_ms", cpu);
        bench::report("startup_main_ms", static_cast<double>(marks.loadedNs - launched) / 1e6);
        bench::report("startup_main_cpu_ms", marks.loadedCpuMs);
        bench::report("startup_application_cpu_ms", marks.applicationCpuMs);
        bench::report("startup_built_cpu_ms", marks.shownCpuMs);
        // What comes after the first paint is not measured; the process ends here.
        std::_Exit(0);
    }

    QEvent* m_delivering = nullptr;
    bool m_widgetPainted = false;
};

void whenLoaded()
{
    marks.loadedNs = bench::monotonicNs();
    marks.loadedCpuMs = bench::processCpuMs();
}
Q_CONSTRUCTOR_FUNCTION(whenLoaded)

// Qt calls this from the application object's constructor, once it is connected to the window
// system and before any window exists.
void whenApplicationCreated()
{
    marks.applicationCpuMs = bench::processCpuMs();
    new FirstPaintProbe;
}
Q_COREAPP_STARTUP_FUNCTION(whenApplicationCreated)

} // namespace
