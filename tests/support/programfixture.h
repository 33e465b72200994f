#pragma once

#include "app/program.h"

#include <QString>
#include <QTime>
#include <QTimer>
#include <QWidget>

namespace forms {
class IntroFrm;
class KysymysFrm;
class StatusFrm;
class TietoaFrm;
} // namespace forms

// A whole program for one test, assembled as main() assembles it and started on the start
// window, with a clock that the test sets.
class ProgramFixture {
public:
    // Qt's own texts come from the system's Qt, as in the program, unless a test names another
    // place.
    explicit ProgramFixture(const QString& qtTranslations = app::systemQtTranslationsDirectory());
    ~ProgramFixture();

    QTime now{14, 9, 5};
    int clockReads = 0; // one per fill of the results window
    app::Program program;
    app::WindowRegistry& windows = program.windows();
    bool ended = false;

    // The program's windows in the order the registry would create them, if they exist.
    forms::IntroFrm* introIfCreated() const { return windows.existing<forms::IntroFrm>(); }
    forms::KysymysFrm* kysymysIfCreated() const { return windows.existing<forms::KysymysFrm>(); }
    forms::StatusFrm* statusIfCreated() const { return windows.existing<forms::StatusFrm>(); }
    forms::TietoaFrm* tietoaIfCreated() const { return windows.existing<forms::TietoaFrm>(); }
    // The windows created so far, in that order.
    QList<QWidget*> createdWindows() const;
    QList<QWidget*> visibleWindows() const;

    // Types the name into the start window, waits for the start button and clicks it; returns
    // the questionnaire once it is the active window, or null.
    forms::KysymysFrm* startTest(const QString& name);
    // Starts a test and answers the questions before `question` with the lowest answers, so
    // that its panel is on top; null if that fails.
    forms::KysymysFrm* questionnaireAt(int question);

    // A whole test by clicks: the name, one answer button per question (the confirm button
    // for question 9) and the donation amount. Returns the results window once it is active.
    forms::StatusFrm* runTest(const QString& name, const QStringList& answers, int donation);

private:
    // The program's clock: the time the test set, counted.
    QTime readClock();
};

// Answers that give the highest and the lowest total; question 9 goes with 0 and 20 markka.
QStringList highestAnswers();
QStringList lowestAnswers();
// Answers worth 37 points with the donation at 0 markka (30 at 20 markka).
QStringList answersForThirtySeven();
// The text of a row of the diagnosis table, 1 to 11, as the record of texts has it.
QString diagnosisRow(int row);

// The number of the question panel on top: the highest-numbered panel that is shown.
int topQuestion(QWidget& questionnaire);
// Whether the shown panels are exactly 1 to topQuestion().
bool shownPanelsFormARun(QWidget& questionnaire);
// Clicks the named answer of the questionnaire the way a user would; false if not reachable.
[[nodiscard]] bool answer(QWidget& questionnaire, const QString& buttonName);

// The named control of a window; a missing control is a broken window, so the test stops.
template <typename T> T* control(QWidget& window, const QString& name)
{
    T* found = window.findChild<T*>(name);
    if (!found)
        qFatal("%s has no control %s", qPrintable(window.objectName()), qPrintable(name));
    return found;
}

// Whether a user could click the control: shown, enabled, and not covered by anything else.
bool isReachable(const QWidget* target);

// Clicks the control the way a user would, and only if a user could; false otherwise.
[[nodiscard]] bool userClick(QWidget* target);

// The objectNames of the controls that the Tab key visits from the window's focused control,
// starting with that control, until the focus comes back to it (at most `limit` steps).
QStringList tabCycle(QWidget* window, int limit = 20);

// Lets the event loop run until `timer` has fired `ticks` more times: long enough for anything
// a key press could have started (an animated click takes 100 ms) to have happened.
[[nodiscard]] bool waitForTicks(QTimer* timer, int ticks);

// Activates a window the way the user switching to it would, and waits until it is active.
[[nodiscard]] bool switchTo(QWidget* window);
