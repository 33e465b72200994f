#pragma once

#include <QObject>
#include <QTime>

#include <functional>

class WindowRegistry;

// The ways from one window to another: start a test, finish it, start a new one, open and close
// the About window, quit, and what each window's close box does.
class Navigation : public QObject {
    Q_OBJECT

public:
    using Clock = std::function<QTime()>;

    // The clock gives the time of day that the results show.
    explicit Navigation(WindowRegistry& windows, Clock clock = &QTime::currentTime,
                        QObject* parent = nullptr);

    // The program starts with the start window alone.
    void start();

private:
    void wire(QWidget* window);
    void startTest();
    void interruptTest();
    void openAbout();
    void closeAbout();
    void finishTest();
    void newTest();
    void quit();
    void onCloseRequested(QWidget* window);

    WindowRegistry& m_windows;
    Clock m_clock;
};
