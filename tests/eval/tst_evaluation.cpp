#include "eval/evaluation.h"
#include "eval/numbertext.h"
#include "textrecord.h"
#include "version.h"

#include <QTest>

using eval::EvaluateStatus;

Q_DECLARE_METATYPE(std::optional<int>)

namespace {

const QTime someTime(14, 9, 5);

} // namespace

class TestEvaluation : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void numberText_data();
    void numberText();
    void timeText_data();
    void timeText();
    void meterTip_data();
    void meterTip();
    void diagnosisBandEdges_data();
    void diagnosisBandEdges();
    void reportForTypicalTest();
    void meterValueIsExactHalf_data();
    void meterValueIsExactHalf();
    void names_data();
    void names();
    void shortNameNeverSplitsASurrogatePair();
};

void TestEvaluation::numberText_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << " 0";
    QTest::newRow("positive") << qint64(37) << " 37";
    QTest::newRow("hundred") << qint64(100) << " 100";
    QTest::newRow("negative") << qint64(-2) << "-2";
    QTest::newRow("no separators") << qint64(1234567) << " 1234567";
    QTest::newRow("lowest score") << qint64(-32768) << "-32768";
}

void TestEvaluation::numberText()
{
    QFETCH(qint64, value);
    QFETCH(QString, text);
    QCOMPARE(eval::NumberText(value), text);
}

void TestEvaluation::timeText_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("text");
    QTest::newRow("morning, single digits") << QTime(9, 5, 3) << "09:05:03";
    QTest::newRow("afternoon") << QTime(14, 9, 5) << "14:09:05";
    QTest::newRow("midnight") << QTime(0, 0, 0) << "00:00:00";
    QTest::newRow("last second") << QTime(23, 59, 59, 999) << "23:59:59";
}

void TestEvaluation::timeText()
{
    QFETCH(QTime, time);
    QFETCH(QString, text);
    QCOMPARE(eval::timeText(time), text);
}

void TestEvaluation::meterTip_data()
{
    QTest::addColumn<float>("reading");
    QTest::addColumn<QString>("tip");
    QTest::newRow("empty meter") << 0.0f << "Olet 0% rahahullu";
    QTest::newRow("odd score") << 18.5f << "Olet 37% rahahullu";
    QTest::newRow("full meter") << 50.0f << "Olet 100% rahahullu";
}

void TestEvaluation::meterTip()
{
    QFETCH(float, reading);
    QFETCH(QString, tip);
    QCOMPARE(eval::MeterTip(reading), tip);
}

void TestEvaluation::diagnosisBandEdges_data()
{
    QTest::addColumn<int>("score");
    QTest::addColumn<std::optional<int>>("row");
    QTest::addColumn<QString>("percent");
    // clang-format off
    const int edges[][2] = {{0, 1},   {1, 2},   {5, 2},   {6, 3},   {15, 3},  {16, 4},  {25, 4},
                            {26, 5},  {40, 5},  {41, 6},  {50, 6},  {51, 7},  {65, 7},  {66, 8},
                            {75, 8},  {76, 9},  {90, 9},  {91, 10}, {99, 10}, {100, 11}};
    for (const auto& edge : edges)
        QTest::addRow("%d", edge[0]) << edge[0] << std::optional<int>(edge[1]) << QString();
    // Only a score given twice leaves 0 to 100: no diagnosis, but the number is written.
    QTest::newRow("-32768") << -32768 << std::optional<int>() << "-32768%";
    QTest::newRow("-2") << -2 << std::optional<int>() << "-2%";
    QTest::newRow("-1") << -1 << std::optional<int>() << "-1%";
    QTest::newRow("101") << 101 << std::optional<int>() << " 101%";
    QTest::newRow("104") << 104 << std::optional<int>() << " 104%";
    QTest::newRow("32767") << 32767 << std::optional<int>() << " 32767%";
    // clang-format on
}

void TestEvaluation::diagnosisBandEdges()
{
    QFETCH(int, score);
    QFETCH(std::optional<int>, row);
    QFETCH(QString, percent);
    const eval::StatusReport report =
        EvaluateStatus(qint16(score), QStringLiteral("Nimi"), someTime);
    QCOMPARE(report.diagnosis.has_value(), row.has_value());
    if (row)
        QCOMPARE(*report.diagnosis, TextRecord::instance().diagnosisRow(*row));
    if (!percent.isEmpty()) {
        QCOMPARE(report.percentText, percent);
        QVERIFY(report.summaryLine.startsWith(QStringLiteral("Rahahulluus:") + percent
                                              + QStringLiteral(" / Aika: ")));
    }
}

void TestEvaluation::reportForTypicalTest()
{
    const eval::StatusReport report = EvaluateStatus(37, QStringLiteral("Nimi"), QTime(9, 5, 3));
    QCOMPARE(report.caption, QStringLiteral(AHNEMETRI_TITLE " - Tilastot (Nimi)"));
    QCOMPARE(report.summaryLine, QStringLiteral("Rahahulluus: 37% / Aika: 09:05:03 / Nimi"));
    QCOMPARE(report.percentText, QStringLiteral(" 37%"));
    QCOMPARE(report.meterValue, 18.5f);
    QCOMPARE(eval::MeterTip(report.meterValue), QStringLiteral("Olet 37% rahahullu"));
    QCOMPARE(*report.diagnosis, TextRecord::instance().diagnosisRow(5));

    const eval::StatusReport full = EvaluateStatus(100, QStringLiteral("Nimi"), someTime);
    QCOMPARE(full.summaryLine, QStringLiteral("Rahahulluus: 100% / Aika: 14:09:05 / Nimi"));
    QCOMPARE(full.percentText, QStringLiteral(" 100%"));
}

void TestEvaluation::meterValueIsExactHalf_data()
{
    QTest::addColumn<int>("score");
    QTest::addColumn<float>("meter");
    QTest::addColumn<QString>("tip");
    QTest::newRow("0") << 0 << 0.0f << "Olet 0% rahahullu";
    QTest::newRow("1") << 1 << 0.5f << "Olet 1% rahahullu";
    QTest::newRow("37") << 37 << 18.5f << "Olet 37% rahahullu";
    QTest::newRow("99") << 99 << 49.5f << "Olet 99% rahahullu";
    QTest::newRow("100") << 100 << 50.0f << "Olet 100% rahahullu";
    QTest::newRow("-3") << -3 << -1.5f << "Olet-3% rahahullu";
}

void TestEvaluation::meterValueIsExactHalf()
{
    QFETCH(int, score);
    QFETCH(float, meter);
    QFETCH(QString, tip);
    const float value = EvaluateStatus(qint16(score), {}, someTime).meterValue;
    QCOMPARE(value, meter);
    QCOMPARE(eval::MeterTip(value), tip);
}

void TestEvaluation::names_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("summaryEnd");

    const QString thirty = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ1234");
    // One row a name: what is typed, the caption, the end of the summary line.
    // clang-format off
    QTest::newRow("30 characters shown whole")
        << thirty << AHNEMETRI_TITLE " - Tilastot (" + thirty + ")" << " / " + thirty;
    QTest::newRow("31 characters cut to 26")
        << thirty + "5" << AHNEMETRI_TITLE " - Tilastot (ABCDEFGHIJKLMNOPQRSTUVWXYZ...)"
        << " / ABCDEFGHIJKLMNOPQRSTUVWXYZ...";
    QTest::newRow("blanks around") << "  Nimi  " << AHNEMETRI_TITLE " - Tilastot (Nimi)" << " / Nimi";
    QTest::newRow("long only by its blanks")
        << "Nimi" + QString(27, u' ') << AHNEMETRI_TITLE " - Tilastot (Nimi...)" << " / Nimi...";
    QTest::newRow("blanks only") << "   " << AHNEMETRI_TITLE " - Tilastot ()" << "14:09:05 / ";
    QTest::newRow("empty") << "" << AHNEMETRI_TITLE " - Tilastot ()" << "14:09:05 / ";
    QTest::newRow("26th character a blank")
        << "ABCDEFGHIJKLMNOPQRSTUVWXY ZZZZZ"
        << AHNEMETRI_TITLE " - Tilastot (ABCDEFGHIJKLMNOPQRSTUVWXY ...)"
        << " / ABCDEFGHIJKLMNOPQRSTUVWXY ...";
    QTest::newRow("long name with leading blanks")
        << "  " + thirty.left(29) << AHNEMETRI_TITLE " - Tilastot (ABCDEFGHIJKLMNOPQRSTUVWXYZ...)"
        << " / ABCDEFGHIJKLMNOPQRSTUVWXYZ...";
    QTest::newRow("tabs survive trimming")
        << " \tNimi\t " << AHNEMETRI_TITLE " - Tilastot (\tNimi\t)" << " / \tNimi\t";
    // clang-format on
    QTest::newRow("markup and ampersand kept as typed")
        << "<b>Tom & Jerry</b>" << AHNEMETRI_TITLE " - Tilastot (<b>Tom & Jerry</b>)"
        << " / <b>Tom & Jerry</b>";

    // Right-to-left letters and direction marks stand as an isolate of their own (U+2068 ...
    // U+2069), so that they cannot reorder the brackets, blanks and dots around the name.
    QTest::newRow("Hebrew name set apart")
        << QStringLiteral("שלום 12")
        << QStringLiteral(AHNEMETRI_TITLE " - Tilastot (\u2068שלום 12\u2069)")
        << QStringLiteral(" / \u2068שלום 12\u2069");
    QTest::newRow("right-to-left override ends within the name")
        << QStringLiteral("\u202eAku")
        << QStringLiteral(AHNEMETRI_TITLE " - Tilastot (\u2068\u202eAku\u2069)")
        << QStringLiteral(" / \u2068\u202eAku\u2069");
    QTest::newRow("isolate left open is closed within the name")
        << QStringLiteral("\u2067Aku")
        << QStringLiteral(AHNEMETRI_TITLE " - Tilastot (\u2068\u2067Aku\u2069\u2069)")
        << QStringLiteral(" / \u2068\u2067Aku\u2069\u2069");
    QTest::newRow("closing mark without an opening one left out")
        << QStringLiteral("Aku\u2069\u202e")
        << QStringLiteral(AHNEMETRI_TITLE " - Tilastot (\u2068Aku\u202e\u2069)")
        << QStringLiteral(" / \u2068Aku\u202e\u2069");
    QTest::newRow("shortened: the dots stay outside")
        << QString(31, u'ש')
        << AHNEMETRI_TITLE " - Tilastot (\u2068" + QString(26, u'ש') + "\u2069...)"
        << " / \u2068" + QString(26, u'ש') + "\u2069...";
    QTest::newRow("Arabic-Indic digits")
        << QStringLiteral("١٢") << QStringLiteral(AHNEMETRI_TITLE " - Tilastot (\u2068١٢\u2069)")
        << QStringLiteral(" / \u2068١٢\u2069");
    QTest::newRow("Finnish name with a left-to-right mark as it is")
        << QStringLiteral("Äijä\u200e")
        << QStringLiteral(AHNEMETRI_TITLE " - Tilastot (Äijä\u200e)")
        << QStringLiteral(" / Äijä\u200e");

    const QString coin = QString::fromUtf8("\U0001F4B0"); // money bag, a surrogate pair
    QTest::newRow("surrogate pair across the cut")
        << QString(25, u'A') + coin + "BBBB"
        << AHNEMETRI_TITLE " - Tilastot (" + QString(25, u'A') + "...)"
        << " / " + QString(25, u'A') + "...";
    QTest::newRow("surrogate pair before the cut")
        << QString(24, u'A') + coin + "BBBBB"
        << AHNEMETRI_TITLE " - Tilastot (" + QString(24, u'A') + coin + "...)"
        << " / " + QString(24, u'A') + coin + "...";

    // The cut keeps whole characters as the reader sees them, never later than at 26 units.
    const auto cutBefore = [](const QString& kept) {
        return QStringList{AHNEMETRI_TITLE " - Tilastot (" + kept + "...)", " / " + kept + "..."};
    };
    const QString a25(25, u'a');
    const QStringList a25Kept = cutBefore(a25);
    QTest::newRow("accent mark across the cut")
        << a25 + QStringLiteral("e\u0301xyzxyz") << a25Kept[0] << a25Kept[1];
    const QStringList accentKept = cutBefore(a25.left(24) + QStringLiteral("e\u0301"));
    QTest::newRow("accent mark at the cut")
        << a25.left(24) + QStringLiteral("e\u0301xyzxyz") << accentKept[0] << accentKept[1];
    const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467");
    const QStringList joined = cutBefore(QString(20, u'a'));
    QTest::newRow("emoji joined by zero-width joiners")
        << QString(20, u'a') + family + "bbbb" << joined[0] << joined[1];
    QTest::newRow("emoji with a skin tone")
        << a25 + QStringLiteral("\U0001F44D\U0001F3FD") + "bbbb" << a25Kept[0] << a25Kept[1];
    QTest::newRow("variation selector")
        << a25 + QStringLiteral("\u2764\uFE0F") + "bbbbb" << a25Kept[0] << a25Kept[1];
}

void TestEvaluation::names()
{
    QFETCH(QString, typed);
    QFETCH(QString, caption);
    QFETCH(QString, summaryEnd);
    const eval::StatusReport report = EvaluateStatus(37, typed, someTime);
    QCOMPARE(report.caption, caption);
    QVERIFY2(report.summaryLine.endsWith(summaryEnd), qPrintable(report.summaryLine));
    QVERIFY(report.summaryLine.startsWith(u"Rahahulluus: 37% / Aika: 14:09:05 / "));
}

void TestEvaluation::shortNameNeverSplitsASurrogatePair()
{
    const QString coin = QString::fromUtf8("\U0001F4B0");
    for (int prefix = 20; prefix <= 30; ++prefix) {
        const QString name = QString(prefix, u'x') + coin + coin + coin + QString(5, u'y');
        const eval::ShortenedName shortName = eval::ShortName(name);
        QVERIFY(shortName.shortened);
        QVERIFY(shortName.shown.size() <= 26);
        QVERIFY2(!shortName.shown.back().isHighSurrogate(), qPrintable(QString::number(prefix)));
        QVERIFY(name.startsWith(shortName.shown));
    }
}

QTEST_GUILESS_MAIN(TestEvaluation)
#include "tst_evaluation.moc"
