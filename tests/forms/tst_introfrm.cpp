#include "programfixture.h"

#include "forms/formstyle.h"
#include "forms/introfrm.h"
#include "forms/kysymysfrm.h"
#include "forms/statusfrm.h"
#include "forms/tietoafrm.h"
#include "version.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>
#include <optional>

using forms::IntroFrm;
using forms::KysymysFrm;
using forms::StatusFrm;
using forms::TietoaFrm;
using forms::twipsRect;

class TestIntroFrm : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void startsAloneWithDisabledButtonAndFocusInNameBox();
    void typingEnablesAndEmptyingDisablesTheButton();
    void blanksAlsoEnableTheButton();
    void enterInNameBoxDoesNotStartTheTest();
    void accessKeyDoesNothingWhileDisabled();
    void startsTheTest_data();
    void startsTheTest();
    void quits_data();
    void quits();
    void aboutOpensOnceFromMenuAndPicture();
    void singleClickOnPictureDoesNothing();
    void closeBoxEndsTheProgram();
    void menuStructure();
    void geometry_data();
    void geometry();
    void fonts_data();
    void fonts();
    void windowIsFixedWithoutMaximise();
    void texts();
    void tabOrder();
    void programRestsWhileTheStartWindowIsHidden_data();
    void programRestsWhileTheStartWindowIsHidden();
    void buttonIsRightAtOnceWhenTheWindowComesBack_data();
    void buttonIsRightAtOnceWhenTheWindowComesBack();

private:
    IntroFrm& intro() { return m_program->windows.introFrm(); }
    QLineEdit* nameBox() { return control<QLineEdit>(intro(), QStringLiteral("NimiTxt")); }
    QPushButton* startButton()
    {
        return control<QPushButton>(intro(), QStringLiteral("AloitaCmd"));
    }
    QTimer* timer() { return intro().findChild<QTimer*>(QStringLiteral("Timer1")); }
    void typeName(const QString& name);

    std::optional<ProgramFixture> m_program;
};

void TestIntroFrm::init()
{
    m_program.emplace();
}

void TestIntroFrm::cleanup()
{
    m_program.reset();
}

void TestIntroFrm::typeName(const QString& name)
{
    QTest::keyClicks(nameBox(), name);
    QTRY_VERIFY(startButton()->isEnabled());
}

void TestIntroFrm::startsAloneWithDisabledButtonAndFocusInNameBox()
{
    QCOMPARE(m_program->visibleWindows(), QList<QWidget*>{&intro()});
    QVERIFY(!m_program->kysymysIfCreated());
    QVERIFY(!m_program->statusIfCreated());
    QVERIFY(!m_program->tietoaIfCreated());
    QVERIFY(!startButton()->isEnabled());
    QCOMPARE(QApplication::focusWidget(), nameBox());
    QVERIFY(nameBox()->text().isEmpty());
    QVERIFY(timer()->isActive());
}

void TestIntroFrm::typingEnablesAndEmptyingDisablesTheButton()
{
    QTest::keyClick(nameBox(), Qt::Key_N);
    QTRY_VERIFY(startButton()->isEnabled());
    QTest::keyClick(nameBox(), Qt::Key_Backspace);
    QTRY_VERIFY(!startButton()->isEnabled());
    QVERIFY(waitForTicks(timer(), 3));
    QVERIFY(!startButton()->isEnabled());
}

void TestIntroFrm::blanksAlsoEnableTheButton()
{
    QTest::keyClicks(nameBox(), QStringLiteral("   "));
    QTRY_VERIFY(startButton()->isEnabled());
    QCOMPARE(intro().playerName(), QStringLiteral("   "));
}

void TestIntroFrm::enterInNameBoxDoesNotStartTheTest()
{
    typeName(QStringLiteral("Nimi"));
    QTest::keyClick(nameBox(), Qt::Key_Return);
    QTest::keyClick(nameBox(), Qt::Key_Enter);
    QVERIFY(waitForTicks(timer(), 40));
    QVERIFY(!m_program->kysymysIfCreated());
    QVERIFY(intro().isVisible());
}

void TestIntroFrm::accessKeyDoesNothingWhileDisabled()
{
    QTest::keyClick(nameBox(), Qt::Key_A, Qt::AltModifier);
    QVERIFY(waitForTicks(timer(), 40));
    QVERIFY(!m_program->kysymysIfCreated());
    QVERIFY(nameBox()->text().isEmpty());
}

void TestIntroFrm::startsTheTest_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("click") << "click";
    QTest::newRow("Alt+A") << "alt";
    QTest::newRow("Enter on the button") << "enter";
    QTest::newRow("Space on the button") << "space";
    // A password manager's auto-type: no time for the polling between the keys.
    QTest::newRow("paste, Tab and Enter at once") << "auto-type";
}

void TestIntroFrm::startsTheTest()
{
    QFETCH(QString, how);
    if (how != u"auto-type")
        typeName(QStringLiteral("Nimi"));
    if (how == u"auto-type") {
        QGuiApplication::clipboard()->setText(QStringLiteral("Nimi"));
        QTest::keyClick(nameBox(), Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(nameBox(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    } else if (how == u"click") {
        QVERIFY(userClick(startButton()));
    } else if (how == u"alt") {
        QTest::keyClick(nameBox(), Qt::Key_A, Qt::AltModifier);
    } else {
        QTest::keyClick(nameBox(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), startButton());
        QTest::keyClick(startButton(), how == u"enter" ? Qt::Key_Return : Qt::Key_Space);
    }
    QTRY_VERIFY(m_program->kysymysIfCreated() && m_program->kysymysIfCreated()->isVisible());
    QVERIFY(!intro().isVisible());
    QCOMPARE(m_program->visibleWindows(), QList<QWidget*>{m_program->kysymysIfCreated()});
    QVERIFY(QTest::qWaitForWindowActive(m_program->kysymysIfCreated()));
    // The name stays in the hidden start window.
    QCOMPARE(intro().playerName(), QStringLiteral("Nimi"));
}

void TestIntroFrm::quits_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Ctrl+X in the name box") << "ctrl-x";
    QTest::newRow("Ctrl+X on the start button") << "ctrl-x-button";
    QTest::newRow("menu with the keyboard") << "menu-keys";
    QTest::newRow("menu item") << "menu-item";
}

void TestIntroFrm::quits()
{
    QFETCH(QString, how);
    typeName(QStringLiteral("Nimi"));
    nameBox()->selectAll();
    if (how == u"ctrl-x") {
        QTest::keyClick(nameBox(), Qt::Key_X, Qt::ControlModifier);
    } else if (how == u"ctrl-x-button") {
        startButton()->setFocus();
        QTest::keyClick(startButton(), Qt::Key_X, Qt::ControlModifier);
    } else if (how == u"menu-keys") {
        QTest::keyClick(nameBox(), Qt::Key_Y, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_L);
    } else {
        control<QAction>(intro(), QStringLiteral("LopetaFile"))->trigger();
    }
    QVERIFY(m_program->ended);
    QVERIFY(m_program->visibleWindows().isEmpty());
    // Ctrl+X ends the program rather than cutting the name.
    QCOMPARE(nameBox()->text(), QStringLiteral("Nimi"));
}

void TestIntroFrm::aboutOpensOnceFromMenuAndPicture()
{
    QTest::keyClick(nameBox(), Qt::Key_Y, Qt::AltModifier);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_T);
    QTRY_VERIFY(m_program->tietoaIfCreated() && m_program->tietoaIfCreated()->isVisible());
    QWidget* about = m_program->tietoaIfCreated();
    QVERIFY(QTest::qWaitForWindowActive(about));

    QVERIFY(switchTo(&intro()));
    auto* picture = control<QLabel>(intro(), QStringLiteral("OtsikkoImg"));
    QTest::mouseDClick(picture, Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowActive(about));
    control<QAction>(intro(), QStringLiteral("TietoaFile"))->trigger();

    int aboutWindows = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        aboutWindows += qobject_cast<TietoaFrm*>(w) ? 1 : 0;
    QCOMPARE(aboutWindows, 1);
    QVERIFY(intro().isVisible());
    QCOMPARE(m_program->visibleWindows().size(), 2);
}

void TestIntroFrm::singleClickOnPictureDoesNothing()
{
    auto* picture = control<QLabel>(intro(), QStringLiteral("OtsikkoImg"));
    QVERIFY(userClick(picture));
    QVERIFY(waitForTicks(timer(), 80)); // past any double-click interval
    QVERIFY(!m_program->tietoaIfCreated());
}

void TestIntroFrm::closeBoxEndsTheProgram()
{
    // Also when other windows exist hidden in the background.
    m_program->windows.show(m_program->windows.tietoaFrm());
    m_program->windows.hide(m_program->windows.tietoaFrm());
    QVERIFY(!intro().close());
    QVERIFY(m_program->ended);
    QVERIFY(m_program->visibleWindows().isEmpty());
}

void TestIntroFrm::menuStructure()
{
    auto* menu = control<QMenu>(intro(), QStringLiteral("YleistaMenu"));
    QCOMPARE(menu->title(), QStringLiteral("&Yleistä"));
    QCOMPARE(intro().menuBar()->actions(), QList<QAction*>{menu->menuAction()});
    const QList<QAction*> items = menu->actions();
    QCOMPARE(items.size(), 3);
    QCOMPARE(items[0]->objectName(), QStringLiteral("TietoaFile"));
    QCOMPARE(items[0]->text(), QStringLiteral("&Tietoa..."));
    QCOMPARE(items[1]->objectName(), QStringLiteral("ViivaFile2"));
    QVERIFY(items[1]->isSeparator());
    QCOMPARE(items[2]->objectName(), QStringLiteral("LopetaFile"));
    QCOMPARE(items[2]->text(), QStringLiteral("&Lopeta"));
    QCOMPARE(items[2]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
}

void TestIntroFrm::geometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("frame") << "OptionsFrame" << twipsRect(120, 0, 5655, 3735);
    QTest::newRow("button") << "AloitaCmd" << twipsRect(3480, 3000, 1935, 375);
    QTest::newRow("text box") << "NimiTxt" << twipsRect(240, 3000, 3015, 375);
    QTest::newRow("image") << "OtsikkoImg" << twipsRect(1320, 120, 3000, 750);
    QTest::newRow("long label") << "IntroLbl" << twipsRect(240, 960, 5295, 1695);
    QTest::newRow("name label") << "NimiLbl" << twipsRect(240, 2760, 735, 255);
}

void TestIntroFrm::geometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    QCOMPARE(control<QWidget>(intro(), name)->geometry(), rect);
}

void TestIntroFrm::fonts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<qreal>("points");
    QTest::newRow("frame") << "OptionsFrame" << 8.25;
    QTest::newRow("name box") << "NimiTxt" << 8.25;
    QTest::newRow("button") << "AloitaCmd" << 9.75;
    QTest::newRow("long label") << "IntroLbl" << 9.75;
    QTest::newRow("name label") << "NimiLbl" << 9.75;
}

void TestIntroFrm::fonts()
{
    QFETCH(QString, name);
    QFETCH(qreal, points);
    const QFont font = control<QWidget>(intro(), name)->font();
    QCOMPARE(font.family(), QStringLiteral("Verdana"));
    QCOMPARE(font.pointSizeF(), points);
    QVERIFY(!font.bold() && !font.italic() && !font.underline());
    QCOMPARE(intro().font().pointSizeF(), 9.75);
}

void TestIntroFrm::windowIsFixedWithoutMaximise()
{
    QCOMPARE(intro().centralWidget()->size(), QSize(393, 257));
    QCOMPARE(intro().size(), QSize(393, 257 + intro().menuBar()->height()));
    QCOMPARE(intro().minimumSize(), intro().maximumSize());
    QVERIFY(!(intro().windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(intro().windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(intro().windowIcon().availableSizes().contains(QSize(32, 32)));
    const QPixmap picture = control<QLabel>(intro(), QStringLiteral("OtsikkoImg"))->pixmap();
    QCOMPARE(picture.deviceIndependentSize().toSize(), QSize(200, 50));
}

void TestIntroFrm::texts()
{
    QCOMPARE(intro().windowTitle(), QStringLiteral(AHNEMETRI_TITLE ""));
    QCOMPARE(startButton()->text(), QStringLiteral("&Aloita testi"));
    QCOMPARE(startButton()->toolTip(), QStringLiteral("Aloittaa testin"));
    QCOMPARE(nameBox()->toolTip(), QStringLiteral("Kirjoita nimesi tekstikenttään"));
    QCOMPARE(control<QLabel>(intro(), QStringLiteral("OtsikkoImg"))->toolTip(),
             QStringLiteral("Ahnemetri"));
    QCOMPARE(control<QLabel>(intro(), QStringLiteral("NimiLbl"))->text(),
             QStringLiteral("Nimesi:"));
    auto* introLabel = control<QLabel>(intro(), QStringLiteral("IntroLbl"));
    QVERIFY(introLabel->wordWrap());
    QCOMPARE(introLabel->text(),
             QStringLiteral("Tämä ohjelma testaa sinun himosi rahaan ja mammonaan. Vastaat vain "
                            "yksinkertaisesti tuleviin kysymyksiin totuuden mukaisesti. "
                            "Kysymystyylejä on erilaisia ja kysymyksiä on 25 kappaletta. Kirjoita "
                            "aluksi nimesi tekstikenttään ja paina Aloita testi -nappulaa. Testin "
                            "voit keskeyttää painamalle X -nappulaa yläkulmassa."));
    QVERIFY(control<QGroupBox>(intro(), QStringLiteral("OptionsFrame"))->title().isEmpty());
}

void TestIntroFrm::tabOrder()
{
    QCOMPARE(tabCycle(&intro()), QStringList{QStringLiteral("NimiTxt")});
    typeName(QStringLiteral("x"));
    QCOMPARE(tabCycle(&intro()),
             (QStringList{QStringLiteral("NimiTxt"), QStringLiteral("AloitaCmd")}));
}

namespace {

// Counts the timer events that reach any object of the program, except the test's own clock.
class TimerEventCounter : public QObject {
public:
    explicit TimerEventCounter(const QObject* clock)
        : m_clock(clock)
    {
        qApp->installEventFilter(this);
    }
    ~TimerEventCounter() override { qApp->removeEventFilter(this); }
    int count() const { return m_count; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Timer && watched != m_clock)
            ++m_count;
        return false;
    }

private:
    const QObject* m_clock;
    int m_count = 0;
};

// The timer events the program gets while the user leaves it alone for `ms` milliseconds.
int timerEventsAtRest(int ms)
{
    QEventLoop loop;
    QTimer clock;
    clock.setSingleShot(true);
    QObject::connect(&clock, &QTimer::timeout, &loop, &QEventLoop::quit);
    TimerEventCounter counter(&clock);
    clock.start(ms);
    loop.exec();
    return counter.count();
}

// Whether the button was enabled when it was first painted.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QWidget* widget)
        : m_widget(widget)
    {
        widget->installEventFilter(this);
    }
    std::optional<bool> enabled;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_widget && event->type() == QEvent::Paint && !enabled)
            enabled = m_widget->isEnabled();
        return false;
    }

private:
    QWidget* m_widget;
};

} // namespace

void TestIntroFrm::programRestsWhileTheStartWindowIsHidden_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<bool>("polling");
    QTest::newRow("start window (polls)") << "intro" << true;
    QTest::newRow("About over the start window (polls)") << "about" << true;
    QTest::newRow("questionnaire") << "questionnaire" << false;
    QTest::newRow("About during the test") << "about-test" << false;
    QTest::newRow("results") << "results" << false;
}

void TestIntroFrm::programRestsWhileTheStartWindowIsHidden()
{
    QFETCH(QString, where);
    QFETCH(bool, polling);
    if (where.startsWith(u"about"))
        control<QAction>(intro(), QStringLiteral("TietoaFile"))->trigger();
    if (where == u"about-test") {
        QVERIFY(switchTo(&intro()));
        QVERIFY(m_program->startTest(QStringLiteral("Nimi")));
        QCOMPARE(m_program->visibleWindows().size(), 2);
    } else if (where == u"questionnaire") {
        QVERIFY(m_program->startTest(QStringLiteral("Nimi")));
    } else if (where == u"results") {
        QVERIFY(m_program->runTest(QStringLiteral("Nimi"), lowestAnswers(), 0));
    }
    QCOMPARE(intro().isVisible(), polling);

    // 200 ms are 40 ticks of the start window's polling.
    const int events = timerEventsAtRest(200);
    if (polling)
        QVERIFY2(events >= 10, qPrintable(QString::number(events)));
    else
        QCOMPARE(events, 0);
}

void TestIntroFrm::buttonIsRightAtOnceWhenTheWindowComesBack_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("Uusi testi clears the name") << "new-test" << false;
    QTest::newRow("close box of the questionnaire keeps it") << "close-box" << true;
}

void TestIntroFrm::buttonIsRightAtOnceWhenTheWindowComesBack()
{
    QFETCH(QString, how);
    QFETCH(bool, enabled);
    std::optional<FirstPaint> firstPaint;
    if (how == u"new-test") {
        StatusFrm* results = m_program->runTest(QStringLiteral("Nimi"), highestAnswers(), 0);
        QVERIFY(results);
        firstPaint.emplace(startButton());
        QVERIFY(userClick(control<QPushButton>(*results, QStringLiteral("UusiCmd"))));
    } else {
        KysymysFrm* questionnaire = m_program->startTest(QStringLiteral("Nimi"));
        QVERIFY(questionnaire);
        firstPaint.emplace(startButton());
        QVERIFY(!questionnaire->close());
    }
    QVERIFY(intro().isVisible());
    QCOMPARE(startButton()->isEnabled(), enabled);
    QTRY_VERIFY(firstPaint->enabled.has_value());
    QCOMPARE(*firstPaint->enabled, enabled);

    // The polling is back: the button follows the name again.
    if (enabled)
        nameBox()->clear();
    else
        QTest::keyClick(nameBox(), Qt::Key_N);
    QTRY_COMPARE(startButton()->isEnabled(), !enabled);
}

QTEST_MAIN(TestIntroFrm)
#include "tst_introfrm.moc"
