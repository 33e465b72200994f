#pragma once

#include "app/navigation.h"
#include "app/windowregistry.h"

namespace app {

// The application-wide settings: names, the compiled-in pictures, Qt's own texts in Finnish,
// and that the program never quits just because no window is visible.
void configureApplication();

// The running program: its windows, the ways between them and the clock that the results
// read. main(), the tests, the benchmarks and the screenshot tool all assemble it here.
class Program {
public:
    explicit Program(Navigation::Clock clock = &QTime::currentTime);

    WindowRegistry& windows() { return m_windows; }
    // Shows the start window, the only window at start.
    void start() { m_navigation.start(); }
    // Starts the program and runs the event loop until the program ends ("Lopeta", Ctrl+X or
    // the start window's close box); returns the exit status.
    int exec();

private:
    WindowRegistry m_windows;
    Navigation m_navigation;
};

} // namespace app
