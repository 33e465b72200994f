#include "quiz/catalogue.h"

#include <QSet>
#include <QTest>

using quiz::AnswerKind;
using quiz::Question;

namespace {

QChar mnemonicOf(QStringView caption)
{
    const qsizetype at = caption.indexOf(u'&');
    return at >= 0 && at + 1 < caption.size() ? caption.at(at + 1).toLower() : QChar();
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void questionsAreNumberedInOrder();
    void highestAnswersSumToExactlyHundred();
    void lowestAnswersSumToExactlyZero();
    void runningTotalNeverDropsBelowZero();
    void everyCaptionHasOneMnemonic();
    void panelMnemonicsDiffer();
    void controlNamesAreUnique();
    void panelNamesAndCaptions_data();
    void panelNamesAndCaptions();
    void texts_data();
    void texts();
    void questionEighteenQuotesAPhrase();
    void onlyQuestionNineUsesTheSlider();
    void donationPoints_data();
    void donationPoints();
    void donationCaption_data();
    void donationCaption();
};

void TestCatalogue::questionsAreNumberedInOrder()
{
    int expected = 1;
    for (const Question& q : quiz::questions())
        QCOMPARE(q.number, expected++);
    QCOMPARE(&quiz::question(9), &quiz::questions()[8]);
}

void TestCatalogue::highestAnswersSumToExactlyHundred()
{
    int total = 0;
    for (const Question& q : quiz::questions())
        total += quiz::highestPoints(q);
    QCOMPARE(total, 100);
}

void TestCatalogue::lowestAnswersSumToExactlyZero()
{
    int total = 0;
    for (const Question& q : quiz::questions())
        total += quiz::lowestPoints(q);
    QCOMPARE(total, 0);
}

void TestCatalogue::runningTotalNeverDropsBelowZero()
{
    // Taking the lowest answer everywhere gives the lowest total after every question.
    int total = 0;
    int lowestSeen = 0;
    int lowestAfter20 = -1;
    for (const Question& q : quiz::questions()) {
        total += quiz::lowestPoints(q);
        lowestSeen = std::min(lowestSeen, total);
        if (q.number == 20)
            lowestAfter20 = total;
    }
    QCOMPARE(lowestSeen, 0);
    QCOMPARE(lowestAfter20, 0);
}

void TestCatalogue::everyCaptionHasOneMnemonic()
{
    for (const Question& q : quiz::questions()) {
        for (const quiz::Answer* a : {&q.left, &q.right}) {
            if (a->controlName.isEmpty())
                continue;
            QCOMPARE(a->caption.count(u'&'), 1);
            QVERIFY2(mnemonicOf(a->caption).isLetter(), qPrintable(a->caption.toString()));
        }
    }
}

void TestCatalogue::panelMnemonicsDiffer()
{
    for (const Question& q : quiz::questions()) {
        if (q.kind == AnswerKind::Slider)
            continue;
        QVERIFY2(mnemonicOf(q.left.caption) != mnemonicOf(q.right.caption),
                 qPrintable(QString::number(q.number)));
    }
}

void TestCatalogue::controlNamesAreUnique()
{
    QSet<QString> names;
    int count = 0;
    const auto add = [&](QStringView name) {
        if (name.isEmpty())
            return;
        names.insert(name.toString());
        ++count;
    };
    for (const Question& q : quiz::questions()) {
        add(quiz::panelName(q.number));
        add(q.label.name);
        add(q.left.controlName);
        add(q.right.controlName);
    }
    add(quiz::donation::sliderName);
    add(quiz::donation::unitLabelName);
    QCOMPARE(count, 25 * 3 + 24 + 2);
    QCOMPARE(names.size(), count);
}

void TestCatalogue::panelNamesAndCaptions_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    // clang-format off
    QTest::newRow("first") << 1 << "KysymysFrame1" << "Kysymys 1/25";
    QTest::newRow("two digits") << 10 << "KysymysFrame10" << "Kysymys 10/25";
    QTest::newRow("last") << 25 << "KysymysFrame25" << "Kysymys 25/25";
    // clang-format on
}

void TestCatalogue::panelNamesAndCaptions()
{
    QFETCH(int, number);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QCOMPARE(quiz::panelName(number), name);
    QCOMPARE(quiz::panelCaption(number), caption);
}

void TestCatalogue::texts_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("leftCaption");
    QTest::addColumn<QString>("rightCaption");
    // clang-format off
    QTest::newRow("first question") << 1 << "KysymysLbl1"
        << "Avautuuko kukkarosi tarvittaessa muillekin kuin itsellesi?" << "&Avautuu"
        << "&Ei avaudu";
    QTest::newRow("ö and ä") << 7 << "KysymysLbl7" << "Pöllitkö rahaa hyvän tilaisuuden tullen?"
                             << "&Kyllä pöllin" << "&En pölli";
    QTest::newRow("slider question") << 9 << "KysymysLbl9"
        << "Paljonko antaisit Kosovolaisille hyväntekeväisyysrahaa?" << "0 &markkaa" << "";
    QTest::newRow("Mogul") << 15 << "KysymysLbl15" << "Oletko kateellinen Mogulille?" << "&Olen"
                           << "&En ole";
    QTest::newRow("label without number") << 19 << "Label1"
        << "Oliko sinulla jo pienenä tarvis näperrellä kaikkea arvokasta?" << "&Oli tarvis"
        << "&Ei ollut";
    QTest::newRow("later mnemonic") << 22 << "KysymysLbl22"
        << "Pelaatko mieluummin bingoa kuin sulkapalloa?" << "&Pelaan bingoa"
        << "P&elaan sulkkista";
    QTest::newRow("Söisin") << 23 << "KysymysLbl23"
        << "Söisitkö kadunvarrelta löytyvää tuoretta koiranjäännöstä 100 markasta?" << "&Söisin"
        << "&En söisi";
    // clang-format on
}

void TestCatalogue::texts()
{
    QFETCH(int, number);
    QFETCH(QString, label);
    QFETCH(QString, text);
    QFETCH(QString, leftCaption);
    QFETCH(QString, rightCaption);
    const Question& q = quiz::question(number);
    QCOMPARE(q.label.name.toString(), label);
    QCOMPARE(q.label.text.toString(), text);
    QCOMPARE(q.left.caption.toString(), leftCaption);
    QCOMPARE(q.right.caption.toString(), rightCaption);
}

void TestCatalogue::questionEighteenQuotesAPhrase()
{
    const QStringView text = quiz::question(18).label.text;
    QCOMPARE(text.count(u'"'), 2);
    QVERIFY(text.endsWith(u"vastaatko ensin: \"Paljon maksat?\"?"));
}

void TestCatalogue::onlyQuestionNineUsesTheSlider()
{
    for (const Question& q : quiz::questions()) {
        const bool slider = q.kind == AnswerKind::Slider;
        QCOMPARE(slider, q.number == quiz::donation::questionNumber);
        QCOMPARE(q.right.controlName.isEmpty(), slider);
    }
    QCOMPARE(quiz::question(9).left.controlName.toString(), QStringLiteral("markkaaCmd9"));
}

void TestCatalogue::donationPoints_data()
{
    QTest::addColumn<int>("amount");
    QTest::addColumn<int>("points");
    QTest::newRow("nothing") << 0 << 7;
    QTest::newRow("1") << 1 << 5;
    QTest::newRow("4") << 4 << 5;
    QTest::newRow("5") << 5 << 4;
    QTest::newRow("9") << 9 << 4;
    QTest::newRow("10") << 10 << 2;
    QTest::newRow("14") << 14 << 2;
    QTest::newRow("15") << 15 << 1;
    QTest::newRow("19") << 19 << 1;
    QTest::newRow("everything") << 20 << 0;
}

void TestCatalogue::donationPoints()
{
    QFETCH(int, amount);
    QFETCH(int, points);
    QCOMPARE(quiz::donation::points(amount), points);
}

void TestCatalogue::donationCaption_data()
{
    QTest::addColumn<int>("amount");
    QTest::addColumn<QString>("caption");
    QTest::newRow("zero is partitive") << 0 << " 0 &markkaa";
    QTest::newRow("one is singular") << 1 << " 1 &markka";
    QTest::newRow("two") << 2 << " 2 &markkaa";
    QTest::newRow("twenty") << 20 << " 20 &markkaa";
}

void TestCatalogue::donationCaption()
{
    QFETCH(int, amount);
    QFETCH(QString, caption);
    QCOMPARE(quiz::donation::confirmCaption(amount), caption);
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
