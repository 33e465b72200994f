#pragma once

// What the benchmark programs share: clocks, the process's CPU time and peak memory, a way to
// run the event loop until something has happened, and a probe for painting.
// Every result goes to standard output as one line "key value", which the runner collects.

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <dirent.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <string>

namespace bench {

// Nanoseconds on the system-wide monotonic clock, comparable between processes.
inline long long monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

// The moment the runner launched this process, on the monotonic clock; 0 when not given.
inline long long launchNs()
{
    const char* text = std::getenv("AHNEMETRI_BENCH_T0");
    return text ? std::strtoll(text, nullptr, 10) : 0;
}

// User and system time of the whole process, all threads, in milliseconds.
inline double processCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The times the process's threads went to sleep and were woken up again (their voluntary
// context switches, summed over /proc/self/task/*/status).
inline long long wakeups()
{
    long long total = 0;
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks)
        return -1;
    while (const dirent* task = readdir(tasks)) {
        if (task->d_name[0] == '.')
            continue;
        std::ifstream status(std::string("/proc/self/task/") + task->d_name + "/status");
        std::string line;
        static constexpr char key[] = "voluntary_ctxt_switches:";
        while (std::getline(status, line)) {
            if (line.rfind(key, 0) == 0)
                total += std::strtoll(line.c_str() + sizeof key - 1, nullptr, 10);
        }
    }
    closedir(tasks);
    return total;
}

// The peak resident set size of the process (VmHWM), in KiB; -1 if it cannot be read.
inline long peakResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

inline void report(const char* key, double value)
{
    std::printf("%s %.3f\n", key, value);
    std::fflush(stdout);
}

[[noreturn]] inline void fail(const char* what)
{
    std::fprintf(stderr, "benchmark failed: %s\n", what);
    std::fflush(stderr);
    std::_Exit(3);
}

// Runs the event loop until `done` holds. Whatever is pending is handled first without
// waiting, so that a result that is already due costs no timer; only then does the loop block
// for further events, with a deadline that wakes it up in any case.
template <typename Done> bool pumpUntil(Done done, int timeoutMs = 5000)
{
    QCoreApplication::processEvents();
    if (done())
        return true;
    bool expired = false;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [&expired] { expired = true; });
    deadline.start(timeoutMs);
    while (!done() && !expired)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

// Counts the Paint events that one widget receives.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* widget)
        : m_widget(widget)
    {
        m_widget->installEventFilter(this);
    }
    ~PaintWatch() override { m_widget->removeEventFilter(this); }

    int paints() const { return m_paints; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++m_paints;
        return false;
    }

private:
    QWidget* m_widget;
    int m_paints = 0;
};

// Waits until the window is on the (offscreen) screen and has drawn itself, then lets the
// events that the showing queued run out.
inline void waitUntilShown(QWidget& window)
{
    if (!pumpUntil(
            [&window] { return window.windowHandle() && window.windowHandle()->isExposed(); }))
        fail("a window was never exposed");
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

// Leaves the process alone with the window shown: after a second for whatever the showing
// started to run out, reports the wakeups and the CPU time per second over `seconds` seconds.
// The measurement's own end costs one wakeup.
inline void measureRest(QWidget& window, int seconds)
{
    waitUntilShown(window);
    // A loop of its own: quitting the application would close the windows.
    QEventLoop loop;
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double cpuBefore = processCpuMs();
    const long long wakeupsBefore = wakeups();
    const long long wallBefore = monotonicNs();
    QTimer::singleShot(seconds * 1000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    const double wallSeconds = static_cast<double>(monotonicNs() - wallBefore) / 1e9;
    const double cpu = processCpuMs() - cpuBefore;
    const long long woken = wakeups() - wakeupsBefore;
    if (!window.isVisible())
        fail("the window was hidden while at rest");
    report("rest_cpu_ms_per_s", cpu / wallSeconds);
    report("rest_wakeups_per_s", static_cast<double>(woken) / wallSeconds);
}

// The measurement a benchmark process makes, chosen on its command line:
// "rest WINDOW SECONDS", "answer ROUNDS", "create COUNT" or "memory".
struct Modes {
    void (*rest)(const char* window, int seconds);
    void (*answer)(int rounds);
    void (*create)(int count);
    void (*memory)();
};

inline int runMode(int argc, char* argv[], const Modes& modes)
{
    const char* mode = argc > 1 ? argv[1] : "";
    const int n = argc > 2 ? std::atoi(argv[2]) : 0;
    if (std::strcmp(mode, "rest") == 0 && argc > 3 && std::atoi(argv[3]) > 0)
        modes.rest(argv[2], std::atoi(argv[3]));
    else if (std::strcmp(mode, "answer") == 0 && n > 0)
        modes.answer(n);
    else if (std::strcmp(mode, "create") == 0 && n > 0)
        modes.create(n);
    else if (std::strcmp(mode, "memory") == 0)
        modes.memory();
    else {
        std::fprintf(stderr,
                     "usage: %s rest WINDOW SECONDS | answer ROUNDS | create COUNT | memory\n",
                     argv[0]);
        return 2;
    }
    return 0;
}

} // namespace bench
