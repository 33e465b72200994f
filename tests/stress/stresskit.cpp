#include "stresskit.h"

#include "programfixture.h"
#include "textrecord.h"

#include "eval/evaluation.h"
#include "forms/introfrm.h"
#include "forms/kysymysfrm.h"
#include "forms/meterbar.h"
#include "forms/statusfrm.h"
#include "quiz/catalogue.h"

#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QWindow>

#ifdef Q_OS_WIN
#include <qt_windows.h>
// After windows.h, whose types it uses.
#include <psapi.h>
#else
#include <unistd.h>
#endif

using forms::IntroFrm;
using forms::KysymysFrm;
using forms::MeterBar;
using forms::StatusFrm;

namespace stress {

QStringList characters(const QString& text)
{
    QStringList result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        result.append(text.mid(i, pair ? 2 : 1));
        if (pair)
            ++i;
    }
    return result;
}

void typeCharacter(QWidget* target, const QString& character)
{
    const char16_t unit = character.size() == 1 ? character.at(0).unicode() : 0;
    if (unit >= 0x20 && unit < 0x7f) {
        QTest::keyClick(target, char(unit));
        return;
    }
    // Latin-1 letters have a key of their own (Qt::Key_Adiaeresis); anything else comes from
    // an input method as text alone.
    const char16_t upper = unit ? QChar(unit).toUpper().unicode() : 0;
    const auto key = upper >= 0xc0 && upper <= 0xff ? Qt::Key(upper) : Qt::Key_unknown;
    QTest::sendKeyEvent(QTest::Click, target, key, character, Qt::NoModifier);
}

void typeText(QWidget* target, const QString& text)
{
    for (const QString& character : characters(text))
        typeCharacter(target, character);
}

bool waitForNextTick(QTimer* timer)
{
    // An event loop of its own wakes up at the tick itself, without polling.
    QEventLoop loop;
    bool ticked = false;
    QObject::connect(timer, &QTimer::timeout, &loop, [&] {
        ticked = true;
        loop.quit();
    });
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    loop.exec();
    return ticked;
}

namespace {

QString differs(const char* what, const QString& shown, const QString& expected)
{
    return QStringLiteral("%1 is \"%2\", expected \"%3\"")
        .arg(QLatin1String(what), shown, expected);
}

// What an answer adds to the score, as the record of texts has it: the confirm button of the
// donation question by the amount on the slider.
int pointsOf(const QString& button, int amount)
{
    const TextRecord& record = TextRecord::instance();
    const QString questionnaire = QStringLiteral("KysymysFrm");
    if (button == u"markkaaCmd9")
        return record.valueAt(questionnaire, QStringLiteral("markkaaCmd9 points at "), amount)
            .toInt();
    return record.text(questionnaire, button + QStringLiteral(" points")).toInt();
}

} // namespace

QString resultsMismatch(StatusFrm& results, qint16 score, const QString& typedName, QTime time)
{
    const eval::StatusReport report = eval::EvaluateStatus(score, typedName, time);
    // The title bar shows the caption as it is; the window's own title escapes "[*]".
    const QString caption =
        results.windowHandle() ? results.windowHandle()->title() : results.windowTitle();
    if (caption != report.caption)
        return differs("the caption", caption, report.caption);
    const QString summary = control<QLabel>(results, QStringLiteral("ProssaSelLbl"))->text();
    if (summary != report.summaryLine)
        return differs("the summary line", summary, report.summaryLine);
    const QString percent = control<QLabel>(results, QStringLiteral("ProssaLbl"))->text();
    if (percent != report.percentText)
        return differs("the percent label", percent, report.percentText);
    auto* meter = control<MeterBar>(results, QStringLiteral("GraphicProg"));
    if (meter->meterValue() != report.meterValue) {
        return QStringLiteral("the meter stands at %1, expected %2")
            .arg(double(meter->meterValue()))
            .arg(double(report.meterValue));
    }
    if (meter->toolTip() != eval::MeterTip(report.meterValue))
        return differs("the meter's tooltip", meter->toolTip(), eval::MeterTip(report.meterValue));
    const QString diagnosis =
        control<QPlainTextEdit>(results, QStringLiteral("DiagnosisTxt"))->toPlainText();
    if (!report.diagnosis)
        return QStringLiteral("no diagnosis for the score %1").arg(score);
    if (diagnosis != *report.diagnosis)
        return differs("the diagnosis", diagnosis, *report.diagnosis);
    return {};
}

// Names of every kind the name box takes: plain, Finnish, blanks around, markup and
// title-bar markers, characters beyond the BMP, and names long enough to be shortened.
const QStringList& sampleNames()
{
    static const QStringList names{
        QStringLiteral("Roope"),
        QStringLiteral("Jääskeläinen"),
        QStringLiteral("  Åke Öhman  "),
        QStringLiteral("<b>Aku</b> & [*]"),
        QStringLiteral("R&D %1 \"x\""),
        QStringLiteral("Ankka \U0001F986"),
        QStringLiteral("Pitkä nimi, joka ei mahdu kokonaan tilastoihin"),
        QStringLiteral("x"),
        QStringLiteral("   "),
        QStringLiteral("abcdefghijklmnopqrstuvwxy\U0001F4B0zzzz"),
    };
    return names;
}

QString playWholeTest(ProgramFixture& program, QRandomGenerator& random, AfterResults after,
                      const QString& chosenName)
{
    IntroFrm& intro = program.windows.introFrm();
    auto* nameBox = control<QLineEdit>(intro, QStringLiteral("NimiTxt"));
    auto* start = control<QPushButton>(intro, QStringLiteral("AloitaCmd"));
    auto* timer = intro.findChild<QTimer*>(QStringLiteral("Timer1"));
    if (!intro.isVisible() || !nameBox->text().isEmpty())
        return QStringLiteral("the start window is not shown with an empty name box");

    const QString name = !chosenName.isEmpty()
                             ? chosenName
                             : sampleNames().at(random.bounded(int(sampleNames().size())));
    typeText(nameBox, name);
    if (nameBox->text() != name)
        return differs("the typed name", nameBox->text(), name);
    if (!waitForNextTick(timer) || !start->isEnabled())
        return QStringLiteral("the start button is not enabled after a tick");

    program.now = QTime(random.bounded(24), random.bounded(60), random.bounded(60));
    if (!userClick(start))
        return QStringLiteral("the start button cannot be clicked");
    KysymysFrm* questionnaire = program.kysymysIfCreated();
    if (!questionnaire || !questionnaire->isVisible() || intro.isVisible())
        return QStringLiteral("the questionnaire did not take the start window's place");

    int score = 0;
    for (const quiz::Question& question : quiz::questions()) {
        QPushButton* button = nullptr;
        int amount = 0;
        if (question.kind == quiz::AnswerKind::Slider) {
            auto* slider = control<QSlider>(*questionnaire, quiz::donation::sliderName.toString());
            amount =
                random.bounded(quiz::donation::minimumAmount, quiz::donation::maximumAmount + 1);
            QTest::keyClick(slider, Qt::Key_Home);
            for (int step = 0; step < amount; ++step)
                QTest::keyClick(slider, Qt::Key_Right);
            if (slider->value() != amount)
                return QStringLiteral("the slider stands at %1 after %2 steps")
                    .arg(slider->value())
                    .arg(amount);
            button = control<QPushButton>(*questionnaire, question.left.controlName.toString());
        } else {
            const quiz::Answer& answer = random.bounded(2) ? question.left : question.right;
            button = control<QPushButton>(*questionnaire, answer.controlName.toString());
        }
        score += pointsOf(button->objectName(), amount);
        if (!userClick(button))
            return QStringLiteral("question %1: %2 cannot be clicked")
                .arg(question.number)
                .arg(button->objectName());
    }

    StatusFrm* results = program.statusIfCreated();
    if (!results || !results->isVisible() || questionnaire->isVisible())
        return QStringLiteral("the results did not take the questionnaire's place");
    if (questionnaire->moneypercent() != score)
        return QStringLiteral("the score is %1, the answers make %2")
            .arg(questionnaire->moneypercent())
            .arg(score);
    if (const QString wrong = resultsMismatch(*results, qint16(score), name, program.now);
        !wrong.isEmpty())
        return wrong;

    if (after == AfterResults::Quit) {
        if (!userClick(control<QPushButton>(*results, QStringLiteral("LopetaCmd"))))
            return QStringLiteral("\"Lopeta\" cannot be clicked");
        if (!program.ended || !program.visibleWindows().isEmpty())
            return QStringLiteral("\"Lopeta\" did not end the program");
        return {};
    }
    if (!userClick(control<QPushButton>(*results, QStringLiteral("UusiCmd"))))
        return QStringLiteral("\"Uusi testi\" cannot be clicked");
    if (results->isVisible() || !intro.isVisible() || !nameBox->text().isEmpty())
        return QStringLiteral("\"Uusi testi\" did not bring back an empty start window");
    // The next player starts afresh: undo in the empty name box brings no earlier name back.
    QTest::keyClick(nameBox, Qt::Key_Z, Qt::ControlModifier);
    if (!nameBox->text().isEmpty())
        return differs("after \"Uusi testi\" and Ctrl+Z the name", nameBox->text(), QString());
    return {};
}

qint64 residentBytes()
{
#ifdef Q_OS_WIN
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return -1;
    return qint64(counters.WorkingSetSize);
#else
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().simplified().split(' ');
    bool ok = false;
    const qint64 pages = fields.size() > 1 ? fields.at(1).toLongLong(&ok) : 0;
    return ok ? pages * sysconf(_SC_PAGESIZE) : -1;
#endif
}

} // namespace stress
