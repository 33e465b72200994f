// Renders each window of the program in a telling state to PNG files, for the README.
// Usage: ahnemetri-screenshots OUTPUT_DIR   (runs on the offscreen platform)

#include "programfixture.h"

#include "app/program.h"
#include "forms/introfrm.h"
#include "forms/kysymysfrm.h"
#include "forms/statusfrm.h"
#include "forms/tietoafrm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPainter>
#include <QSlider>
#include <QTest>

#include <cstdio>

namespace {

// The window's client area with a plain title bar above it, so that the caption shows too.
QImage framed(QWidget& window)
{
    window.repaint();
    const QPixmap client = window.grab();
    const int bar = 26;
    QImage image(client.width() + 2, client.height() + bar + 1, QImage::Format_RGB32);
    image.fill(QColor(60, 60, 70));
    QPainter painter(&image);
    painter.setPen(Qt::white);
    QFont font = QApplication::font();
    font.setBold(true);
    painter.setFont(font);
    painter.drawPixmap(1, bar, client);
    if (!window.windowIcon().isNull())
        painter.drawPixmap(6, 5, window.windowIcon().pixmap(16, 16));
    painter.drawText(QRect(28, 0, image.width() - 30, bar), Qt::AlignVCenter,
                     window.windowHandle() ? window.windowHandle()->title() : window.windowTitle());
    return image;
}

void save(QWidget& window, const QDir& dir, const char* name)
{
    QTest::qWait(50);
    const QString path = dir.filePath(QString::fromLatin1(name));
    if (!framed(window).save(path))
        qFatal("cannot write %s", qPrintable(path));
    std::printf("%s\n", qPrintable(path));
}

void answer(forms::KysymysFrm& questionnaire, const char* button)
{
    control<QAbstractButton>(questionnaire, QString::fromLatin1(button))->click();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral(".")))
        return 1;

    // A fixed time of day, so that the pictures stay the same from run to run.
    app::Program program([] { return QTime(14, 9, 5); });
    app::WindowRegistry& windows = program.windows();
    program.start();

    forms::IntroFrm& intro = windows.introFrm();
    control<QLineEdit>(intro, QStringLiteral("NimiTxt"))->setText(QStringLiteral("Roope"));
    QTest::qWait(20);
    save(intro, dir, "intro.png");

    control<QAbstractButton>(intro, QStringLiteral("AloitaCmd"))->click();
    forms::KysymysFrm& questionnaire = windows.kysymysFrm();
    for (const char* button : {"EiAvauduCmd", "KyllapelkaanCmd2", "EnoleCmd3"})
        answer(questionnaire, button);
    save(questionnaire, dir, "question.png");

    for (const char* button :
         {"KyllakaytanCmd4", "EnvoisiCmd5", "KyllanostaisinCmd6", "EnpolliCmd7", "OtansenCmd8"})
        answer(questionnaire, button);
    control<QSlider>(questionnaire, QStringLiteral("KysymysSlider9"))->setValue(7);
    save(questionnaire, dir, "slider.png");

    answer(questionnaire, "markkaaCmd9");
    for (const char* button :
         {"RahaCmd10", "RikkoisinCmd11", "KyllaovatCmd12", "EnmyisiCmd13", "KaynCmd14", "OlenCmd15",
          "EnkiillotaCmd16", "EntulisiCmd17", "EnvastaaCmd18", "OlitarvisCmd19", "RahaCmd20",
          "FarkutCmd21", "SulkkisCmd22", "EnsoisiCmd23", "OlenvetanytCmd24", "AjattelenCmd25"})
        answer(questionnaire, button);
    save(windows.statusFrm(), dir, "results.png");

    program.start();
    windows.show(windows.tietoaFrm());
    save(windows.tietoaFrm(), dir, "about.png");
    return 0;
}
