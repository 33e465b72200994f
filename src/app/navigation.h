#pragma once

#include <QObject>
#include <QTime>

#include <functional>

namespace forms {
class IntroFrm;
class KysymysFrm;
class StatusFrm;
class TietoaFrm;
} // namespace forms

namespace app {

class WindowRegistry;

// The ways from one window to another: start a test, finish it, start a new one, open and close
// the About window, quit. Each window's close box is one of these ways, chosen by the window.
class Navigation : public QObject {
    Q_OBJECT

public:
    using Clock = std::function<QTime()>;

    // The clock gives the time of day that the results show.
    Navigation(WindowRegistry& windows, Clock clock, QObject* parent = nullptr);

    // The program starts with the start window alone.
    void start();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void wireIntro(forms::IntroFrm* intro);
    void wireQuestionnaire(forms::KysymysFrm* questionnaire);
    void wireResults(forms::StatusFrm* results);
    void wireAbout(forms::TietoaFrm* about);

    void startTest();
    void interruptTest();
    void openAbout();
    void closeAbout();
    void finishTest();
    void newTest();
    void quit();

    WindowRegistry& m_windows;
    Clock m_clock;
};

} // namespace app
