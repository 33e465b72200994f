#include "programfixture.h"

#include "forms/formstyle.h"
#include "forms/introfrm.h"
#include "forms/tietoafrm.h"
#include "version.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <optional>

using forms::TietoaFrm;
using forms::twipsRect;

class TestTietoaFrm : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void opensBesideTheStartWindowWithFocusOnOk();
    void okHides_data();
    void okHides();
    void reopensTheSameWindowUnchanged();
    void closeBoxHides();
    void staysOpenWhileATestStarts();
    void texts_data();
    void texts();
    void looks();

private:
    TietoaFrm& openAbout();

    std::optional<ProgramFixture> m_program;
};

void TestTietoaFrm::init()
{
    m_program.emplace();
}

void TestTietoaFrm::cleanup()
{
    m_program.reset();
}

TietoaFrm& TestTietoaFrm::openAbout()
{
    control<QAction>(m_program->windows.introFrm(), QStringLiteral("TietoaFile"))->trigger();
    TietoaFrm& about = m_program->windows.tietoaFrm();
    if (!QTest::qWaitForWindowActive(&about))
        qWarning("the About window did not become active");
    return about;
}

void TestTietoaFrm::opensBesideTheStartWindowWithFocusOnOk()
{
    TietoaFrm& about = openAbout();
    QCOMPARE(m_program->visibleWindows(),
             (QList<QWidget*>{&m_program->windows.introFrm(), &about}));
    QCOMPARE(QApplication::focusWidget(), control<QWidget>(about, QStringLiteral("OKcmd")));
    QCOMPARE(tabCycle(&about), QStringList{QStringLiteral("OKcmd")});
}

void TestTietoaFrm::okHides_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("click") << "click";
    QTest::newRow("Enter") << "enter";
    QTest::newRow("Space") << "space";
    QTest::newRow("Alt+O") << "alt";
}

void TestTietoaFrm::okHides()
{
    QFETCH(QString, how);
    TietoaFrm& about = openAbout();
    auto* ok = control<QPushButton>(about, QStringLiteral("OKcmd"));
    if (how == u"click")
        QVERIFY(userClick(ok));
    else if (how == u"enter")
        QTest::keyClick(ok, Qt::Key_Return);
    else if (how == u"space")
        QTest::keyClick(ok, Qt::Key_Space);
    else
        QTest::keyClick(&about, Qt::Key_O, Qt::AltModifier);
    QTRY_VERIFY(!about.isVisible());
    QCOMPARE(m_program->visibleWindows(), QList<QWidget*>{&m_program->windows.introFrm()});
    QVERIFY(!m_program->ended);
}

void TestTietoaFrm::reopensTheSameWindowUnchanged()
{
    TietoaFrm& about = openAbout();
    QVERIFY(userClick(control<QPushButton>(about, QStringLiteral("OKcmd"))));
    QVERIFY(!about.isVisible());
    QCOMPARE(&openAbout(), &about);
    QVERIFY(about.isVisible());
    QCOMPARE(control<QLabel>(about, QStringLiteral("OtsikkoLbl"))->text(),
             QStringLiteral(AHNEMETRI_TITLE ""));
}

void TestTietoaFrm::closeBoxHides()
{
    TietoaFrm& about = openAbout();
    QVERIFY(!about.close());
    QVERIFY(!about.isVisible());
    QVERIFY(m_program->windows.introFrm().isVisible());
    QCOMPARE(&openAbout(), &about);
}

void TestTietoaFrm::staysOpenWhileATestStarts()
{
    TietoaFrm& about = openAbout();
    QVERIFY(switchTo(&m_program->windows.introFrm()));
    QVERIFY(m_program->startTest(QStringLiteral("Nimi")));
    QVERIFY(about.isVisible());
    QCOMPARE(m_program->visibleWindows().size(), 2);
}

void TestTietoaFrm::texts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("title") << "OtsikkoLbl" << AHNEMETRI_TITLE "" << AHNEMETRI_TITLE ""
                           << twipsRect(120, 240, 3855, 495);
    QTest::newRow("made by") << "TehnytLbl"
                             << "Tehnyt:"
                             << "" << twipsRect(240, 720, 735, 255);
    QTest::newRow("programmer") << "KoodariLbl"
                                << "Kalle Koodari"
                                << "Koodi ja toteutus: Koodari" << twipsRect(1080, 720, 2055, 255);
    QTest::newRow("designer") << "SuunnittelijaLbl"
                              << "Sanna Suunnittelija"
                              << "Suunnittelu ja toteutus: Suunnittelija"
                              << twipsRect(1080, 960, 2055, 255);
    QTest::newRow("description")
        << "TietoaLbl"
        << "Ahnemetri mittaa rahahimosi jonka perusteella lopussa näet rahahimo-mittarista "
           "tuloksesi. Muita eri-jänskiä tekeleitä saa osoitteesta:"
        << "" << twipsRect(120, 1320, 3855, 855);
    QTest::newRow("address") << "URLLbl"
                             << "ahnemetri.example"
                             << "" << twipsRect(1200, 2160, 1815, 255);
}

void TestTietoaFrm::texts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, tip);
    QFETCH(QRect, rect);
    TietoaFrm about;
    auto* label = control<QLabel>(about, name);
    QCOMPARE(label->text(), text);
    QCOMPARE(label->toolTip(), tip);
    QCOMPARE(label->geometry(), rect);
    QCOMPARE(label->font().family(), QStringLiteral("Verdana"));
}

void TestTietoaFrm::looks()
{
    TietoaFrm about;
    QCOMPARE(about.windowTitle(), QStringLiteral(AHNEMETRI_TITLE " - Tietoa"));
    QCOMPARE(about.size(), QSize(289, 234));
    QCOMPARE(about.minimumSize(), about.maximumSize());
    QVERIFY(about.windowIcon().isNull());
    QCOMPARE(control<QGroupBox>(about, QStringLiteral("TietoaFrame"))->geometry(),
             twipsRect(120, 120, 4095, 3255));
    auto* ok = control<QPushButton>(about, QStringLiteral("OKcmd"));
    QCOMPARE(ok->text(), QStringLiteral("&OK"));
    QCOMPARE(ok->toolTip(), QStringLiteral("OK"));
    QCOMPARE(ok->geometry(), twipsRect(1320, 2520, 1575, 495));

    auto* title = control<QLabel>(about, QStringLiteral("OtsikkoLbl"));
    QCOMPARE(title->font().pointSizeF(), 14.25);
    QVERIFY(title->font().underline());
    QCOMPARE(title->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QVERIFY(title->alignment() & Qt::AlignHCenter);
    for (const char* credit : {"KoodariLbl", "SuunnittelijaLbl"}) {
        const QFont font = control<QLabel>(about, QString::fromLatin1(credit))->font();
        QVERIFY(font.italic() && font.underline());
        QCOMPARE(font.pointSizeF(), 8.25);
    }
    QCOMPARE(control<QLabel>(about, QStringLiteral("URLLbl"))->alignment(), Qt::AlignCenter);
    QVERIFY(control<QLabel>(about, QStringLiteral("TietoaLbl"))->wordWrap());
}

QTEST_MAIN(TestTietoaFrm)
#include "tst_tietoafrm.moc"
