#include "app/program.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    app::configureApplication();
    app::Program program;
    program.start();
    return QApplication::exec();
}
