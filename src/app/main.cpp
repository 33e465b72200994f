#include "app/commandline.h"
#include "app/program.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    if (const std::optional<int> status = app::answerCommandLine(argc, argv))
        return *status;
    const std::unique_ptr<QApplication> application = app::createApplication(argc, argv);
    app::Program program;
    return program.exec();
}
