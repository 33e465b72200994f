#include "programfixture.h"

#include "eval/evaluation.h"
#include "forms/formstyle.h"
#include "forms/introfrm.h"
#include "forms/kysymysfrm.h"
#include "forms/meterbar.h"
#include "forms/statusfrm.h"
#include "forms/tietoafrm.h"
#include "version.h"

#include <QApplication>
#include <QGlyphRun>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTextLayout>
#include <QWindow>

#include <optional>

using forms::IntroFrm;
using forms::KysymysFrm;
using forms::MeterBar;
using forms::StatusFrm;
using forms::twipsRect;

namespace {

// Where the characters from..to of a one-line text are drawn, ink only.
QRectF drawnRange(const QTextLayout& layout, int from, int to)
{
    QRectF drawn;
    for (const QGlyphRun& run : layout.glyphRuns(from, to - from))
        drawn |= run.boundingRect();
    return drawn;
}

// What is wrong with the order in which the text is drawn: the characters before `nameFrom`
// must stand left to right and left of the name, those from `nameTo` on left to right and
// right of it.
QString fixedTextsAroundTheName(const QString& text, const QFont& font, int nameFrom, int nameTo)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setTextDirection(Qt::LeftToRight);
    layout.setTextOption(option);
    layout.beginLayout();
    layout.createLine().setLineWidth(100000);
    layout.endLayout();
    const QRectF name = drawnRange(layout, nameFrom, nameTo);
    qreal previous = -1;
    for (int i = 0; i < int(text.size()); ++i) {
        if (i == nameFrom)
            i = nameTo;
        if (i >= int(text.size()))
            break;
        const QRectF glyph = drawnRange(layout, i, i + 1);
        if (glyph.isEmpty())
            continue; // a blank
        if (glyph.left() < previous)
            return QStringLiteral("\"%1\" is drawn left of the text before it").arg(text.at(i));
        previous = glyph.left();
        if (i < nameFrom && glyph.right() > name.left() + 0.5)
            return QStringLiteral("\"%1\" is drawn right of the name's start").arg(text.at(i));
        if (i >= nameTo && glyph.left() < name.right() - 0.5)
            return QStringLiteral("\"%1\" is drawn left of the name's end").arg(text.at(i));
    }
    return {};
}

} // namespace

class TestStatusFrm : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void wholeTestResults_data();
    void wholeTestResults();
    void secondTestRefillsEveryControl();
    void returningFromTheAboutWindowRefreshes();
    void namesAreShownAsTyped_data();
    void namesAreShownAsTyped();
    void longNameIsShortenedButKept();
    void directionMarksStayInTheName_data();
    void directionMarksStayInTheName();
    void newTestButton_data();
    void newTestButton();
    void quitButton_data();
    void quitButton();
    void closeBoxStartsANewTest();
    void scoreOutsideTheScaleKeepsTheDiagnosis();
    void layout_data();
    void layout();
    void looks();

private:
    std::optional<ProgramFixture> m_program;
};

void TestStatusFrm::init()
{
    m_program.emplace();
}

void TestStatusFrm::cleanup()
{
    m_program.reset();
}

void TestStatusFrm::wholeTestResults_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<int>("donation");
    QTest::addColumn<QString>("percent");
    QTest::addColumn<float>("meter");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<int>("row");
    // clang-format off
    QTest::newRow("every higher answer") << highestAnswers() << 0 << " 100%" << 50.0f
                                         << "Olet 100% rahahullu" << 11;
    QTest::newRow("every lower answer") << lowestAnswers() << 20 << " 0%" << 0.0f
                                        << "Olet 0% rahahullu" << 1;
    QTest::newRow("an odd score") << answersForThirtySeven() << 0 << " 37%" << 18.5f
                                  << "Olet 37% rahahullu" << 5;
    // clang-format on
}

void TestStatusFrm::wholeTestResults()
{
    QFETCH(QStringList, answers);
    QFETCH(int, donation);
    QFETCH(QString, percent);
    QFETCH(float, meter);
    QFETCH(QString, tip);
    QFETCH(int, row);
    StatusFrm* results = m_program->runTest(QStringLiteral("Nimi"), answers, donation);
    QVERIFY(results);
    QCOMPARE(m_program->visibleWindows(), QList<QWidget*>{results});
    QCOMPARE(results->windowTitle(), QStringLiteral(AHNEMETRI_TITLE " - Tilastot (Nimi)"));
    QCOMPARE(control<QLabel>(*results, QStringLiteral("ProssaSelLbl"))->text(),
             QStringLiteral("Rahahulluus:") + percent + QStringLiteral(" / Aika: 14:09:05 / Nimi"));
    QCOMPARE(control<QLabel>(*results, QStringLiteral("ProssaLbl"))->text(), percent);
    auto* meterBar = control<MeterBar>(*results, QStringLiteral("GraphicProg"));
    QCOMPARE(meterBar->meterValue(), meter);
    QCOMPARE(meterBar->value(), qRound(meter));
    QCOMPARE(meterBar->toolTip(), tip);
    QCOMPARE(control<QPlainTextEdit>(*results, QStringLiteral("DiagnosisTxt"))->toPlainText(),
             diagnosisRow(row));
    QCOMPARE(QApplication::focusWidget(), control<QWidget>(*results, QStringLiteral("UusiCmd")));
}

void TestStatusFrm::secondTestRefillsEveryControl()
{
    StatusFrm* results = m_program->runTest(QStringLiteral("Nimi"), highestAnswers(), 0);
    QVERIFY(results);
    QVERIFY(userClick(control<QPushButton>(*results, QStringLiteral("UusiCmd"))));
    m_program->now = QTime(9, 5, 3);

    KysymysFrm* questionnaire = m_program->startTest(QStringLiteral("Toinen"));
    QVERIFY(questionnaire);
    // The questionnaire starts over, the slider back at 0.
    QCOMPARE(topQuestion(*questionnaire), 1);
    QCOMPARE(questionnaire->moneypercent(), qint16(0));
    QCOMPARE(control<QSlider>(*questionnaire, QStringLiteral("KysymysSlider9"))->value(), 0);
    QCOMPARE(control<QPushButton>(*questionnaire, QStringLiteral("markkaaCmd9"))->text(),
             QStringLiteral("0 &markkaa"));
    // Interrupted with the close box: back to the start window.
    QVERIFY(!questionnaire->close());

    results = m_program->runTest(QStringLiteral("Toinen"), answersForThirtySeven(), 20);
    QVERIFY(results);
    // 37 less the 7 points of the empty donation.
    QCOMPARE(results->windowTitle(), QStringLiteral(AHNEMETRI_TITLE " - Tilastot (Toinen)"));
    QCOMPARE(control<QLabel>(*results, QStringLiteral("ProssaSelLbl"))->text(),
             QStringLiteral("Rahahulluus: 30% / Aika: 09:05:03 / Toinen"));
    QCOMPARE(control<QLabel>(*results, QStringLiteral("ProssaLbl"))->text(),
             QStringLiteral(" 30%"));
    QCOMPARE(control<MeterBar>(*results, QStringLiteral("GraphicProg"))->meterValue(), 15.0f);
    QCOMPARE(control<MeterBar>(*results, QStringLiteral("GraphicProg"))->toolTip(),
             QStringLiteral("Olet 30% rahahullu"));
    QCOMPARE(control<QPlainTextEdit>(*results, QStringLiteral("DiagnosisTxt"))->toPlainText(),
             diagnosisRow(5));
}

void TestStatusFrm::returningFromTheAboutWindowRefreshes()
{
    m_program->windows.show(m_program->windows.tietoaFrm());
    QWidget* about = m_program->tietoaIfCreated();
    QVERIFY(QTest::qWaitForWindowActive(about));
    StatusFrm* results = m_program->runTest(QStringLiteral("Nimi"), highestAnswers(), 0);
    QVERIFY(results);
    QVERIFY(about->isVisible());
    auto* summary = control<QLabel>(*results, QStringLiteral("ProssaSelLbl"));
    QCOMPARE(summary->text(), QStringLiteral("Rahahulluus: 100% / Aika: 14:09:05 / Nimi"));

    QVERIFY(switchTo(about));
    control<QPushButton>(*results, QStringLiteral("LopetaCmd"))->setFocus();
    m_program->now = QTime(14, 12, 0);
    QVERIFY(switchTo(results));
    QCOMPARE(summary->text(), QStringLiteral("Rahahulluus: 100% / Aika: 14:12:00 / Nimi"));
    QCOMPARE(QApplication::focusWidget(), control<QWidget>(*results, QStringLiteral("UusiCmd")));
}

void TestStatusFrm::namesAreShownAsTyped_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("ampersand") << "Tom & Jerry";
    QTest::newRow("access-key mark") << "&Jerry";
    QTest::newRow("bold markup") << "<b>Roope</b>";
    QTest::newRow("image markup") << "<img src=\"x.png\">";
    QTest::newRow("modified mark of a title") << "Roope [*]";
    QTest::newRow("Finnish letters") << "Äijä Öljynen";
}

void TestStatusFrm::namesAreShownAsTyped()
{
    QFETCH(QString, name);
    StatusFrm* results = m_program->runTest(name, lowestAnswers(), 20);
    QVERIFY(results);
    const QString caption = QStringLiteral(AHNEMETRI_TITLE " - Tilastot (") + name + u')';
    QCOMPARE(results->windowTitle().replace(QStringLiteral("[*][*]"), QStringLiteral("[*]")),
             caption);
    QCOMPARE(results->windowHandle()->title(), caption);
    auto* summary = control<QLabel>(*results, QStringLiteral("ProssaSelLbl"));
    QCOMPARE(summary->text(), QStringLiteral("Rahahulluus: 0% / Aika: 14:09:05 / ") + name);
    QCOMPARE(summary->textFormat(), Qt::PlainText);
    QVERIFY(!summary->buddy());
    // An access-key mark in the name would answer to Alt+U; the name is no access key.
    QTest::keyClick(results, Qt::Key_J, Qt::AltModifier);
    QVERIFY(results->isVisible());
}

void TestStatusFrm::longNameIsShortenedButKept()
{
    const QString name = QStringLiteral("Roope Ankka Ankkalinnan Rahasäiliöstä");
    QVERIFY(name.size() > 30);
    StatusFrm* results = m_program->runTest(name, lowestAnswers(), 20);
    QVERIFY(results);
    QCOMPARE(results->windowTitle(),
             QStringLiteral(AHNEMETRI_TITLE " - Tilastot (Roope Ankka Ankkalinnan Ra...)"));
    QCOMPARE(control<QLabel>(*results, QStringLiteral("ProssaSelLbl"))->text(),
             QStringLiteral("Rahahulluus: 0% / Aika: 14:09:05 / Roope Ankka Ankkalinnan Ra..."));
    QCOMPARE(m_program->windows.introFrm().playerName(), name);
}

void TestStatusFrm::directionMarksStayInTheName_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("right-to-left override") << QStringLiteral("\u202eAku Ankka");
    QTest::newRow("Hebrew with digits") << QStringLiteral("שלום 12");
    QTest::newRow("stray closing mark, then an override") << QStringLiteral("Aku\u2069\u202e1 2");
    QTest::newRow("long Hebrew name, shortened") << QString(40, u'ש');
    QTest::newRow("right-to-left embedding left open") << QStringLiteral("\u202b12 ab");
}

void TestStatusFrm::directionMarksStayInTheName()
{
    QFETCH(QString, name);
    StatusFrm* results = m_program->runTest(name, answersForThirtySeven(), 0);
    QVERIFY(results);
    auto* summary = control<QLabel>(*results, QStringLiteral("ProssaSelLbl"));
    for (const QString& text : {summary->text(), results->windowHandle()->title()}) {
        const int from = int(text.indexOf(u'\u2068'));
        const int to = int(text.lastIndexOf(u'\u2069')) + 1;
        QVERIFY2(from > 0 && to > from, qPrintable(text));
        const QString wrong = fixedTextsAroundTheName(text, summary->font(), from, to);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong + QStringLiteral(" in ") + text));
    }
}

void TestStatusFrm::newTestButton_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("click") << "click";
    QTest::newRow("Enter on the focused button") << "enter";
    QTest::newRow("Alt+U") << "alt";
}

void TestStatusFrm::newTestButton()
{
    QFETCH(QString, how);
    StatusFrm* results = m_program->runTest(QStringLiteral("Nimi"), highestAnswers(), 0);
    QVERIFY(results);
    if (how == u"click")
        QVERIFY(userClick(control<QPushButton>(*results, QStringLiteral("UusiCmd"))));
    else if (how == u"enter")
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    else
        QTest::keyClick(results, Qt::Key_U, Qt::AltModifier);

    IntroFrm& intro = m_program->windows.introFrm();
    QTRY_VERIFY(intro.isVisible());
    QCOMPARE(m_program->visibleWindows(), QList<QWidget*>{&intro});
    QVERIFY(intro.playerName().isEmpty());
    QTRY_VERIFY(!control<QPushButton>(intro, QStringLiteral("AloitaCmd"))->isEnabled());
    // The last player's name is gone for good: Undo does not bring it back.
    auto* nameBox = control<QLineEdit>(intro, QStringLiteral("NimiTxt"));
    nameBox->setFocus();
    QTest::keyClick(nameBox, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(nameBox->text().isEmpty());
    // The score waits for the next test to clear it.
    QCOMPARE(m_program->windows.kysymysFrm().moneypercent(), qint16(100));
}

void TestStatusFrm::quitButton_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::newRow("click") << false;
    QTest::newRow("Alt+L") << true;
}

void TestStatusFrm::quitButton()
{
    QFETCH(bool, byKey);
    m_program->windows.show(m_program->windows.tietoaFrm());
    StatusFrm* results = m_program->runTest(QStringLiteral("Nimi"), highestAnswers(), 0);
    QVERIFY(results);
    if (byKey)
        QTest::keyClick(results, Qt::Key_L, Qt::AltModifier);
    else
        QVERIFY(userClick(control<QPushButton>(*results, QStringLiteral("LopetaCmd"))));
    QTRY_VERIFY(m_program->ended);
    QVERIFY(m_program->visibleWindows().isEmpty());
    // Nothing of the program runs any more.
    const int reads = m_program->clockReads;
    m_program->windows.show(*results);
    QVERIFY(!results->isVisible());
    QCOMPARE(m_program->clockReads, reads);
}

void TestStatusFrm::closeBoxStartsANewTest()
{
    StatusFrm* results = m_program->runTest(QStringLiteral("Nimi"), highestAnswers(), 0);
    QVERIFY(results);
    QVERIFY(!results->close());
    QCOMPARE(m_program->visibleWindows(), QList<QWidget*>{&m_program->windows.introFrm()});
    QVERIFY(m_program->windows.introFrm().playerName().isEmpty());
}

void TestStatusFrm::scoreOutsideTheScaleKeepsTheDiagnosis()
{
    StatusFrm results;
    results.setSources({.playerName = [] { return QStringLiteral("Nimi"); },
                        .score = [] { return qint16(104); },
                        .timeOfDay = [] { return QTime(9, 5, 3); }});
    results.formLoad();
    QCOMPARE(control<QLabel>(results, QStringLiteral("ProssaLbl"))->text(),
             QStringLiteral(" 104%"));
    auto* meterBar = control<MeterBar>(results, QStringLiteral("GraphicProg"));
    QCOMPARE(meterBar->meterValue(), 52.0f);
    QCOMPARE(meterBar->value(), 50);
    QCOMPARE(meterBar->toolTip(), QStringLiteral("Olet 104% rahahullu"));
    QCOMPARE(control<QPlainTextEdit>(results, QStringLiteral("DiagnosisTxt"))->toPlainText(),
             QStringLiteral("(Tähän tulee diagnoosi)\n"));
}

void TestStatusFrm::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<qreal>("points");
    QTest::newRow("outer frame") << "TilastotFrame" << twipsRect(120, 120, 7095, 4575) << 8.25;
    QTest::newRow("quit button") << "LopetaCmd" << twipsRect(4680, 3840, 2055, 495) << 8.25;
    QTest::newRow("new test button") << "UusiCmd" << twipsRect(360, 3840, 2055, 495) << 8.25;
    QTest::newRow("text frame") << "TextFrame" << twipsRect(120, 1920, 6855, 1695) << 8.25;
    QTest::newRow("diagnosis box") << "DiagnosisTxt" << twipsRect(120, 600, 6615, 975) << 8.25;
    QTest::newRow("summary line") << "ProssaSelLbl" << twipsRect(120, 240, 6615, 255) << 8.25;
    QTest::newRow("graphic frame") << "GraphicFrame" << twipsRect(120, 840, 6855, 975) << 8.25;
    QTest::newRow("meter") << "GraphicProg" << twipsRect(120, 240, 6615, 255) << 8.25;
    QTest::newRow("100%") << "Prossa100Lbl" << twipsRect(6240, 480, 495, 255) << 8.25;
    QTest::newRow("0%") << "Prossa0Lbl" << twipsRect(120, 480, 375, 255) << 8.25;
    QTest::newRow("percentage") << "ProssaLbl" << twipsRect(480, 600, 5895, 255) << 9.0;
    QTest::newRow("greeting") << "TilastotSelitysLbl" << twipsRect(120, 360, 5775, 255) << 9.75;
}

void TestStatusFrm::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    QFETCH(qreal, points);
    StatusFrm results;
    QWidget* widget = control<QWidget>(results, name);
    QCOMPARE(widget->geometry(), rect);
    QCOMPARE(widget->font().family(), QStringLiteral("Verdana"));
    QCOMPARE(widget->font().pointSizeF(), points);
    QCOMPARE(widget->font().bold(), name == u"ProssaLbl");
}

void TestStatusFrm::looks()
{
    StatusFrm* results = m_program->runTest(QStringLiteral("Nimi"), highestAnswers(), 0);
    QVERIFY(results);
    QCOMPARE(results->size(), QSize(489, 321));
    QCOMPARE(results->minimumSize(), results->maximumSize());
    QVERIFY(!(results->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!results->windowIcon().isNull());
    auto* diagnosis = control<QPlainTextEdit>(*results, QStringLiteral("DiagnosisTxt"));
    QVERIFY(diagnosis->isReadOnly());
    QCOMPARE(diagnosis->palette().color(QPalette::Base), QColor(192, 192, 192));
    QCOMPARE(diagnosis->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(diagnosis->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    // Typing into the diagnosis changes nothing, and Tab never stops in it.
    diagnosis->setFocus();
    QTest::keyClicks(diagnosis, QStringLiteral("xyz"));
    QCOMPARE(diagnosis->toPlainText(), diagnosisRow(11));
    control<QWidget>(*results, QStringLiteral("UusiCmd"))->setFocus();
    QCOMPARE(tabCycle(results),
             (QStringList{QStringLiteral("UusiCmd"), QStringLiteral("LopetaCmd")}));
    QCOMPARE(control<QLabel>(*results, QStringLiteral("ProssaLbl"))->alignment(), Qt::AlignCenter);
    QVERIFY(control<QLabel>(*results, QStringLiteral("Prossa100Lbl"))->alignment()
            & Qt::AlignRight);
    QCOMPARE(control<QLabel>(*results, QStringLiteral("Prossa100Lbl"))->text(),
             QStringLiteral("100%"));
    QCOMPARE(control<QLabel>(*results, QStringLiteral("Prossa0Lbl"))->text(), QStringLiteral("0%"));
    QCOMPARE(control<QLabel>(*results, QStringLiteral("TilastotSelitysLbl"))->text(),
             QStringLiteral("Onneksi olkoon! Olet läpäissyt testin ja alla näet tulokset:"));
    auto* meterBar = control<MeterBar>(*results, QStringLiteral("GraphicProg"));
    QCOMPARE(meterBar->minimum(), 0);
    QCOMPARE(meterBar->maximum(), 50);
    QCOMPARE(control<QWidget>(*results, QStringLiteral("UusiCmd"))->toolTip(),
             QStringLiteral("Uusi testi"));
    QCOMPARE(control<QWidget>(*results, QStringLiteral("LopetaCmd"))->toolTip(),
             QStringLiteral("Lopeta ohjelma"));
}

QTEST_MAIN(TestStatusFrm)
#include "tst_statusfrm.moc"
