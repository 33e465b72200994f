#include "programfixture.h"

#include "forms/introfrm.h"
#include "forms/kysymysfrm.h"
#include "forms/statusfrm.h"
#include "forms/tietoafrm.h"
#include "version.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <optional>

using forms::IntroFrm;
using forms::KysymysFrm;
using forms::StatusFrm;
using forms::TietoaFrm;

namespace {

// Runs `check` on the first event of type `type` that reaches `target`.
class FirstEventProbe : public QObject {
public:
    FirstEventProbe(QWidget* target, QEvent::Type type, std::function<void()> check)
        : m_target(target)
        , m_type(type)
        , m_check(std::move(check))
    {
        qApp->installEventFilter(this);
    }
    bool fired = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!fired && watched == m_target && event->type() == m_type) {
            fired = true;
            m_check();
        }
        return false;
    }

private:
    QWidget* m_target;
    QEvent::Type m_type;
    std::function<void()> m_check;
};

} // namespace

class TestNavigation : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void twoWholeTestsInARow();
    void keyboardOnlyTest();
    void windowsAreCreatedOnceAndOnlyHidden();
    void returningFromAnotherProgramWindowRestartsTheQuestionnaire();
    void returningFromAnotherApplicationChangesNothing();
    void oneActivationPerShow();
    void focusPassingThroughAnotherWindowIsNoSecondActivation();
    void contentsAreReadyBeforeTheFirstPaint();
    void closingTheQuestionnaireInterruptsTheTest();
    void lateAccessKeyClickAfterClosingCountsNothing();
    void aboutWindowStaysOpenUntilTheEnd();
    void lateCloseRequestChangesNothing_data();
    void lateCloseRequestChangesNothing();
    void heldKeyActsOnlyWhereItWentDown_data();
    void heldKeyActsOnlyWhereItWentDown();

private:
    std::optional<ProgramFixture> m_program;
};

void TestNavigation::init()
{
    m_program.emplace();
}

void TestNavigation::cleanup()
{
    m_program.reset();
}

void TestNavigation::twoWholeTestsInARow()
{
    IntroFrm& intro = m_program->windows.introFrm();
    StatusFrm* results = m_program->runTest(QStringLiteral("Nimi"), highestAnswers(), 0);
    QVERIFY(results);
    QCOMPARE(m_program->visibleWindows(), QList<QWidget*>{results});
    QCOMPARE(control<QLabel>(*results, QStringLiteral("ProssaLbl"))->text(),
             QStringLiteral(" 100%"));

    QVERIFY(userClick(control<QPushButton>(*results, QStringLiteral("UusiCmd"))));
    QCOMPARE(m_program->visibleWindows(), QList<QWidget*>{&intro});
    QVERIFY(QTest::qWaitForWindowActive(&intro));
    QVERIFY(control<QLineEdit>(intro, QStringLiteral("NimiTxt"))->text().isEmpty());

    KysymysFrm* questionnaire = m_program->startTest(QStringLiteral("Toinen"));
    QVERIFY(questionnaire);
    QCOMPARE(topQuestion(*questionnaire), 1);
    QCOMPARE(questionnaire->moneypercent(), qint16(0));
    QVERIFY(!questionnaire->close());

    results = m_program->runTest(QStringLiteral("Toinen"), lowestAnswers(), 20);
    QVERIFY(results);
    QCOMPARE(control<QLabel>(*results, QStringLiteral("ProssaLbl"))->text(), QStringLiteral(" 0%"));
    QCOMPARE(results->windowTitle(), QStringLiteral(AHNEMETRI_TITLE " - Tilastot (Toinen)"));
}

void TestNavigation::keyboardOnlyTest()
{
    IntroFrm& intro = m_program->windows.introFrm();
    const auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    };
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Nimi"));
    QTRY_VERIFY(control<QPushButton>(intro, QStringLiteral("AloitaCmd"))->isEnabled());
    press(Qt::Key_Tab);
    press(Qt::Key_Return);
    KysymysFrm* questionnaire = m_program->kysymysIfCreated();
    QVERIFY(questionnaire);
    QVERIFY(QTest::qWaitForWindowActive(questionnaire));

    press(Qt::Key_E, Qt::AltModifier); // "&Ei avaudu", 4
    QTRY_COMPARE(topQuestion(*questionnaire), 2);
    // Enter on the first control of questions 2 to 8; in question 6 that is "&En nostaisi".
    for (int question = 2; question <= 8; ++question)
        press(Qt::Key_Return);
    QCOMPARE(topQuestion(*questionnaire), 9);
    QCOMPARE(questionnaire->moneypercent(), qint16(29));
    for (int step = 0; step < 7; ++step)
        press(Qt::Key_Right);
    press(Qt::Key_Tab);
    press(Qt::Key_Space); // 7 markka, 4 points
    QCOMPARE(questionnaire->moneypercent(), qint16(33));
    for (int question = 10; question <= 24; ++question)
        press(Qt::Key_Return);
    QCOMPARE(questionnaire->moneypercent(), qint16(86));
    press(Qt::Key_Tab);
    press(Qt::Key_Return); // "&En ajattele"

    StatusFrm* results = m_program->statusIfCreated();
    QVERIFY(results);
    QVERIFY(QTest::qWaitForWindowActive(results));
    QCOMPARE(control<QLabel>(*results, QStringLiteral("ProssaLbl"))->text(),
             QStringLiteral(" 86%"));
    press(Qt::Key_Return); // "&Uusi testi" has the focus
    QVERIFY(QTest::qWaitForWindowActive(&intro));
    // The start button is disabled at the next tick, and the focus leaves it for the name box.
    QTRY_COMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("NimiTxt"));
}

void TestNavigation::windowsAreCreatedOnceAndOnlyHidden()
{
    KysymysFrm* first = m_program->startTest(QStringLiteral("Nimi"));
    QVERIFY(first);
    QVERIFY(!first->close());
    QCOMPARE(m_program->startTest(QStringLiteral("Nimi")), first);
    QCOMPARE(&m_program->windows.kysymysFrm(), first);
    int questionnaires = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        questionnaires += qobject_cast<KysymysFrm*>(w) ? 1 : 0;
    QCOMPARE(questionnaires, 1);
}

void TestNavigation::returningFromAnotherProgramWindowRestartsTheQuestionnaire()
{
    TietoaFrm& about = m_program->windows.tietoaFrm();
    m_program->windows.show(about);
    QVERIFY(QTest::qWaitForWindowActive(&about));
    QVERIFY(switchTo(&m_program->windows.introFrm()));
    KysymysFrm* questionnaire = m_program->startTest(QStringLiteral("Nimi"));
    QVERIFY(questionnaire);
    QVERIFY(answer(*questionnaire, QStringLiteral("EiAvauduCmd")));
    QVERIFY(answer(*questionnaire, QStringLiteral("KyllapelkaanCmd2")));
    QCOMPARE(topQuestion(*questionnaire), 3);

    QVERIFY(switchTo(&about));
    QCOMPARE(topQuestion(*questionnaire), 3);
    QVERIFY(switchTo(questionnaire));
    QCOMPARE(topQuestion(*questionnaire), 1);
    QVERIFY(shownPanelsFormARun(*questionnaire));
    QCOMPARE(questionnaire->moneypercent(), qint16(0));
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("AvautuuCmd"));
}

void TestNavigation::returningFromAnotherApplicationChangesNothing()
{
    KysymysFrm* questionnaire = m_program->startTest(QStringLiteral("Nimi"));
    QVERIFY(questionnaire);
    QVERIFY(answer(*questionnaire, QStringLiteral("EiAvauduCmd")));
    QVERIFY(answer(*questionnaire, QStringLiteral("KyllapelkaanCmd2")));

    // A window that is none of the program's stands for another application.
    QWidget otherApplication;
    otherApplication.show();
    QVERIFY(switchTo(&otherApplication));
    QVERIFY(switchTo(questionnaire));
    QCOMPARE(topQuestion(*questionnaire), 3);
    QCOMPARE(questionnaire->moneypercent(), qint16(8));
}

void TestNavigation::oneActivationPerShow()
{
    // The results window reads the clock once per fill: Load and Activate when created.
    StatusFrm* results = m_program->runTest(QStringLiteral("Nimi"), highestAnswers(), 0);
    QVERIFY(results);
    QCOMPARE(m_program->clockReads, 2);

    QWidget otherApplication;
    otherApplication.show();
    QVERIFY(switchTo(&otherApplication));
    QVERIFY(switchTo(results));
    QCOMPARE(m_program->clockReads, 2);

    QVERIFY(userClick(control<QPushButton>(*results, QStringLiteral("UusiCmd"))));
    QVERIFY(m_program->runTest(QStringLiteral("Nimi"), highestAnswers(), 0));
    QCOMPARE(m_program->clockReads, 3);
}

void TestNavigation::focusPassingThroughAnotherWindowIsNoSecondActivation()
{
    // As when a window manager focuses the About window for a moment after the questionnaire
    // hides, before the results window gets the focus that its show asked for.
    TietoaFrm& about = m_program->windows.tietoaFrm();
    m_program->windows.show(about);
    KysymysFrm* questionnaire = m_program->startTest(QStringLiteral("Nimi"));
    QVERIFY(questionnaire);
    const QStringList answers = highestAnswers();
    for (qsizetype i = 0; i < answers.size() - 1; ++i)
        QVERIFY(answer(*questionnaire, answers[i]));
    about.activateWindow();
    QVERIFY(answer(*questionnaire, answers.last()));
    StatusFrm* results = m_program->statusIfCreated();
    QVERIFY(results);
    QVERIFY(QTest::qWaitForWindowActive(results));
    QCOMPARE(m_program->clockReads, 2);
    // A real move from the About window to the results is an activation.
    QVERIFY(switchTo(&about));
    QVERIFY(switchTo(results));
    QCOMPARE(m_program->clockReads, 3);
}

void TestNavigation::contentsAreReadyBeforeTheFirstPaint()
{
    StatusFrm* results = m_program->runTest(QStringLiteral("Nimi"), highestAnswers(), 0);
    QVERIFY(results);
    QVERIFY(userClick(control<QPushButton>(*results, QStringLiteral("UusiCmd"))));

    KysymysFrm& questionnaire = m_program->windows.kysymysFrm();
    int topAtPaint = 0;
    FirstEventProbe questionnaireProbe(&questionnaire, QEvent::Paint,
                                       [&] { topAtPaint = topQuestion(questionnaire); });
    QString summaryAtPaint;
    auto* summary = control<QLabel>(*results, QStringLiteral("ProssaSelLbl"));
    FirstEventProbe resultsProbe(summary, QEvent::Paint, [&] { summaryAtPaint = summary->text(); });

    m_program->now = QTime(23, 0, 1);
    QVERIFY(m_program->runTest(QStringLiteral("Toka"), lowestAnswers(), 20));
    QTRY_VERIFY(questionnaireProbe.fired && resultsProbe.fired);
    QCOMPARE(topAtPaint, 1);
    QCOMPARE(summaryAtPaint, QStringLiteral("Rahahulluus: 0% / Aika: 23:00:01 / Toka"));
}

void TestNavigation::closingTheQuestionnaireInterruptsTheTest()
{
    KysymysFrm* questionnaire = m_program->startTest(QStringLiteral("Nimi"));
    QVERIFY(questionnaire);
    QVERIFY(answer(*questionnaire, QStringLiteral("EiAvauduCmd")));
    QVERIFY(!questionnaire->close());
    IntroFrm& intro = m_program->windows.introFrm();
    QCOMPARE(m_program->visibleWindows(), QList<QWidget*>{&intro});
    QCOMPARE(intro.playerName(), QStringLiteral("Nimi"));
    QVERIFY(!m_program->statusIfCreated());

    QVERIFY(userClick(control<QPushButton>(intro, QStringLiteral("AloitaCmd"))));
    QVERIFY(QTest::qWaitForWindowActive(questionnaire));
    QCOMPARE(topQuestion(*questionnaire), 1);
    QCOMPARE(questionnaire->moneypercent(), qint16(0));
}

void TestNavigation::lateAccessKeyClickAfterClosingCountsNothing()
{
    KysymysFrm* questionnaire = m_program->startTest(QStringLiteral("Nimi"));
    QVERIFY(questionnaire);
    const QStringList answers = highestAnswers();
    for (qsizetype i = 0; i < answers.size() - 1; ++i)
        QVERIFY(answer(*questionnaire, answers[i]));
    // Alt+A on question 25 clicks "&Ajattelen" a moment later; the close box comes first.
    QTest::keyClick(questionnaire, Qt::Key_A, Qt::AltModifier);
    QVERIFY(!questionnaire->close());
    IntroFrm& intro = m_program->windows.introFrm();
    QVERIFY(waitForTicks(intro.findChild<QTimer*>(QStringLiteral("Timer1")), 60));
    QCOMPARE(m_program->visibleWindows(), QList<QWidget*>{&intro});
    QVERIFY(!m_program->statusIfCreated());
}

void TestNavigation::aboutWindowStaysOpenUntilTheEnd()
{
    TietoaFrm& about = m_program->windows.tietoaFrm();
    m_program->windows.show(about);
    StatusFrm* results = m_program->runTest(QStringLiteral("Nimi"), lowestAnswers(), 20);
    QVERIFY(results);
    QCOMPARE(m_program->visibleWindows(), (QList<QWidget*>{results, &about}));
    QVERIFY(userClick(control<QPushButton>(*results, QStringLiteral("LopetaCmd"))));
    QVERIFY(m_program->ended);
    QVERIFY(m_program->visibleWindows().isEmpty());
}

void TestNavigation::lateCloseRequestChangesNothing_data()
{
    QTest::addColumn<QString>("hidden");
    QTest::newRow("questionnaire, after the last answer") << "KysymysFrm";
    QTest::newRow("results, after \"Uusi testi\"") << "StatusFrm";
    QTest::newRow("start window, during a test") << "IntroFrm";
    QTest::newRow("About window, after OK") << "TietoaFrm";
}

void TestNavigation::lateCloseRequestChangesNothing()
{
    QFETCH(QString, hidden);
    app::WindowRegistry& windows = m_program->windows;
    windows.show(windows.tietoaFrm());
    windows.hide(windows.tietoaFrm());
    StatusFrm* results = m_program->runTest(QStringLiteral("Nimi"), answersForThirtySeven(), 0);
    QVERIFY(results);
    if (hidden != u"KysymysFrm") {
        QVERIFY(userClick(control<QPushButton>(*results, QStringLiteral("UusiCmd"))));
        QVERIFY(m_program->startTest(QStringLiteral("Toka")));
        QVERIFY(answer(windows.kysymysFrm(), QStringLiteral("EiAvauduCmd")));
    }
    const QList<QWidget*> shown = m_program->visibleWindows();
    const qint16 score = windows.kysymysFrm().moneypercent();
    const QString name = windows.introFrm().playerName();
    const QString title = results->windowTitle();
    const int fills = m_program->clockReads;

    // As the window manager delivers it: to the native window, which the program has hidden.
    QWidget* window = nullptr;
    for (QWidget* created : m_program->createdWindows()) {
        if (created->objectName() == hidden)
            window = created;
    }
    QVERIFY(window && !window->isVisible());
    QVERIFY(!window->windowHandle()->close());

    // Whatever the request could have set going has happened once the posted events are done.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QVERIFY(!m_program->ended);
    QCOMPARE(m_program->visibleWindows(), shown);
    QCOMPARE(windows.kysymysFrm().moneypercent(), score);
    QCOMPARE(windows.introFrm().playerName(), name);
    QCOMPARE(results->windowTitle(), title);
    QCOMPARE(m_program->clockReads, fills);
}

void TestNavigation::heldKeyActsOnlyWhereItWentDown_data()
{
    QTest::addColumn<bool>("paired");   // repeats as release and press at the same moment
    QTest::addColumn<QString>("start"); // where the key goes down
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("repeats");
    QTest::addColumn<QString>("active"); // the window that has the keyboard at the end
    QTest::addColumn<int>("top");        // the question on top, or 0
    QTest::addColumn<QString>("name");

    // An X server repeats a held key as a release and a press with the same time, which Qt
    // often passes on as fresh presses; other platforms mark the repeated presses.
    for (const bool paired : {false, true}) {
        const QString how = paired ? QStringLiteral(", X server repeat") : QString();
        // Enter held on the answer of the last question: its repeats reach the results, whose
        // "Uusi testi" has the focus.
        QTest::addRow("Enter held on the last question%s", qPrintable(how))
            << paired << "question 25" << int(Qt::Key_Return) << 12 << "StatusFrm" << 25 << "Nimi";
        QTest::addRow("Enter held on the start button%s", qPrintable(how))
            << paired << "start button" << int(Qt::Key_Return) << 12 << "KysymysFrm" << 1 << "Nimi";
        // A question that came up while the key was held is not answered by its repeats.
        QTest::addRow("Enter held on question 1%s", qPrintable(how))
            << paired << "question 1" << int(Qt::Key_Return) << 12 << "KysymysFrm" << 2 << "Nimi";
        // The key's own window and control: repeats act there as always.
        QTest::addRow("Backspace held in the name box%s", qPrintable(how))
            << paired << "name box" << int(Qt::Key_Backspace) << 2 << "IntroFrm" << 0 << "N";
        QTest::addRow("Right held on the slider%s", qPrintable(how))
            << paired << "question 9" << int(Qt::Key_Right) << 4 << "KysymysFrm" << 9 << "Nimi";
    }
}

void TestNavigation::heldKeyActsOnlyWhereItWentDown()
{
    QFETCH(bool, paired);
    QFETCH(QString, start);
    QFETCH(int, key);
    QFETCH(int, repeats);
    QFETCH(QString, active);
    QFETCH(int, top);
    QFETCH(QString, name);
    app::WindowRegistry& windows = m_program->windows;
    IntroFrm& intro = windows.introFrm();
    if (start.startsWith(u"question")) {
        QVERIFY(m_program->questionnaireAt(start.sliced(9).toInt()));
    } else {
        QTest::keyClicks(control<QLineEdit>(intro, QStringLiteral("NimiTxt")),
                         QStringLiteral("Nimi"));
        auto* button = control<QPushButton>(intro, QStringLiteral("AloitaCmd"));
        QTRY_VERIFY(button->isEnabled());
        if (start == u"start button")
            button->setFocus();
    }

    // A held key: the press, the repeats and the release, each to the window that has the
    // keyboard at that moment.
    const QString text = key == Qt::Key_Return      ? QStringLiteral("\r")
                         : key == Qt::Key_Backspace ? QStringLiteral("\b")
                                                    : QString();
    quint64 time = 1000;
    const auto send = [&](QEvent::Type type, bool repeat) {
        if (paired) {
            QKeyEvent event(type, key, Qt::NoModifier, text);
            event.setTimestamp(time);
            QApplication::sendEvent(QApplication::focusWidget(), &event);
        } else {
            QTest::simulateEvent(QGuiApplication::focusWindow(), type == QEvent::KeyPress, key,
                                 Qt::NoModifier, text, repeat);
        }
    };
    send(QEvent::KeyPress, false);
    for (int repeat = 0; repeat < repeats; ++repeat) {
        // The repeat after the window changed comes once the new window has the keyboard.
        QTRY_VERIFY(QApplication::activeWindow() && QGuiApplication::focusWindow()
                    && QApplication::activeWindow()->windowHandle()
                           == QGuiApplication::focusWindow());
        time += 33;
        if (paired)
            send(QEvent::KeyRelease, false);
        send(QEvent::KeyPress, true);
    }
    time += 100;
    send(QEvent::KeyRelease, false);

    QWidget* keyboard = QApplication::activeWindow();
    QVERIFY(keyboard);
    QCOMPARE(keyboard->objectName(), active);
    QCOMPARE(m_program->visibleWindows(), QList<QWidget*>{keyboard});
    if (top)
        QCOMPARE(topQuestion(windows.kysymysFrm()), top);
    QCOMPARE(intro.playerName(), name);
    if (active == u"StatusFrm")
        QCOMPARE(keyboard->windowTitle(), QStringLiteral(AHNEMETRI_TITLE " - Tilastot (Nimi)"));

    // A fresh press acts in the new window: "Uusi testi", or the next question. On the slider
    // every press and repeat has moved the amount by one.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    if (active == u"StatusFrm") {
        QCOMPARE(m_program->visibleWindows(), QList<QWidget*>{&intro});
    } else if (key == Qt::Key_Right) {
        QCOMPARE(control<QSlider>(windows.kysymysFrm(), QStringLiteral("KysymysSlider9"))->value(),
                 repeats + 2);
    } else if (active == u"KysymysFrm") {
        QCOMPARE(topQuestion(windows.kysymysFrm()), top + 1);
    }
}

QTEST_MAIN(TestNavigation)
#include "tst_navigation.moc"
