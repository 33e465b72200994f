// Every text the user sees, read from the running program's windows and compared with the
// reviewed record, tests/usertexts.txt. A difference is printed as the record's line beside what
// the window shows.

#include "programfixture.h"
#include "textrecord.h"

#include "eval/evaluation.h"
#include "forms/introfrm.h"
#include "forms/kysymysfrm.h"
#include "forms/statusfrm.h"
#include "forms/tietoafrm.h"
#include "version.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <optional>

using Texts = QMap<QString, QString>;

namespace {

const QString shortName = QStringLiteral("Nimi");
const QString longName = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ12345"); // 31 characters

QString range(int lowest, int highest)
{
    if (lowest == highest)
        return QString::number(lowest);
    return QString::number(lowest) + QStringLiteral(" to ") + QString::number(highest);
}

// Runs of equal values by a whole number, as the record writes them: "1 to 4" = "5".
Texts runs(const QString& prefix, const QList<std::pair<int, QString>>& values)
{
    Texts texts;
    qsizetype start = 0;
    for (qsizetype i = 1; i <= values.size(); ++i) {
        if (i < values.size() && values[i].second == values[start].second)
            continue;
        texts.insert(prefix + range(values[start].first, values[i - 1].first),
                     values[start].second);
        start = i;
    }
    return texts;
}

// Every text a window shows: its title and the captions, texts and tooltips of its controls,
// menus and menu entries, keyed by the control's objectName. Qt's own parts ("qt_...",
// "_q_...") and controls without a name hold no text of the program's.
Texts shownTexts(QWidget& window)
{
    // The release's major and minor version stands as {version} in the record.
    const QString version = QStringLiteral(AHNEMETRI_VERSION).section(u'.', 0, 1);
    Texts texts;
    const auto add = [&](const QObject* object, const char* property, QString value) {
        const QString key = object == &window
                                ? QLatin1String(property)
                                : object->objectName() + u' ' + QLatin1String(property);
        texts.insert(key, value.replace(version, QStringLiteral("{version}")));
    };
    add(&window, "windowTitle", window.windowTitle());
    for (QObject* object : window.findChildren<QObject*>()) {
        const QString name = object->objectName();
        if (name.isEmpty() || name.startsWith(QStringLiteral("qt_"))
            || name.startsWith(QStringLiteral("_q_")))
            continue;
        if (auto* action = qobject_cast<QAction*>(object)) {
            add(action, "text", action->isSeparator() ? QStringLiteral("-") : action->text());
            if (!action->shortcut().isEmpty())
                add(action, "shortcut", action->shortcut().toString(QKeySequence::PortableText));
            continue;
        }
        if (auto* timer = qobject_cast<QTimer*>(object)) {
            add(timer, "interval", QString::number(timer->interval()));
            continue;
        }
        auto* widget = qobject_cast<QWidget*>(object);
        if (!widget)
            continue;
        if (!widget->toolTip().isEmpty())
            add(widget, "toolTip", widget->toolTip());
        if (auto* menu = qobject_cast<QMenu*>(widget)) {
            add(menu, "title", menu->title());
            QStringList entries;
            for (const QAction* action : menu->actions())
                entries.append(action->objectName());
            add(menu, "entries", entries.join(u' '));
        } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
            add(frame, "title", frame->title());
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (label->pixmap().isNull())
                add(label, "text", label->text());
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            add(button, "text", button->text());
        } else if (auto* box = qobject_cast<QLineEdit*>(widget)) {
            add(box, "text", box->text());
        } else if (auto* textBox = qobject_cast<QPlainTextEdit*>(widget)) {
            add(textBox, "text", textBox->toPlainText());
        } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
            add(slider, "range", range(slider->minimum(), slider->maximum()));
        }
    }
    return texts;
}

// The question panel on top, and its answer buttons from left to right.
QList<QPushButton*> answerButtons(QWidget& questionnaire)
{
    auto* panel =
        control<QGroupBox>(questionnaire, QStringLiteral("KysymysFrame")
                                              + QString::number(topQuestion(questionnaire)));
    QList<QPushButton*> buttons = panel->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly);
    std::sort(buttons.begin(), buttons.end(),
              [](const QWidget* a, const QWidget* b) { return a->x() < b->x(); });
    return buttons;
}

} // namespace

class TestUserTexts : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void windows_data();
    void windows();

private:
    Texts introTexts();
    Texts questionnaireTexts();
    Texts resultsTexts();
    Texts aboutTexts();
    Texts diagnoses();
    // What question 9 shows and scores at every amount, from a test of its own per amount.
    bool addDonation(Texts& texts);

    std::optional<ProgramFixture> m_program;
};

void TestUserTexts::init()
{
    // A program of its own for each window, started on the start window with the clock at
    // 14:09:05, as the record's results assume.
    m_program.emplace();
    m_program->now = QTime(14, 9, 5);
}

void TestUserTexts::cleanup()
{
    m_program.reset();
}

void TestUserTexts::windows_data()
{
    QTest::addColumn<QString>("section");
    QTest::newRow("start window") << "IntroFrm";
    QTest::newRow("questionnaire") << "KysymysFrm";
    QTest::newRow("results") << "StatusFrm";
    QTest::newRow("About window") << "TietoaFrm";
    QTest::newRow("diagnoses") << "Diagnoses";
}

void TestUserTexts::windows()
{
    QFETCH(QString, section);
    Texts shown;
    if (section == u"IntroFrm")
        shown = introTexts();
    else if (section == u"KysymysFrm")
        shown = questionnaireTexts();
    else if (section == u"StatusFrm")
        shown = resultsTexts();
    else if (section == u"TietoaFrm")
        shown = aboutTexts();
    else
        shown = diagnoses();
    QVERIFY2(!shown.isEmpty(), "the program did not come to where it shows these texts");
    const QStringList found = differences(section, shown);
    QVERIFY2(found.isEmpty(), qPrintable(u'\n' + found.join(u'\n')));
}

Texts TestUserTexts::introTexts()
{
    return shownTexts(m_program->windows.introFrm());
}

Texts TestUserTexts::questionnaireTexts()
{
    forms::KysymysFrm* questionnaire = m_program->startTest(shortName);
    if (!questionnaire)
        return {};
    Texts texts = shownTexts(*questionnaire);
    // The points of an answer are what it adds to the score: the left answers in one test, the
    // right ones in another, each test taken to its results and started anew from there.
    for (const int side : {0, 1}) {
        if (side == 1 && !(questionnaire = m_program->startTest(shortName)))
            return {};
        for (int question = 1; question <= 25; ++question) {
            const QList<QPushButton*> buttons = answerButtons(*questionnaire);
            QPushButton* chosen = buttons.value(buttons.size() == 2 ? side : 0);
            const qint16 before = questionnaire->moneypercent();
            if (!userClick(chosen))
                return {};
            if (buttons.size() == 2)
                texts.insert(chosen->objectName() + QStringLiteral(" points"),
                             QString::number(questionnaire->moneypercent() - before));
        }
        auto* results = m_program->statusIfCreated();
        if (!results || !QTest::qWaitForWindowActive(results)
            || !userClick(control<QWidget>(*results, QStringLiteral("UusiCmd"))))
            return {};
    }
    if (!addDonation(texts))
        return {};
    return texts;
}

bool TestUserTexts::addDonation(Texts& texts)
{
    QList<std::pair<int, QString>> points;
    for (int amount = 0; amount <= 20; ++amount) {
        forms::KysymysFrm* questionnaire = m_program->questionnaireAt(9);
        if (!questionnaire)
            return false;
        // To the far end and back, so that the caption has followed a move at every amount.
        auto* slider = control<QSlider>(*questionnaire, QStringLiteral("KysymysSlider9"));
        auto* confirm = control<QPushButton>(*questionnaire, QStringLiteral("markkaaCmd9"));
        QTest::keyClick(slider, Qt::Key_End);
        for (int step = 20; step > amount; --step)
            QTest::keyClick(slider, Qt::Key_Left);
        texts.insert(QStringLiteral("markkaaCmd9 text at ") + QString::number(amount),
                     confirm->text());
        const qint16 before = questionnaire->moneypercent();
        if (!userClick(confirm))
            return false;
        points.append({amount, QString::number(questionnaire->moneypercent() - before)});
        // The close box interrupts the test and brings back the start window.
        questionnaire->close();
        if (!QTest::qWaitForWindowActive(&m_program->windows.introFrm()))
            return false;
    }
    texts.insert(runs(QStringLiteral("markkaaCmd9 points at "), points));
    return true;
}

Texts TestUserTexts::resultsTexts()
{
    // Nothing of the name, the time, the score or the diagnosis is in the record as such: they
    // stand there as {name}, {time}, {score} and {diagnosis}.
    const auto patterns = [](QString text, const QString& name) {
        const QString diagnosis =
            TextRecord::instance().valueAt(QStringLiteral("Diagnoses"), {}, 37);
        if (!diagnosis.isEmpty() && text == diagnosis)
            return QStringLiteral("{diagnosis}");
        return text.replace(QStringLiteral("14:09:05"), QStringLiteral("{time}"))
            .replace(name, QStringLiteral("{name}"))
            .replace(QStringLiteral(" 37"), QStringLiteral("{score}"));
    };

    forms::StatusFrm* results = m_program->runTest(shortName, answersForThirtySeven(), 0);
    if (!results)
        return {};
    Texts texts = shownTexts(*results);
    for (QString& text : texts)
        text = patterns(text, shortName);

    if (!userClick(control<QWidget>(*results, QStringLiteral("UusiCmd")))
        || !(results = m_program->runTest(longName, answersForThirtySeven(), 0)))
        return {};
    const Texts shortened = shownTexts(*results);
    for (const char* key : {"windowTitle", "ProssaSelLbl text"}) {
        texts.insert(QLatin1String(key) + QStringLiteral(", name shortened"),
                     patterns(shortened.value(QLatin1String(key)), longName.left(26)));
    }

    // A score outside 0 to 100 (an answer given twice) has no diagnosis: a results window's
    // first fill then leaves the box as it was made.
    forms::StatusFrm first;
    first.setSources({.playerName = [] { return shortName; },
                      .score = [] { return qint16(104); },
                      .timeOfDay = [] { return QTime(14, 9, 5); }});
    first.formLoad();
    texts.insert(QStringLiteral("DiagnosisTxt text, no diagnosis"),
                 control<QPlainTextEdit>(first, QStringLiteral("DiagnosisTxt"))->toPlainText());
    return texts;
}

Texts TestUserTexts::aboutTexts()
{
    control<QAction>(m_program->windows.introFrm(), QStringLiteral("TietoaFile"))->trigger();
    forms::TietoaFrm* about = m_program->tietoaIfCreated();
    if (!about || !QTest::qWaitForWindowExposed(about))
        return {};
    return shownTexts(*about);
}

Texts TestUserTexts::diagnoses()
{
    // Every score a test can end with, so that both ends of every band are read.
    QList<std::pair<int, QString>> shown;
    for (int score = 0; score <= 100; ++score) {
        const eval::StatusReport report = eval::EvaluateStatus(qint16(score), shortName, {});
        shown.append({score, report.diagnosis.value_or(QStringLiteral("(none)"))});
    }
    return runs(QString(), shown);
}

QTEST_MAIN(TestUserTexts)
#include "tst_usertexts.moc"
