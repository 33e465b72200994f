#pragma once

#include "app/navigation.h"
#include "app/windowregistry.h"

namespace app {

// The application-wide settings: names, the compiled-in pictures, Qt's own texts in Finnish,
// and that the program never quits just because no window is visible.
void configureApplication();

// The running program: its windows and the ways between them. When the program ends, the
// event loop ends too.
class Program {
public:
    Program();

    WindowRegistry& windows() { return m_windows; }
    // Shows the start window, the only window at start.
    void start() { m_navigation.start(); }

private:
    WindowRegistry m_windows;
    Navigation m_navigation{m_windows};
};

} // namespace app
