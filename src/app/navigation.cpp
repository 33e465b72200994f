#include "app/navigation.h"

#include "app/windowregistry.h"
#include "forms/introfrm.h"
#include "forms/kysymysfrm.h"
#include "forms/statusfrm.h"
#include "forms/tietoafrm.h"

Navigation::Navigation(WindowRegistry& windows, Clock clock, QObject* parent)
    : QObject(parent)
    , m_windows(windows)
    , m_clock(std::move(clock))
{
    connect(&m_windows, &WindowRegistry::windowCreated, this, &Navigation::wire);
    connect(&m_windows, &WindowRegistry::closeRequested, this, &Navigation::onCloseRequested);
}

void Navigation::start()
{
    m_windows.show(m_windows.introFrm());
}

void Navigation::wire(QWidget* window)
{
    if (auto* intro = qobject_cast<IntroFrm*>(window)) {
        connect(intro, &IntroFrm::startRequested, this, &Navigation::startTest);
        connect(intro, &IntroFrm::aboutRequested, this, &Navigation::openAbout);
        connect(intro, &IntroFrm::quitRequested, this, &Navigation::quit);
    } else if (auto* questionnaire = qobject_cast<KysymysFrm*>(window)) {
        connect(questionnaire, &KysymysFrm::finished, this, &Navigation::finishTest);
    } else if (auto* results = qobject_cast<StatusFrm*>(window)) {
        // The results read the score and the name from the windows that own them.
        results->setSources({
            .playerName = [this] { return m_windows.introFrm().playerName(); },
            .score = [this] { return m_windows.kysymysFrm().moneypercent(); },
            .timeOfDay = m_clock,
        });
        connect(results, &StatusFrm::newTestRequested, this, &Navigation::newTest);
        connect(results, &StatusFrm::quitRequested, this, &Navigation::quit);
    } else if (auto* about = qobject_cast<TietoaFrm*>(window)) {
        connect(about, &TietoaFrm::dismissed, this, &Navigation::closeAbout);
    }
}

void Navigation::startTest()
{
    // Show the questionnaire before hiding the start window, so that something is always on
    // screen. The questionnaire resets itself on activation.
    m_windows.show(m_windows.kysymysFrm());
    m_windows.hide(m_windows.introFrm());
}

void Navigation::interruptTest()
{
    // The typed name stays for another try.
    m_windows.show(m_windows.introFrm());
    m_windows.hide(m_windows.kysymysFrm());
}

void Navigation::openAbout()
{
    m_windows.show(m_windows.tietoaFrm());
}

void Navigation::closeAbout()
{
    m_windows.hide(m_windows.tietoaFrm());
}

void Navigation::finishTest()
{
    // The score is complete before the results window reads it.
    m_windows.hide(m_windows.kysymysFrm());
    m_windows.show(m_windows.statusFrm());
}

void Navigation::newTest()
{
    // The score is left alone: the questionnaire clears it when the next test starts.
    m_windows.introFrm().clearName();
    m_windows.hide(m_windows.statusFrm());
    m_windows.show(m_windows.introFrm());
}

void Navigation::quit()
{
    m_windows.endProgram();
}

void Navigation::onCloseRequested(QWidget* window)
{
    // The process never goes on with no window to show for it.
    if (qobject_cast<IntroFrm*>(window))
        quit();
    else if (qobject_cast<KysymysFrm*>(window))
        interruptTest();
    else if (qobject_cast<StatusFrm*>(window))
        newTest();
    else if (qobject_cast<TietoaFrm*>(window))
        closeAbout();
}
