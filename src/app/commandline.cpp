#include "app/commandline.h"

#include "version.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QList>

#include <array>
#include <cstdio>
#include <cstdlib>

namespace app {

namespace {

// What QGuiApplication, QApplication and the X11 platform take out of the command line
// themselves, with or without a value. They are accepted here and left in place for Qt.
constexpr std::array qtOptionsWithValue{
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
    "qwindowicon", "qwindowtitle", "session", "display", "geometry", "title", "icon", "name",
    "visual", "style", "stylesheet", "qmljsdebugger"};
constexpr std::array qtFlags{"reverse", "widgetcount", "sync", "nograb", "dograb"};

void print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

QString helpText(const QString& program, const QList<QCommandLineOption>& options)
{
    QString text = QStringLiteral("Käyttö: ") + program +
                   QStringLiteral(" [valitsimet]\n"
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

// The option as the user typed it, dashes included and any value left out.
QString typedOption(const QStringList& arguments, const QString& name)
{
    for (const QString& argument : arguments.sliced(1)) {
        const QString option = argument.section(u'=', 0, 0);
        qsizetype dashes = 0;
        while (dashes < option.size() && option.at(dashes) == u'-')
            ++dashes;
        if (dashes > 0 && option.sliced(dashes) == name)
            return option;
    }
    return name;
}

int fail(const QString& program, const QString& problem)
{
    print(stderr, program + QStringLiteral(": ") + problem + QStringLiteral("\nOhje: ") + program +
                      QStringLiteral(" --help\n"));
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
    const QString program = QFileInfo(arguments.first()).fileName();

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
    for (const char* name : qtFlags) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            return fail(program, QStringLiteral("tuntematon valitsin '") +
                                     typedOption(arguments, unknown.first()) + u'\'');
        }
        return fail(program, QStringLiteral("valitsimen arvo puuttuu tai on ylimääräinen"));
    }
    if (parser.isSet(help)) {
        print(stdout, helpText(program, {help, version}));
        return 0;
    }
    if (parser.isSet(version)) {
        print(stdout, QStringLiteral("Ahnemetri " AHNEMETRI_VERSION "\n"));
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(program,
                    QStringLiteral("ylimääräinen argumentti '") + parser.positionalArguments().first() + u'\'');
    return std::nullopt;
}

namespace {

// Messages Qt writes while the application object is being created. They are held back until
// it is known whether the window system could be reached: if not, one line of the program's
// own replaces them; if it could, they go out as usual.
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};
QList<HeldMessage>* heldMessages = nullptr;

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg) {
        // Qt aborts after a fatal message; without a window system there is nothing to clean up.
        std::fputs("ahnemetri: näyttöön ei saada yhteyttä; ohjelma tarvitsee graafisen "
                   "työpöydän (X11 tai Wayland)\n",
                   stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    heldMessages->append({type, QByteArray(context.category), text});
}

} // namespace

std::unique_ptr<QApplication> createApplication(int& argc, char** argv)
{
    QList<HeldMessage> held;
    heldMessages = &held;
    const QtMessageHandler previousHandler = qInstallMessageHandler(holdMessage);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previousHandler);
    heldMessages = nullptr;
    for (const HeldMessage& message : held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        qt_message_output(message.type, context, message.text);
    }
    return application;
}

} // namespace app
