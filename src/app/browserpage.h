#pragma once

#include <QString>

#include <array>

class QWidget;

namespace app {

class WindowRegistry;

// The program in a web page, built with Qt for WebAssembly: all that it does there and not on a
// desktop. It is written in browserpage.cpp, which only the build for the browser compiles;
// everywhere else `active` is false and each of these does nothing.
class BrowserPage {
public:
#ifdef Q_OS_WASM
    static constexpr bool active = true;

    // Ties the running program to its page: the page's screen reader is told what comes up in
    // the windows, every shown window is placed again whenever the page's size changes (a phone
    // turned, a browser window resized, an on-screen keyboard opened or closed), the page
    // learns the size of the largest window to fit its zoom to, and when the program ends, so
    // does the program in the page, which the page then says.
    static void attach(WindowRegistry& windows);

    // A browser activates a window as soon as it exists, before it is shown, and the focus
    // then skips the control that the window's Activate event chose. Each window is activated
    // by its show instead, once it is on the screen.
    static void adoptWindow(QWidget& window);

    // A desktop gives the activation of a window that goes to the window below it; a browser
    // leaves no window active, and the keyboard would reach none. The first shown window of the
    // slots gets it instead.
    static void afterHide(const std::array<QWidget*, 4>& windows, bool hiddenWasActive);
#else
    static constexpr bool active = false;

    static void attach(WindowRegistry&) {}
    static void adoptWindow(QWidget&) {}
    static void afterHide(const std::array<QWidget*, 4>&, bool) {}
#endif

    // A browser has no Qt of its own: the program carries Qt's Finnish texts. Only the
    // browser's build has it; callers ask under `if constexpr (active)`.
    static QString qtTranslationsDirectory();
};

} // namespace app
