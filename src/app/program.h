#pragma once

#include "app/heldkeys.h"
#include "app/navigation.h"
#include "app/qttranslations.h"
#include "app/windowregistry.h"

#include <QTranslator>

namespace app {

// The running program, set up the same way wherever it starts: main(), the tests, the
// benchmarks and the screenshot tool create it once the application object exists, and it does
// the rest: the application's names and settings, the compiled-in pictures, Qt's own texts in
// Finnish, the filter for held keys, the windows and the ways between them. The clock is what
// the results read; Qt's texts come from the system's Qt unless a test names another place.
class Program {
public:
    explicit Program(Navigation::Clock clock = &QTime::currentTime,
                     const QString& qtTranslations = systemQtTranslationsDirectory());

    WindowRegistry& windows() { return m_windows; }
    // Shows the start window, the only window at start.
    void start() { m_navigation.start(); }
    // Starts the program and runs the event loop until the program ends ("Lopeta", Ctrl+X or
    // the start window's close box); returns the exit status.
    int exec();

private:
    QTranslator m_qtTexts; // outlives the windows, which show its texts
    HeldKeys m_heldKeys;
    WindowRegistry m_windows;
    Navigation m_navigation;
};

} // namespace app
