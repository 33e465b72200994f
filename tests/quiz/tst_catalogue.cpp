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
    void onlyQuestionNineUsesTheSlider();
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

void TestCatalogue::onlyQuestionNineUsesTheSlider()
{
    for (const Question& q : quiz::questions()) {
        const bool slider = q.kind == AnswerKind::Slider;
        QCOMPARE(slider, q.number == quiz::donation::questionNumber);
        QCOMPARE(q.right.controlName.isEmpty(), slider);
    }
    QCOMPARE(quiz::question(9).left.controlName.toString(), QStringLiteral("markkaaCmd9"));
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
