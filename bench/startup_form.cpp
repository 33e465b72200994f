// The start window's form on a bare application, for comparison with the program's start: the
// same widgets, fonts, title picture and icon, without the program's own start-up (command line,
// Qt's Finnish texts, window registry, navigation, key filters, accessibility, the timer).
// The runner measures it with the same start-up probe as the program (startupprobe.cpp).

#include "app/resources.h"
#include "forms/formstyle.h"
#include "ui_introfrm.h"
#include "version.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    app::initResources();
    QMainWindow window;
    forms::Ui_IntroFrm ui;
    ui.setupUi(&window);
    // As the start window dresses its form.
    const QSize clientSize{forms::fromTwips(5895), forms::fromTwips(3855)};
    ui.centralwidget->setFixedSize(clientSize);
    forms::makeFixedWindow(window, clientSize);
    window.setWindowTitle(QStringLiteral(AHNEMETRI_TITLE));
    window.setWindowIcon(forms::programIcon());
    window.setFont(forms::verdana(9.75));
    ui.OptionsFrame->setFont(forms::verdana(8.25));
    ui.NimiTxt->setFont(forms::verdana(8.25));
    for (QWidget* w : std::initializer_list<QWidget*>{ui.NimiLbl, ui.IntroLbl, ui.AloitaCmd})
        w->setFont(forms::verdana(9.75));
    ui.YleistaMenu->insertSeparator(ui.LopetaFile);
    ui.OtsikkoImg->setPixmap(forms::builtInPicture(QStringLiteral(":/images/otsikko.png")));
    window.show();
    return QApplication::exec();
}
