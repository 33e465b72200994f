// The program's side of the benchmarks. Usage: ahnemetri-bench MODE [ARGS]
//   rest WINDOW SECONDS  wakeups and CPU time per second of the program left alone with WINDOW
//                        in front: intro (the start window, with its 5 ms polling timer),
//                        questionnaire, results, or about (the About window, opened from the
//                        start window's menu and left open when the test started)
//   answer ROUNDS        latency of every answer that uncovers the next question, over ROUNDS
//                        tests
//   create COUNT         construction of the questionnaire window through a fresh program,
//                        with the start window shown
//   memory               peak resident memory after one whole test with the results shown
// The program is assembled as main() assembles it (app::Program) and driven by clicks. Runs on
// the offscreen platform; results go to standard output as "key value" lines.

#include "benchsupport.h"

#include "app/program.h"
#include "forms/introfrm.h"
#include "forms/kysymysfrm.h"
#include "forms/statusfrm.h"
#include "forms/tietoafrm.h"
#include "quiz/catalogue.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// The program as main() builds it, started on the start window.
struct StartedProgram {
    app::Program program;
    app::WindowRegistry& windows = program.windows();

    StartedProgram()
    {
        program.start();
        bench::waitUntilShown(windows.introFrm());
    }
};

QPushButton* button(QWidget& window, QStringView name)
{
    auto* found = window.findChild<QPushButton*>(name.toString());
    if (!found)
        bench::fail("a button is missing");
    return found;
}

// Types a name on the start window and starts the test the way the user does.
void beginTest(StartedProgram& program)
{
    forms::IntroFrm& intro = program.windows.introFrm();
    bench::waitUntilShown(intro);
    auto* name = intro.findChild<QLineEdit*>(QStringLiteral("NimiTxt"));
    if (!name)
        bench::fail("the name box is missing");
    name->setText(QStringLiteral("Roope"));
    QPushButton* start = button(intro, u"AloitaCmd");
    // The start button follows the name box on the window's next timer tick.
    if (!bench::pumpUntil([start] { return start->isEnabled(); }))
        bench::fail("the start button was never enabled");
    QTest::mouseClick(start, Qt::LeftButton);
    bench::waitUntilShown(program.windows.kysymysFrm());
}

// Answers the 25 questions by clicking, the left answers or the right ones, and ends on the
// results window. With `latencies`, reports the time from each click to the paint of the
// question it uncovers.
void answerAll(StartedProgram& program, bool leftAnswers, bool latencies)
{
    forms::KysymysFrm& questionnaire = program.windows.kysymysFrm();
    for (const quiz::Question& question : quiz::questions()) {
        const bool left = leftAnswers || question.kind == quiz::AnswerKind::Slider;
        QPushButton* answer =
            button(questionnaire, left ? question.left.controlName : question.right.controlName);
        if (question.number == quiz::questionCount) {
            QTest::mouseClick(answer, Qt::LeftButton);
            bench::waitUntilShown(program.windows.statusFrm());
            return;
        }
        auto* next = questionnaire.findChild<QWidget*>(quiz::panelName(question.number + 1));
        if (!next)
            bench::fail("a question panel is missing");
        bench::PaintWatch watch(next);
        const long long start = bench::monotonicNs();
        QTest::mouseClick(answer, Qt::LeftButton);
        if (!bench::pumpUntil([&watch] { return watch.paints() > 0; }))
            bench::fail("the next question was never painted");
        const long long end = bench::monotonicNs();
        if (latencies)
            bench::report("answer_ms", static_cast<double>(end - start) / 1e6);
    }
}

void newTest(StartedProgram& program)
{
    QTest::mouseClick(button(program.windows.statusFrm(), u"UusiCmd"), Qt::LeftButton);
}

void rest(const char* window, int seconds)
{
    StartedProgram program;
    QWidget* front = &program.windows.introFrm();
    if (std::strcmp(window, "about") == 0) {
        auto* about = program.windows.introFrm().findChild<QAction*>(QStringLiteral("TietoaFile"));
        if (!about)
            bench::fail("the menu has no About item");
        about->trigger();
        front = &program.windows.tietoaFrm();
        bench::waitUntilShown(*front);
    }
    if (std::strcmp(window, "intro") != 0)
        beginTest(program);
    if (std::strcmp(window, "questionnaire") == 0)
        front = &program.windows.kysymysFrm();
    if (std::strcmp(window, "results") == 0) {
        answerAll(program, true, false);
        front = &program.windows.statusFrm();
    }
    if (std::strcmp(window, "intro") != 0 && program.windows.introFrm().isVisible())
        bench::fail("the start window is still shown");
    if (!front->isVisible())
        bench::fail("unknown window");
    bench::measureRest(*front, seconds);
}

void answer(int rounds)
{
    StartedProgram program;
    for (int round = 0; round < rounds; ++round) {
        beginTest(program);
        answerAll(program, round % 2 == 0, true);
        newTest(program);
    }
}

void create(int count)
{
    // As in the program, the start window is up before the questionnaire is first needed.
    // The first creation still pays for what Qt sets up once per process (the group box
    // style, the fonts of the panels); it is reported apart.
    StartedProgram shown;
    for (int i = 0; i <= count; ++i) {
        app::Program program;
        const long long start = bench::monotonicNs();
        forms::KysymysFrm& questionnaire = program.windows().kysymysFrm();
        const long long end = bench::monotonicNs();
        if (questionnaire.findChildren<QWidget*>().size() < quiz::questionCount)
            bench::fail("the questionnaire has too few panels");
        bench::report(i == 0 ? "create_first_ms" : "create_ms",
                      static_cast<double>(end - start) / 1e6);
    }
}

void memory()
{
    StartedProgram program;
    beginTest(program);
    answerAll(program, true, false);
    bench::report("peak_rss_kib", static_cast<double>(bench::peakResidentKiB()));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    return bench::runMode(argc, argv, {rest, answer, create, memory});
}
