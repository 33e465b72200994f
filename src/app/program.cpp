#include "app/program.h"

#include "app/browserpage.h"
#include "app/resources.h"
#include "version.h"

#include <QApplication>

namespace app {

namespace {

// The application-wide settings, the same for every program in the process.
void configureApplication()
{
    QApplication::setApplicationName(QStringLiteral("Ahnemetri"));
    QApplication::setApplicationVersion(QStringLiteral(AHNEMETRI_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.ahnemetri.Ahnemetri"));
    // The program ends through "Lopeta" or the start window's close box, never by itself.
    QApplication::setQuitOnLastWindowClosed(false);
    // The program is Finnish: left to right whatever the locale, its translations or -reverse.
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
    initResources();
}

} // namespace

Program::Program(Navigation::Clock clock, const QString& qtTranslations)
    : m_navigation(m_windows, std::move(clock))
{
    configureApplication();
    installQtTranslations(m_qtTexts, qtTranslations);
}

int Program::exec()
{
    // Only a program that runs the event loop ends it; a test goes on after "Lopeta".
    if (BrowserPage::active)
        BrowserPage::attach(m_windows);
    else
        QObject::connect(&m_windows, &WindowRegistry::programEnded, qApp,
                         [] { QCoreApplication::exit(0); });
    start();
    return QApplication::exec();
}

} // namespace app
