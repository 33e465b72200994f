#include "app/commandline.h"

#include "app/console.h"
#include "version.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QList>
#include <QMutex>

#include <array>
#include <cstdlib>

namespace app {

namespace {

// What QGuiApplication, QApplication and the X11 platform take out of the command line
// themselves, with one dash or two, the value as the next argument. They are accepted here and
// left in place for Qt.
constexpr std::array qtOptionsWithValue{"platform",
                                        "platformpluginpath",
                                        "platformtheme",
                                        "plugin",
                                        "qwindowgeometry",
                                        "qwindowicon",
                                        "qwindowtitle",
                                        "session",
                                        "display",
                                        "geometry",
                                        "title",
                                        "icon",
                                        "name",
                                        "visual",
                                        "style",
                                        "stylesheet"};
constexpr std::array qtFlags{"reverse", "widgetcount", "sync", "nograb", "dograb", "testability"};
// The one option of Qt's that takes its value after "=" (and only so).
constexpr char qtOptionWithEquals[] = "qmljsdebugger";

QString helpText(const QString& program, const QList<QCommandLineOption>& options)
{
    QString text = QStringLiteral("Käyttö: ") + program
                   + QStringLiteral(" [valitsimet]\n"
                                    "Leikkimielinen kysely, joka mittaa, kuinka rahanahne olet.\n\n"
                                    "Valitsimet:\n");
    for (const QCommandLineOption& option : options) {
        const QStringList names = option.names();
        const QString shown =
            QStringLiteral("  -") + names.first() + QStringLiteral(", --") + names.last();
        text += shown.leftJustified(17) + option.description() + u'\n';
    }
    text += QStringLiteral("\nLisäksi käyvät Qt:n omat valitsimet, kuten -platform ja -style.\n");
    return text;
}

// The name of an option argument without the one or two dashes that introduce it, as the
// parser reads it ("---help" is the option "-help"); empty for an argument that is no option.
QString optionName(const QString& argument)
{
    if (argument.startsWith(u"--"))
        return argument.sliced(2).section(u'=', 0, 0);
    if (argument.startsWith(u'-'))
        return argument.sliced(1).section(u'=', 0, 0);
    return QString();
}

// The option as the user typed it, dashes included and any value left out.
QString typedOption(const QStringList& arguments, const QString& name)
{
    for (const QString& argument : arguments.sliced(1)) {
        if (argument == u"--")
            break;
        if (optionName(argument) == name)
            return argument.section(u'=', 0, 0);
    }
    return name;
}

// A Qt option written with its value after "=", which Qt would not understand and so ignore.
QString qtOptionWithValueAfterEquals(const QStringList& arguments)
{
    for (const QString& argument : arguments.sliced(1)) {
        if (argument == u"--")
            break;
        const QString name = optionName(argument);
        if (!argument.contains(u'=') || name == QLatin1String(qtOptionWithEquals))
            continue;
        for (const char* option : qtOptionsWithValue) {
            if (name == QLatin1String(option))
                return argument;
        }
    }
    return QString();
}

// The program's name as the user types it: on Windows without ".exe".
QString programName(const QString& path)
{
#ifdef Q_OS_WIN
    return QFileInfo(path).completeBaseName();
#else
    return QFileInfo(path).fileName();
#endif
}

int fail(const QString& program, const QString& problem)
{
    reportStartFailure(program + QStringLiteral(": ") + problem + QStringLiteral("\nOhje: ")
                       + program + QStringLiteral(" --help\n"));
    return 2;
}

} // namespace

std::optional<int> answerCommandLine(int argc, const char* const* argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (arguments.isEmpty())
        arguments.append(QStringLiteral("ahnemetri"));
    const QString program = programName(arguments.first());

    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Näyttää tämän ohjeen ja lopettaa."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Näyttää ohjelman version ja lopettaa."));
    QCommandLineParser parser;
    // Qt's options are single-dash words (-platform), so a word is never read as letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({help, version});
    for (const char* name : qtOptionsWithValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("arvo"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    QCommandLineOption debugger(QString::fromLatin1(qtOptionWithEquals), QString(),
                                QStringLiteral("arvo"));
    debugger.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(debugger);
    for (const char* name : qtFlags) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            return fail(program, QStringLiteral("tuntematon valitsin '")
                                     + typedOption(arguments, unknown.first()) + u'\'');
        }
        return fail(program, QStringLiteral("valitsimen arvo puuttuu tai on ylimääräinen"));
    }
    if (const QString joined = qtOptionWithValueAfterEquals(arguments); !joined.isEmpty()) {
        return fail(program, QStringLiteral("valitsimen arvo annetaan erillisenä: '")
                                 + joined.section(u'=', 0, 0) + u' ' + joined.section(u'=', 1)
                                 + QStringLiteral("', ei '") + joined + u'\'');
    }
    if (parser.isSet(help) || parser.isSet(version)) {
        const QString answer = parser.isSet(help)
                                   ? helpText(program, {help, version})
                                   : QStringLiteral("Ahnemetri " AHNEMETRI_VERSION "\n");
        if (writeText(Stream::Output, answer))
            return 0;
        writeText(Stream::Error,
                  program + QStringLiteral(": vakiotulosteeseen ei voitu kirjoittaa\n"));
        return 1;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(program, QStringLiteral("ylimääräinen argumentti '")
                                 + parser.positionalArguments().first() + u'\'');
    return std::nullopt;
}

namespace {

// Messages Qt writes while the application object is being created. They are held back until
// it is known whether the window system could be started: if not, one line of the program's own
// comes first; if it could, they go out as usual. Any thread may log meanwhile.
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};
QMutex heldLock;
QList<HeldMessage>* heldMessages = nullptr;

QString formatted(const HeldMessage& message)
{
    const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
    return qFormatLogMessage(message.type, context, message.text);
}

// Whether Qt's X11 or Wayland platform said that it could not connect to its display.
bool noDisplay(const QList<HeldMessage>& messages)
{
    for (const HeldMessage& message : messages) {
        if (message.text.contains(u"could not connect to display", Qt::CaseInsensitive)
            || message.text.contains(u"Failed to create wl_display"))
            return true;
    }
    return false;
}

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    QMutexLocker locker(&heldLock);
    if (!heldMessages) {
        // Logged by another thread just as the application was made.
        locker.unlock();
        qt_message_output(type, context, text);
        return;
    }
    heldMessages->append({type, QByteArray(context.category), text});
    if (type != QtFatalMsg)
        return;
    // Qt aborts after a fatal message; without a window system there is nothing to clean up,
    // so the program ends here with its own line, and with Qt's reason unless that is only
    // the missing display.
    QString report;
    if (noDisplay(*heldMessages)) {
        report = QStringLiteral("ahnemetri: näyttöön ei saada yhteyttä; ohjelma tarvitsee "
                                "graafisen työpöydän (X11 tai Wayland)\n");
    } else {
        report = QStringLiteral("ahnemetri: ikkunajärjestelmää ei voitu käynnistää; Qt kertoo "
                                "syyksi:\n");
        for (const HeldMessage& message : std::as_const(*heldMessages))
            report += formatted(message) + u'\n';
    }
    reportStartFailure(report);
    std::_Exit(1);
}

} // namespace

std::unique_ptr<QApplication> createApplication(int& argc, char** argv)
{
    QList<HeldMessage> held;
    {
        const QMutexLocker locker(&heldLock);
        heldMessages = &held;
    }
    const QtMessageHandler previousHandler = qInstallMessageHandler(holdMessage);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previousHandler);
    {
        const QMutexLocker locker(&heldLock);
        heldMessages = nullptr;
    }
    for (const HeldMessage& message : std::as_const(held)) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        qt_message_output(message.type, context, message.text);
    }
    return application;
}

} // namespace app
