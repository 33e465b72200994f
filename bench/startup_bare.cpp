// A bare Qt main window for comparison with the program's start: QApplication and a
// QMainWindow with a menu bar and a label filling a central area of the start window's size.
// The runner measures it with the same start-up probe as the program (startupprobe.cpp).

#include "barewindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    BareMainWindow window;
    window.show();
    return QApplication::exec();
}
