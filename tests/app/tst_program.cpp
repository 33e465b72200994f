// The program as main() sets it up, started the way a desktop may start it: with "-reverse" (a
// right-to-left desktop), and ended by the session or the system rather than by the user.

#include "programfixture.h"

#include "app/program.h"
#include "forms/introfrm.h"
#include "forms/kysymysfrm.h"
#include "forms/meterbar.h"
#include "forms/statusfrm.h"
#include "forms/tietoafrm.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <optional>

using forms::KysymysFrm;
using forms::MeterBar;
using forms::StatusFrm;

namespace {
QImage drawn(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}
} // namespace

class TestProgram : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void startedReversedStillReadsLeftToRight();
    void donationSliderRunsFromTheLeft();
    void meterFillsFromTheLeft();
    void quitFromTheSessionEndsTheProgram_data();
    void quitFromTheSessionEndsTheProgram();

private:
    std::optional<ProgramFixture> m_program;
};

void TestProgram::initTestCase()
{
    // ctest starts this test with -reverse: Qt has set the application right to left, as on a
    // right-to-left desktop, before the fixture sets it up as main() does.
    QCOMPARE(QGuiApplication::layoutDirection(), Qt::RightToLeft);
}

void TestProgram::init()
{
    m_program.emplace();
}

void TestProgram::cleanup()
{
    m_program.reset();
}

void TestProgram::startedReversedStillReadsLeftToRight()
{
    QCOMPARE(m_program->windows.introFrm().layoutDirection(), Qt::LeftToRight);
    // The menu and the name box's own context menu are windows of their own.
    QCOMPARE(control<QMenu>(m_program->windows.introFrm(), QStringLiteral("YleistaMenu"))
                 ->layoutDirection(),
             Qt::LeftToRight);
    std::unique_ptr<QMenu> context(
        control<QLineEdit>(m_program->windows.introFrm(), QStringLiteral("NimiTxt"))
            ->createStandardContextMenu());
    QCOMPARE(context->layoutDirection(), Qt::LeftToRight);
}

void TestProgram::donationSliderRunsFromTheLeft()
{
    KysymysFrm* questionnaire = m_program->questionnaireAt(9);
    QVERIFY(questionnaire);
    auto* slider = control<QSlider>(*questionnaire, QStringLiteral("KysymysSlider9"));
    auto* confirm = control<QPushButton>(*questionnaire, QStringLiteral("markkaaCmd9"));
    // The right arrow moves the amount up, to the right.
    for (int step = 0; step < 3; ++step)
        QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(slider->value(), 3);
    QCOMPARE(confirm->text(), QStringLiteral(" 3 &markkaa"));
    // The caption is drawn number first, as a left-to-right button draws it.
    QPushButton reference(confirm->text());
    reference.setLayoutDirection(Qt::LeftToRight);
    reference.setFont(confirm->font());
    reference.resize(confirm->size());
    QCOMPARE(drawn(*confirm), drawn(reference));
}

void TestProgram::meterFillsFromTheLeft()
{
    StatusFrm* results = m_program->runTest(QStringLiteral("Nimi"), answersForThirtySeven(), 0);
    QVERIFY(results);
    auto* meter = control<MeterBar>(*results, QStringLiteral("GraphicProg"));
    QCOMPARE(meter->meterValue(), 18.5f);
    MeterBar reference;
    reference.setLayoutDirection(Qt::LeftToRight);
    reference.setRange(meter->minimum(), meter->maximum());
    reference.setFont(meter->font());
    reference.setTextVisible(meter->isTextVisible());
    reference.resize(meter->size());
    reference.setMeterValue(18.5f);
    QCOMPARE(drawn(*meter), drawn(reference));
}

void TestProgram::quitFromTheSessionEndsTheProgram_data()
{
    QTest::addColumn<QString>("where");
    QTest::newRow("start window") << "start";
    QTest::newRow("during a test") << "test";
    QTest::newRow("results, with the About window open") << "results";
    QTest::newRow("About window over the start window") << "about";
}

void TestProgram::quitFromTheSessionEndsTheProgram()
{
    QFETCH(QString, where);
    app::WindowRegistry& windows = m_program->windows;
    if (where == u"results" || where == u"about")
        windows.show(windows.tietoaFrm());
    if (where == u"test")
        QVERIFY(m_program->questionnaireAt(7));
    else if (where == u"results")
        QVERIFY(m_program->runTest(QStringLiteral("Nimi"), highestAnswers(), 0));

    // The session manager's "die" and the system's quit both come as QCoreApplication::quit(),
    // which Qt acts on only while the event loop runs.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QTimer refused;
    refused.setSingleShot(true);
    connect(&refused, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
    refused.start(5000);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(m_program->ended);
    QVERIFY(m_program->visibleWindows().isEmpty());
}

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
