#include "app/navigation.h"

#include "app/windowregistry.h"
#include "forms/introfrm.h"
#include "forms/kysymysfrm.h"
#include "forms/statusfrm.h"
#include "forms/tietoafrm.h"

#include <QCoreApplication>

namespace app {

Navigation::Navigation(WindowRegistry& windows, Clock clock, QObject* parent)
    : QObject(parent)
    , m_windows(windows)
    , m_clock(std::move(clock))
{
    connect(&m_windows, &WindowRegistry::introFrmCreated, this, &Navigation::wireIntro);
    connect(&m_windows, &WindowRegistry::kysymysFrmCreated, this, &Navigation::wireQuestionnaire);
    connect(&m_windows, &WindowRegistry::statusFrmCreated, this, &Navigation::wireResults);
    connect(&m_windows, &WindowRegistry::tietoaFrmCreated, this, &Navigation::wireAbout);
    // Sees the application's Quit before Qt acts on it.
    qApp->installEventFilter(this);
}

void Navigation::start()
{
    m_windows.show(m_windows.introFrm());
}

void Navigation::wireIntro(forms::IntroFrm* intro)
{
    connect(intro, &forms::IntroFrm::startRequested, this, &Navigation::startTest);
    connect(intro, &forms::IntroFrm::aboutRequested, this, &Navigation::openAbout);
    connect(intro, &forms::IntroFrm::quitRequested, this, &Navigation::quit);
}

void Navigation::wireQuestionnaire(forms::KysymysFrm* questionnaire)
{
    connect(questionnaire, &forms::KysymysFrm::finished, this, &Navigation::finishTest);
    connect(questionnaire, &forms::KysymysFrm::interruptRequested, this,
            &Navigation::interruptTest);
}

void Navigation::wireResults(forms::StatusFrm* results)
{
    // The results read the score and the name from the windows that own them.
    results->setSources({
        .playerName = [this] { return m_windows.introFrm().playerName(); },
        .score = [this] { return m_windows.kysymysFrm().moneypercent(); },
        .timeOfDay = m_clock,
    });
    connect(results, &forms::StatusFrm::newTestRequested, this, &Navigation::newTest);
    connect(results, &forms::StatusFrm::quitRequested, this, &Navigation::quit);
}

void Navigation::wireAbout(forms::TietoaFrm* about)
{
    connect(about, &forms::TietoaFrm::dismissed, this, &Navigation::closeAbout);
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

bool Navigation::eventFilter(QObject* watched, QEvent* event)
{
    // The session ending (logout, shutdown) or anything else asking the application to quit
    // ends the program at once, as "Lopeta" does: there is nothing to save. Left to Qt, the
    // quit would close the windows one by one, and each would take that for its close box.
    if (watched == qApp && event->type() == QEvent::Quit)
        quit();
    return QObject::eventFilter(watched, event);
}

} // namespace app
