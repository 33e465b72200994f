// The bare side of the benchmarks: the same measurements on plain Qt windows built with the
// same flags. Usage: ahnemetri-bench-bare MODE [N]
//   rest KIND SECONDS  wakeups and CPU time per second of the bare main window left alone:
//                  KIND "timer" with a 5 ms timer whose slot does nothing (beside the start
//                  window), "plain" without (beside the other windows)
//   answer ROUNDS  click on a button that changes a label, until the label is painted
//   create COUNT   with the bare main window shown, construction of an empty window of the
//                  questionnaire's size ("create_ms"),
//                  and of the same widget tree as the questionnaire built by hand
//                  ("create_tree_ms": 25 nested group boxes, each with a label and 2 buttons)
//   memory         peak resident memory with the bare main window shown

#include "barewindow.h"
#include "benchsupport.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// The questionnaire's client size, 5415 x 2535 twips.
constexpr QSize questionnaireSize{361, 169};

class BareQuestionWindow : public QWidget {
public:
    BareQuestionWindow()
    {
        setFixedSize(questionnaireSize);
        m_label = new QLabel(QStringLiteral("Kysymys 1/25"), this);
        m_label->setGeometry(16, 24, 320, 40);
        m_label->setAutoFillBackground(true);
        m_button = new QPushButton(QStringLiteral("&Seuraava"), this);
        m_button->setGeometry(16, 120, 105, 25);
        connect(m_button, &QPushButton::clicked, this, [this] {
            m_question = m_question % 25 + 1;
            m_label->setText(QStringLiteral("Kysymys %1/25").arg(m_question));
        });
    }

    QLabel* label() const { return m_label; }
    QPushButton* button() const { return m_button; }

private:
    QLabel* m_label;
    QPushButton* m_button;
    int m_question = 1;
};

std::unique_ptr<QWidget> widgetTree()
{
    auto window = std::make_unique<QWidget>();
    window->setFixedSize(questionnaireSize);
    QWidget* container = window.get();
    for (int number = 1; number <= 25; ++number) {
        auto* panel = new QGroupBox(QStringLiteral("Kysymys %1/25").arg(number), container);
        panel->setGeometry(number == 1 ? QRect(8, 8, 345, 153) : QRect(0, 0, 345, 153));
        panel->setAutoFillBackground(true);
        panel->setVisible(number == 1);
        auto* label = new QLabel(QStringLiteral("Kysymys"), panel);
        label->setGeometry(8, 24, 329, 17);
        for (int left : {16, 144}) {
            auto* button = new QPushButton(QStringLiteral("&Vastaus"), panel);
            button->setGeometry(left, 120, 105, 25);
        }
        container = panel;
    }
    return window;
}

void rest(const char* kind, int seconds)
{
    BareMainWindow window;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, &window, [] {});
    if (std::strcmp(kind, "timer") == 0)
        timer.start();
    else if (std::strcmp(kind, "plain") != 0)
        bench::fail("unknown kind of bare window");
    window.show();
    bench::measureRest(window, seconds);
}

void answer(int rounds)
{
    BareQuestionWindow window;
    window.show();
    bench::waitUntilShown(window);
    for (int round = 0; round < rounds; ++round) {
        for (int question = 1; question < 25; ++question) {
            bench::PaintWatch watch(window.label());
            const long long start = bench::monotonicNs();
            QTest::mouseClick(window.button(), Qt::LeftButton);
            if (!bench::pumpUntil([&watch] { return watch.paints() > 0; }))
                bench::fail("the label was never painted");
            const long long end = bench::monotonicNs();
            bench::report("answer_ms", static_cast<double>(end - start) / 1e6);
        }
        bench::waitUntilShown(window);
    }
}

void create(int count)
{
    // Like the program's side, with a main window up.
    BareMainWindow mainWindow;
    mainWindow.show();
    bench::waitUntilShown(mainWindow);
    for (int i = 0; i <= count; ++i) {
        const long long start = bench::monotonicNs();
        auto window = std::make_unique<QWidget>();
        window->setFixedSize(questionnaireSize);
        window->setWindowTitle(QStringLiteral("Bare"));
        const long long end = bench::monotonicNs();
        bench::report(i == 0 ? "create_first_ms" : "create_ms",
                      static_cast<double>(end - start) / 1e6);
    }
    for (int i = 0; i <= count; ++i) {
        const long long start = bench::monotonicNs();
        std::unique_ptr<QWidget> window = widgetTree();
        const long long end = bench::monotonicNs();
        if (i > 0)
            bench::report("create_tree_ms", static_cast<double>(end - start) / 1e6);
    }
}

void memory()
{
    BareMainWindow window;
    window.show();
    bench::waitUntilShown(window);
    bench::report("peak_rss_kib", static_cast<double>(bench::peakResidentKiB()));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);

    return bench::runMode(argc, argv, {rest, answer, create, memory});
}
