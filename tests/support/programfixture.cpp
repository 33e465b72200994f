#include "programfixture.h"
#include "textrecord.h"

#include "forms/introfrm.h"
#include "forms/kysymysfrm.h"
#include "forms/statusfrm.h"
#include "forms/tietoafrm.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>

ProgramFixture::ProgramFixture(const QString& qtTranslations)
    : program([this] { return readClock(); }, qtTranslations)
{
    QObject::connect(&windows, &app::WindowRegistry::programEnded, [this] { ended = true; });
    program.start();
    if (!QTest::qWaitForWindowActive(&windows.introFrm()))
        qWarning("the start window did not become active");
}

ProgramFixture::~ProgramFixture() = default;

QTime ProgramFixture::readClock()
{
    ++clockReads;
    return now;
}

QList<QWidget*> ProgramFixture::createdWindows() const
{
    QList<QWidget*> created;
    for (QWidget* window : std::initializer_list<QWidget*>{introIfCreated(), kysymysIfCreated(),
                                                           statusIfCreated(), tietoaIfCreated()}) {
        if (window)
            created.append(window);
    }
    return created;
}

QList<QWidget*> ProgramFixture::visibleWindows() const
{
    QList<QWidget*> visible;
    for (QWidget* window : createdWindows()) {
        if (window->isVisible())
            visible.append(window);
    }
    return visible;
}

bool isReachable(const QWidget* target)
{
    if (!target || !target->isVisible() || !target->isEnabled())
        return false;
    const QWidget* window = target->window();
    const QPoint centre = target->mapTo(window, target->rect().center());
    const QWidget* hit = window->childAt(centre);
    return hit && (hit == target || target->isAncestorOf(hit));
}

bool userClick(QWidget* target)
{
    if (!isReachable(target))
        return false;
    QTest::mouseClick(target, Qt::LeftButton);
    return true;
}

bool switchTo(QWidget* window)
{
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

QStringList tabCycle(QWidget* window, int limit)
{
    QStringList names;
    QWidget* first = QApplication::focusWidget();
    if (!first || first->window() != window)
        return names;
    names.append(first->objectName());
    for (int step = 0; step < limit; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        if (!now || now == first)
            break;
        names.append(now->objectName());
    }
    return names;
}

bool waitForTicks(QTimer* timer, int ticks)
{
    QSignalSpy spy(timer, &QTimer::timeout);
    return QTest::qWaitFor([&] { return spy.count() >= ticks; }, 5000);
}

forms::KysymysFrm* ProgramFixture::startTest(const QString& name)
{
    forms::IntroFrm& intro = windows.introFrm();
    auto* nameBox = control<QLineEdit>(intro, QStringLiteral("NimiTxt"));
    auto* start = control<QPushButton>(intro, QStringLiteral("AloitaCmd"));
    nameBox->setText(name);
    if (!QTest::qWaitFor([&] { return start->isEnabled() == !name.isEmpty(); }))
        return nullptr;
    if (!userClick(start))
        return nullptr;
    forms::KysymysFrm* questionnaire = kysymysIfCreated();
    if (!questionnaire || !QTest::qWaitForWindowActive(questionnaire))
        return nullptr;
    return questionnaire;
}

forms::KysymysFrm* ProgramFixture::questionnaireAt(int question)
{
    forms::KysymysFrm* questionnaire = startTest(QStringLiteral("Nimi"));
    if (!questionnaire)
        return nullptr;
    const QStringList answers = lowestAnswers();
    for (int number = 1; number < question; ++number) {
        if (!answer(*questionnaire, answers[number - 1]))
            return nullptr;
    }
    return topQuestion(*questionnaire) == question ? questionnaire : nullptr;
}

namespace {
QGroupBox* panel(QWidget& questionnaire, int number)
{
    return control<QGroupBox>(questionnaire,
                              QStringLiteral("KysymysFrame") + QString::number(number));
}
} // namespace

int topQuestion(QWidget& questionnaire)
{
    for (int number = 25; number >= 1; --number) {
        if (!panel(questionnaire, number)->isHidden())
            return number;
    }
    return 0;
}

bool shownPanelsFormARun(QWidget& questionnaire)
{
    const int top = topQuestion(questionnaire);
    for (int number = 1; number <= 25; ++number) {
        if (panel(questionnaire, number)->isHidden() != (number > top))
            return false;
    }
    return top >= 1;
}

bool answer(QWidget& questionnaire, const QString& buttonName)
{
    return userClick(control<QWidget>(questionnaire, buttonName));
}

forms::StatusFrm* ProgramFixture::runTest(const QString& name, const QStringList& answers,
                                          int donation)
{
    forms::KysymysFrm* questionnaire = startTest(name);
    if (!questionnaire || answers.size() != 25)
        return nullptr;
    for (const QString& button : answers) {
        if (button == u"markkaaCmd9")
            control<QSlider>(*questionnaire, QStringLiteral("KysymysSlider9"))->setValue(donation);
        if (!answer(*questionnaire, button))
            return nullptr;
    }
    forms::StatusFrm* results = statusIfCreated();
    if (!results || !QTest::qWaitForWindowActive(results))
        return nullptr;
    return results;
}

QStringList highestAnswers()
{
    return {QStringLiteral("EiAvauduCmd"),     QStringLiteral("KyllapelkaanCmd2"),
            QStringLiteral("KyllaolenCmd3"),   QStringLiteral("KyllakaytanCmd4"),
            QStringLiteral("EnvoisiCmd5"),     QStringLiteral("KyllanostaisinCmd6"),
            QStringLiteral("KyllapollinCmd7"), QStringLiteral("OtansenCmd8"),
            QStringLiteral("markkaaCmd9"),     QStringLiteral("RahaCmd10"),
            QStringLiteral("RikkoisinCmd11"),  QStringLiteral("KyllaovatCmd12"),
            QStringLiteral("MyisinCmd13"),     QStringLiteral("KaynCmd14"),
            QStringLiteral("OlenCmd15"),       QStringLiteral("KiillotanCmd16"),
            QStringLiteral("EntulisiCmd17"),   QStringLiteral("KyllavastaanCmd18"),
            QStringLiteral("OlitarvisCmd19"),  QStringLiteral("RahaCmd20"),
            QStringLiteral("PuvutakkiCmd21"),  QStringLiteral("BingoCmd22"),
            QStringLiteral("SoisinCmd23"),     QStringLiteral("OlenvetanytCmd24"),
            QStringLiteral("AjattelenCmd25")};
}

QStringList lowestAnswers()
{
    return {QStringLiteral("AvautuuCmd"),      QStringLiteral("EnpelkaaCmd2"),
            QStringLiteral("EnoleCmd3"),       QStringLiteral("Enkayta4"),
            QStringLiteral("KyllavoisinCmd5"), QStringLiteral("EnnostaisiCmd6"),
            QStringLiteral("EnpolliCmd7"),     QStringLiteral("EnotaCmd8"),
            QStringLiteral("markkaaCmd9"),     QStringLiteral("MammonaCmd10"),
            QStringLiteral("EnrikkoisiCmd11"), QStringLiteral("EivatoleCmd12"),
            QStringLiteral("EnmyisiCmd13"),    QStringLiteral("EnkayCmd14"),
            QStringLiteral("EnoleCmd15"),      QStringLiteral("EnkiillotaCmd16"),
            QStringLiteral("TulisinCmd17"),    QStringLiteral("EnvastaaCmd18"),
            QStringLiteral("EiollutCmd19"),    QStringLiteral("RakkausCmd20"),
            QStringLiteral("FarkutCmd21"),     QStringLiteral("SulkkisCmd22"),
            QStringLiteral("EnsoisiCmd23"),    QStringLiteral("EnoleCmd24"),
            QStringLiteral("EnajatteleCmd25")};
}

QStringList answersForThirtySeven()
{
    // The lowest answers except five, and the donation question decides the rest.
    QStringList answers = lowestAnswers();
    answers[2] = QStringLiteral("KyllaolenCmd3");   // +6
    answers[6] = QStringLiteral("KyllapollinCmd7"); // +9
    answers[7] = QStringLiteral("OtansenCmd8");     // +2
    answers[10] = QStringLiteral("RikkoisinCmd11"); // +7
    answers[12] = QStringLiteral("MyisinCmd13");    // +6
    return answers;
}

QString diagnosisRow(int row)
{
    return TextRecord::instance().diagnosisRow(row);
}
