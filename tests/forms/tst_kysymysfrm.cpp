#include "programfixture.h"

#include "forms/formstyle.h"
#include "forms/kysymysfrm.h"
#include "version.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

#include <optional>

using forms::KysymysFrm;
using forms::twipsRect;

namespace {

QString panelName(int number)
{
    return QStringLiteral("KysymysFrame") + QString::number(number);
}

// The left answers of questions 1 to 8, worth 30 points together.
const QStringList leftAnswersToEight{
    QStringLiteral("AvautuuCmd"),      QStringLiteral("KyllapelkaanCmd2"),
    QStringLiteral("KyllaolenCmd3"),   QStringLiteral("KyllakaytanCmd4"),
    QStringLiteral("KyllavoisinCmd5"), QStringLiteral("KyllanostaisinCmd6"),
    QStringLiteral("KyllapollinCmd7"), QStringLiteral("OtansenCmd8")};

} // namespace

class TestKysymysFrm : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void firstShowShowsQuestionOneOnly();
    void windowIsFixed();
    void panelChains_data();
    void panelChains();
    void laterPanelCoversEverythingBelow_data();
    void laterPanelCoversEverythingBelow();
    void controlsOfAPanel_data();
    void controlsOfAPanel();
    void tabOrderWithinTheTopPanel_data();
    void tabOrderWithinTheTopPanel();
    void focusGoesToTheNewTopPanel();
    void sliderCaptionFollowsEveryMove_data();
    void sliderCaptionFollowsEveryMove();
    void confirmKeepsTheAmountUnderTheNextPanel();
    void sliderFollowsTheMouse();
    void coveredButtonsCannotAnswer();
    void enterAnswersOnlyTheTopQuestion();
    void accessKeysReachOnlyTheTopPanel();
    void twoQuickClicksAnswerTwoQuestions_data();
    void twoQuickClicksAnswerTwoQuestions();
    void lowestRunningTotal();

private:
    KysymysFrm& questionnaire() { return *m_questionnaire; }
    QSlider* slider()
    {
        return control<QSlider>(questionnaire(), QStringLiteral("KysymysSlider9"));
    }
    QPushButton* confirm()
    {
        return control<QPushButton>(questionnaire(), QStringLiteral("markkaaCmd9"));
    }
    bool answerAll(const QStringList& buttons);

    std::optional<ProgramFixture> m_program;
    KysymysFrm* m_questionnaire = nullptr;
};

void TestKysymysFrm::init()
{
    m_program.emplace();
    m_questionnaire = m_program->startTest(QStringLiteral("Nimi"));
    QVERIFY(m_questionnaire);
}

void TestKysymysFrm::cleanup()
{
    m_questionnaire = nullptr;
    m_program.reset();
}

bool TestKysymysFrm::answerAll(const QStringList& buttons)
{
    for (const QString& button : buttons) {
        if (!answer(questionnaire(), button))
            return false;
    }
    return true;
}

void TestKysymysFrm::firstShowShowsQuestionOneOnly()
{
    QCOMPARE(questionnaire().windowTitle(), QStringLiteral(AHNEMETRI_TITLE " - Testi käynnissä"));
    QCOMPARE(topQuestion(questionnaire()), 1);
    QVERIFY(shownPanelsFormARun(questionnaire()));
    QCOMPARE(questionnaire().moneypercent(), qint16(0));
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("AvautuuCmd"));
    QCOMPARE(control<QGroupBox>(questionnaire(), panelName(1))->title(),
             QStringLiteral("Kysymys 1/25"));
    QCOMPARE(control<QLabel>(questionnaire(), QStringLiteral("KysymysLbl1"))->text(),
             QStringLiteral("Avautuuko kukkarosi tarvittaessa muillekin kuin itsellesi?"));
    QCOMPARE(control<QPushButton>(questionnaire(), QStringLiteral("EiAvauduCmd"))->text(),
             QStringLiteral("&Ei avaudu"));
    QCOMPARE(confirm()->text(), QStringLiteral("0 &markkaa"));
    QCOMPARE(slider()->value(), 0);
}

void TestKysymysFrm::windowIsFixed()
{
    QCOMPARE(questionnaire().size(), QSize(361, 169));
    QCOMPARE(questionnaire().minimumSize(), questionnaire().maximumSize());
    QVERIFY(!(questionnaire().windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!questionnaire().windowIcon().isNull());
    QCOMPARE(questionnaire().font().family(), QStringLiteral("Verdana"));
    QCOMPARE(questionnaire().font().pointSizeF(), 8.25);
}

void TestKysymysFrm::panelChains_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("rect");
    // clang-format off
    const QList<QList<int>> chains{{1, 2, 3, 4, 5, 6, 7}, {8, 9, 10, 11, 12}, {13}, {14, 15},
                                   {16, 17, 18, 19, 20, 21, 22, 23, 24, 25}};
    for (const QList<int>& chain : chains) {
        for (qsizetype i = 0; i < chain.size(); ++i) {
            const bool head = i == 0;
            QTest::addRow("%d", chain[i])
                << chain[i] << (head ? QStringLiteral("KysymysFrm") : panelName(chain[i - 1]))
                << (head ? twipsRect(120, 120, 5175, 2295) : twipsRect(0, 0, 5175, 2295));
        }
    }
    // clang-format on
}

void TestKysymysFrm::panelChains()
{
    QFETCH(int, number);
    QFETCH(QString, container);
    QFETCH(QRect, rect);
    auto* frame = control<QGroupBox>(questionnaire(), panelName(number));
    QCOMPARE(frame->parentWidget()->objectName(), container);
    QCOMPARE(frame->geometry(), rect);
    QCOMPARE(frame->title(), QStringLiteral("Kysymys %1/25").arg(number));
}

void TestKysymysFrm::laterPanelCoversEverythingBelow_data()
{
    QTest::addColumn<int>("top");
    for (const int top : {2, 7, 8, 9, 13, 14, 16, 25})
        QTest::addRow("%d", top) << top;
}

void TestKysymysFrm::laterPanelCoversEverythingBelow()
{
    QFETCH(int, top);
    // Answering with the left spot every time; question 9 is confirmed at 0 markka.
    const QPoint leftSpot = control<QWidget>(questionnaire(), QStringLiteral("AvautuuCmd"))
                                ->mapTo(&questionnaire(), QPoint(5, 5));
    while (topQuestion(questionnaire()) < top) {
        QWidget* hit = questionnaire().childAt(leftSpot);
        QVERIFY(userClick(hit));
    }
    QVERIFY(shownPanelsFormARun(questionnaire()));
    QWidget* topPanel = control<QWidget>(questionnaire(), panelName(top));
    // The caption strip and the middle of the panel area belong to the top panel.
    for (const QPoint spot : {QPoint(30, 12), QPoint(180, 80), QPoint(340, 150)}) {
        QWidget* hit = questionnaire().childAt(spot);
        QVERIFY2(hit == topPanel || topPanel->isAncestorOf(hit),
                 qPrintable(hit ? hit->objectName() : QStringLiteral("nothing")));
    }
    QVERIFY(!isReachable(control<QWidget>(questionnaire(), QStringLiteral("AvautuuCmd"))));
}

void TestKysymysFrm::controlsOfAPanel_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QString>("text");
    // clang-format off
    QTest::newRow("one-line label") << "KysymysLbl1" << "KysymysFrame1" << twipsRect(120, 360, 4935, 255)
                                    << "Avautuuko kukkarosi tarvittaessa muillekin kuin itsellesi?";
    QTest::newRow("three-line label") << "KysymysLbl18" << "KysymysFrame18"
        << twipsRect(120, 360, 4935, 495)
        << "Jos sinua käsketään tekemään jotain, vastaatko ensin: \"Paljon maksat?\"?";
    QTest::newRow("label of question 19") << "Label1" << "KysymysFrame19" << twipsRect(120, 360, 4935, 495)
        << "Oliko sinulla jo pienenä tarvis näperrellä kaikkea arvokasta?";
    QTest::newRow("left button") << "KyllaolenCmd3" << "KysymysFrame3" << twipsRect(240, 1800, 1575, 375)
                                 << "&Kyllä olen";
    QTest::newRow("right button") << "SulkkisCmd22" << "KysymysFrame22"
                                  << twipsRect(2160, 1800, 1575, 375) << "P&elaan sulkkista";
    QTest::newRow("button without Cmd") << "Enkayta4" << "KysymysFrame4" << twipsRect(2160, 1800, 1575, 375)
                                        << "&En käytä";
    QTest::newRow("slider") << "KysymysSlider9" << "KysymysFrame9" << twipsRect(360, 840, 4455, 495) << "";
    QTest::newRow("unit label") << "mkLbl9" << "KysymysFrame9" << twipsRect(4800, 840, 255, 255) << "mk";
    QTest::newRow("confirm button") << "markkaaCmd9" << "KysymysFrame9" << twipsRect(240, 1800, 1575, 375)
                                    << "0 &markkaa";
    // clang-format on
}

void TestKysymysFrm::controlsOfAPanel()
{
    QFETCH(QString, name);
    QFETCH(QString, container);
    QFETCH(QRect, rect);
    QFETCH(QString, text);
    QWidget* widget = control<QWidget>(questionnaire(), name);
    QCOMPARE(widget->parentWidget()->objectName(), container);
    QCOMPARE(widget->geometry(), rect);
    QCOMPARE(widget->font().family(), QStringLiteral("Verdana"));
    QCOMPARE(widget->font().pointSizeF(), 8.25);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        QCOMPARE(label->text(), text);
        QCOMPARE(label->textFormat(), Qt::PlainText);
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        QCOMPARE(button->text(), text);
    } else {
        auto* slider = qobject_cast<QSlider*>(widget);
        QVERIFY(slider);
        QCOMPARE(slider->orientation(), Qt::Horizontal);
        QCOMPARE(slider->minimum(), 0);
        QCOMPARE(slider->maximum(), 20);
        QCOMPARE(slider->tickPosition(), QSlider::TicksBelow);
    }
}

void TestKysymysFrm::tabOrderWithinTheTopPanel_data()
{
    QTest::addColumn<int>("question");
    QTest::addColumn<QStringList>("order");
    // clang-format off
    QTest::newRow("question 1") << 1 << QStringList{"AvautuuCmd", "EiAvauduCmd"};
    QTest::newRow("question 6, right first") << 6 << QStringList{"EnnostaisiCmd6", "KyllanostaisinCmd6"};
    QTest::newRow("question 9, slider first") << 9 << QStringList{"KysymysSlider9", "markkaaCmd9"};
    // clang-format on
}

void TestKysymysFrm::tabOrderWithinTheTopPanel()
{
    QFETCH(int, question);
    QFETCH(QStringList, order);
    QVERIFY(answerAll(leftAnswersToEight.first(question - 1)));
    QCOMPARE(topQuestion(questionnaire()), question);
    QCOMPARE(tabCycle(&questionnaire()), order);
}

void TestKysymysFrm::focusGoesToTheNewTopPanel()
{
    const QStringList firstControls{
        "AvautuuCmd",     "KyllapelkaanCmd2", "KyllaolenCmd3", "KyllakaytanCmd4", "KyllavoisinCmd5",
        "EnnostaisiCmd6", "KyllapollinCmd7",  "OtansenCmd8",   "KysymysSlider9",  "RahaCmd10"};
    for (int question = 1; question <= 9; ++question) {
        QCOMPARE(QApplication::focusWidget()->objectName(), firstControls[question - 1]);
        QVERIFY(answer(questionnaire(), question == 9 ? QStringLiteral("markkaaCmd9")
                                                      : firstControls[question - 1]));
    }
    QCOMPARE(QApplication::focusWidget()->objectName(), firstControls[9]);
}

void TestKysymysFrm::sliderCaptionFollowsEveryMove_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("caption");
    // clang-format off
    QTest::newRow("one is singular") << QList<int>{Qt::Key_Right} << 1 << " 1 &markka";
    QTest::newRow("two") << QList<int>{Qt::Key_Right, Qt::Key_Right} << 2 << " 2 &markkaa";
    QTest::newRow("back to zero") << QList<int>{Qt::Key_Right, Qt::Key_Left} << 0 << " 0 &markkaa";
    QTest::newRow("page up") << QList<int>{Qt::Key_PageUp} << 5 << " 5 &markkaa";
    QTest::newRow("end") << QList<int>{Qt::Key_End} << 20 << " 20 &markkaa";
    QTest::newRow("cannot pass the end") << QList<int>{Qt::Key_End, Qt::Key_Right} << 20 << " 20 &markkaa";
    QTest::newRow("cannot go below zero") << QList<int>{Qt::Key_Left} << 0 << "0 &markkaa";
    // clang-format on
}

void TestKysymysFrm::sliderCaptionFollowsEveryMove()
{
    QFETCH(QList<int>, keys);
    QFETCH(int, value);
    QFETCH(QString, caption);
    QVERIFY(answerAll(leftAnswersToEight));
    QCOMPARE(QApplication::focusWidget(), slider());
    for (const int key : keys)
        QTest::keyClick(slider(), Qt::Key(key));
    QCOMPARE(slider()->value(), value);
    QCOMPARE(confirm()->text(), caption);
}

void TestKysymysFrm::confirmKeepsTheAmountUnderTheNextPanel()
{
    // What each amount scores is read in tst_usertexts against the record of texts.
    QVERIFY(answerAll(leftAnswersToEight));
    for (int step = 0; step < 7; ++step)
        QTest::keyClick(slider(), Qt::Key_Right);
    QVERIFY(userClick(confirm()));
    QCOMPARE(topQuestion(questionnaire()), 10);
    QVERIFY(shownPanelsFormARun(questionnaire()));
    QCOMPARE(slider()->value(), 7);
    QCOMPARE(confirm()->text(), QStringLiteral(" 7 &markkaa"));
}

void TestKysymysFrm::sliderFollowsTheMouse()
{
    QVERIFY(answerAll(leftAnswersToEight));
    // Dragging the handle to the far end of the track.
    QStyleOptionSlider option;
    option.initFrom(slider());
    option.orientation = Qt::Horizontal;
    option.minimum = slider()->minimum();
    option.maximum = slider()->maximum();
    option.sliderPosition = option.sliderValue = slider()->value();
    option.tickPosition = slider()->tickPosition();
    option.tickInterval = slider()->tickInterval();
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    const QPoint handle =
        slider()
            ->style()
            ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider())
            .center();
    QTest::mousePress(slider(), Qt::LeftButton, {}, handle);
    QTest::mouseMove(slider(), QPoint(slider()->width() / 2, handle.y()));
    QTest::mouseMove(slider(), QPoint(slider()->width() - 1, handle.y()));
    QTest::mouseRelease(slider(), Qt::LeftButton, {}, QPoint(slider()->width() - 1, handle.y()));
    QCOMPARE(slider()->value(), 20);
    QCOMPARE(confirm()->text(), QStringLiteral(" 20 &markkaa"));
}

void TestKysymysFrm::coveredButtonsCannotAnswer()
{
    auto* first = control<QPushButton>(questionnaire(), QStringLiteral("EiAvauduCmd"));
    QVERIFY(userClick(first));
    QCOMPARE(questionnaire().moneypercent(), qint16(4));
    QCOMPARE(topQuestion(questionnaire()), 2);
    // A press that reaches the covered button anyway, by any route, changes nothing.
    QVERIFY(!isReachable(first));
    first->click();
    QTest::mouseClick(first, Qt::LeftButton);
    QCOMPARE(questionnaire().moneypercent(), qint16(4));
    QCOMPARE(topQuestion(questionnaire()), 2);
    QVERIFY(first->focusPolicy() == Qt::NoFocus || !first->isVisible());
}

void TestKysymysFrm::enterAnswersOnlyTheTopQuestion()
{
    // Enter on question 1's focused button, then again: the second Enter answers question 2.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(topQuestion(questionnaire()), 2);
    QCOMPARE(questionnaire().moneypercent(), qint16(0));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(topQuestion(questionnaire()), 3);
    QCOMPARE(questionnaire().moneypercent(), qint16(4));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(topQuestion(questionnaire()), 4);
    QCOMPARE(questionnaire().moneypercent(), qint16(10));
}

void TestKysymysFrm::accessKeysReachOnlyTheTopPanel()
{
    QVERIFY(answerAll({QStringLiteral("EiAvauduCmd"), QStringLiteral("EnpelkaaCmd2")}));
    QCOMPARE(topQuestion(questionnaire()), 3);
    // "&En ole" of question 3, although "&Ei avaudu" and "&En pelkää" lie below it.
    QTest::keyClick(&questionnaire(), Qt::Key_E, Qt::AltModifier);
    QTRY_COMPARE(topQuestion(questionnaire()), 4);
    QCOMPARE(questionnaire().moneypercent(), qint16(4));
    QTest::keyClick(&questionnaire(), Qt::Key_K, Qt::AltModifier);
    QTRY_COMPARE(topQuestion(questionnaire()), 5);
    QCOMPARE(questionnaire().moneypercent(), qint16(8));
    QTest::keyClick(&questionnaire(), Qt::Key_E, Qt::AltModifier);
    QTRY_COMPARE(topQuestion(questionnaire()), 6);
    QCOMPARE(questionnaire().moneypercent(), qint16(10));
}

void TestKysymysFrm::twoQuickClicksAnswerTwoQuestions_data()
{
    QTest::addColumn<bool>("doubleClick");
    QTest::addColumn<int>("score");
    QTest::addColumn<int>("top");
    // "&Kyllä, pelkään" for question 2, then "&Kyllä olen" for question 3.
    QTest::newRow("two clicks") << false << 10 << 4;
    // The second click of a double click would answer a question the user never saw.
    QTest::newRow("a double click answers once") << true << 4 << 3;
}

void TestKysymysFrm::twoQuickClicksAnswerTwoQuestions()
{
    QFETCH(bool, doubleClick);
    QFETCH(int, score);
    QFETCH(int, top);
    QVERIFY(answer(questionnaire(), QStringLiteral("AvautuuCmd")));
    const QPoint leftSpot = control<QWidget>(questionnaire(), QStringLiteral("KyllapelkaanCmd2"))
                                ->mapTo(&questionnaire(), QPoint(10, 10));
    QVERIFY(userClick(questionnaire().childAt(leftSpot)));
    QWidget* second = questionnaire().childAt(leftSpot);
    if (doubleClick) {
        // Qt delivers the second press of a double click to widgets as a double click only.
        QTest::mouseDClick(second, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(second, Qt::LeftButton, {}, QPoint(10, 10));
    } else {
        QVERIFY(userClick(second));
    }
    QCOMPARE(questionnaire().moneypercent(), qint16(score));
    QCOMPARE(topQuestion(questionnaire()), top);
    // The next single click answers as always.
    QVERIFY(userClick(questionnaire().childAt(leftSpot)));
    QCOMPARE(topQuestion(questionnaire()), top + 1);
}

void TestKysymysFrm::lowestRunningTotal()
{
    const QStringList lowerToNineteen{"AvautuuCmd",  "EnpelkaaCmd2",    "EnoleCmd3",
                                      "Enkayta4",    "KyllavoisinCmd5", "EnnostaisiCmd6",
                                      "EnpolliCmd7", "EnotaCmd8"};
    QVERIFY(answerAll(lowerToNineteen));
    QTest::keyClick(slider(), Qt::Key_End);
    QVERIFY(answerAll({"markkaaCmd9", "MammonaCmd10", "EnrikkoisiCmd11", "EivatoleCmd12",
                       "EnmyisiCmd13", "EnkayCmd14", "EnoleCmd15", "EnkiillotaCmd16",
                       "TulisinCmd17", "EnvastaaCmd18", "EiollutCmd19"}));
    QCOMPARE(questionnaire().moneypercent(), qint16(2));
    QVERIFY(answer(questionnaire(), QStringLiteral("RakkausCmd20")));
    QCOMPARE(questionnaire().moneypercent(), qint16(0));
    QCOMPARE(topQuestion(questionnaire()), 21);
}

QTEST_MAIN(TestKysymysFrm)
#include "tst_kysymysfrm.moc"
