// The command line, as a user at a terminal meets it: the program is run as a process of its own
// with no display at all, so that only an answer that never touches the window system can
// succeed, and a run that opened a window would not end by itself.

#include "version.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestCommandLine : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void answers_data();
    void answers();
    void answersFailWhenOutputCannotBeWritten_data();
    void answersFailWhenOutputCannotBeWritten();
    void endsWithOneLineWithoutADisplay_data();
    void endsWithOneLineWithoutADisplay();

private:
    struct Run {
        int status = -1;
        QString out;
        QString err;
    };
    // Runs the program without any display, with a runtime folder of its own (the Wayland
    // client library complains on standard error without one); `environment` adds to what is
    // left. Standard output goes to `output` when given.
    static Run run(const QStringList& arguments, const QStringList& environment = {},
                   const QString& output = {});
};

TestCommandLine::Run TestCommandLine::run(const QStringList& arguments,
                                          const QStringList& environment, const QString& output)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_MESSAGE_PATTERN"})
        env.remove(QString::fromLatin1(name));
    const QTemporaryDir runtime;
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    for (const QString& setting : environment)
        env.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));

    QProcess process;
    process.setProcessEnvironment(env);
    if (!output.isEmpty())
        process.setStandardOutputFile(output);
    process.start(QStringLiteral(AHNEMETRI_PROGRAM), arguments);
    Run result;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        qWarning("ahnemetri %s did not end by itself", qPrintable(arguments.join(u' ')));
        return result;
    }
    if (process.exitStatus() == QProcess::NormalExit)
        result.status = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
#ifdef Q_OS_WIN
    // Redirected text has Windows line ends there.
    result.out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.err.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
#endif
    return result;
}

void TestCommandLine::answers_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    const QString usage = QStringLiteral("Käyttö: ahnemetri [valitsimet]\n");
    const QString version = QStringLiteral("Ahnemetri " AHNEMETRI_VERSION "\n");
    const QString hint = QStringLiteral("\nOhje: ahnemetri --help\n");
    QTest::newRow("--help") << QStringList{"--help"} << 0 << usage << "";
    QTest::newRow("-h") << QStringList{"-h"} << 0 << usage << "";
    QTest::newRow("--version") << QStringList{"--version"} << 0 << version << "";
    QTest::newRow("-v") << QStringList{"-v"} << 0 << version << "";
    QTest::newRow("Qt's options pass")
        << QStringList{"-platform", "xcb", "-style", "fusion", "--version"} << 0 << version << "";
    QTest::newRow("Qt's -testability passes")
        << QStringList{"-testability", "--version"} << 0 << version << "";
    QTest::newRow("QML debugger's value after =")
        << QStringList{"-qmljsdebugger=port:4711", "--version"} << 0 << version << "";
    QTest::newRow("a value after = that Qt would ignore")
        << QStringList{"--platform=offscreen"} << 2 << ""
        << "ahnemetri: valitsimen arvo annetaan erillisenä: '--platform offscreen', ei "
           "'--platform=offscreen'"
               + hint;
    QTest::newRow("unknown option with three dashes")
        << QStringList{"---help"} << 2 << ""
        << "ahnemetri: tuntematon valitsin '---help'" + hint;
    QTest::newRow("an error wins over help") << QStringList{"--help", "--nope"} << 2 << ""
                                             << "ahnemetri: tuntematon valitsin '--nope'" + hint;
    QTest::newRow("unknown long option") << QStringList{"--tulos"} << 2 << ""
                                         << "ahnemetri: tuntematon valitsin '--tulos'" + hint;
    QTest::newRow("unknown short option") << QStringList{"-x"} << 2 << ""
                                          << "ahnemetri: tuntematon valitsin '-x'" + hint;
    QTest::newRow("unknown word after one dash")
        << QStringList{"-platforms"} << 2 << ""
        << "ahnemetri: tuntematon valitsin '-platforms'" + hint;
    QTest::newRow("argument") << QStringList{"Roope"} << 2 << ""
                              << "ahnemetri: ylimääräinen argumentti 'Roope'" + hint;
    QTest::newRow("value missing")
        << QStringList{"-platform"} << 2 << ""
        << "ahnemetri: valitsimen arvo puuttuu tai on ylimääräinen" + hint;
    QTest::newRow("value not taken")
        << QStringList{"--version=2"} << 2 << ""
        << "ahnemetri: valitsimen arvo puuttuu tai on ylimääräinen" + hint;
}

void TestCommandLine::answers()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);

    const Run result = run(arguments);
    QCOMPARE(result.status, status);
    QCOMPARE(result.err, err);
    if (out.startsWith(u"Käyttö")) {
        // The help: the usage line first, then every option of the program with its long form.
        QVERIFY2(result.out.startsWith(out), qPrintable(result.out));
        QVERIFY2(result.out.contains(u"\n  -h, --help "), qPrintable(result.out));
        QVERIFY2(result.out.contains(u"\n  -v, --version "), qPrintable(result.out));
        QVERIFY(!result.out.contains(u"--platform")); // Qt's options are not listed as options
    } else {
        QCOMPARE(result.out, out);
    }
}

void TestCommandLine::answersFailWhenOutputCannotBeWritten_data()
{
    QTest::addColumn<QString>("option");
    QTest::newRow("--help") << "--help";
    QTest::newRow("--version") << "--version";
}

void TestCommandLine::answersFailWhenOutputCannotBeWritten()
{
    QFETCH(QString, option);
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full on this system");
    const Run result = run({option}, {}, QStringLiteral("/dev/full"));
    QCOMPARE(result.status, 1);
    QCOMPARE(result.err, QStringLiteral("ahnemetri: vakiotulosteeseen ei voitu kirjoittaa\n"));
}

void TestCommandLine::endsWithOneLineWithoutADisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QString>("plugin"); // the platform that Qt's reason names, or none

#ifndef Q_OS_WIN // Windows has its window system always; it has no display to miss.
    // Without Qt's Wayland platform installed, the reason is the missing plugin.
    const bool wayland =
        !QDir(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms"))
             .entryList({QStringLiteral("*qwayland*")})
             .isEmpty();
    QTest::newRow("no display at all") << QStringList{} << QStringList{} << "";
    QTest::newRow("X11 display that is not there")
        << QStringList{} << QStringList{"DISPLAY=:4711"} << "";
    QTest::newRow("Wayland display that is not there")
        << QStringList{}
        << QStringList{"QT_QPA_PLATFORM=wayland", "WAYLAND_DISPLAY=ahnemetri-no-such-display"}
        << (wayland ? "" : "wayland");
#endif
    // Not a display problem: Qt's own reason follows the program's line.
    QTest::newRow("platform that does not exist")
        << QStringList{} << QStringList{"DISPLAY=:4711", "QT_QPA_PLATFORM=nonsense"} << "nonsense";
    QTest::newRow("-platform that does not exist")
        << QStringList{"-platform", "nonsense"} << QStringList{"DISPLAY=:4711"} << "nonsense";
}

void TestCommandLine::endsWithOneLineWithoutADisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, environment);
    QFETCH(QString, plugin);
    const Run result = run(arguments, environment);
    QCOMPARE(result.status, 1);
    QCOMPARE(result.out, QString());
    if (plugin.isEmpty()) {
        QCOMPARE(result.err, QStringLiteral("ahnemetri: näyttöön ei saada yhteyttä; ohjelma "
                                            "tarvitsee graafisen työpöydän (X11 tai Wayland)\n"));
    } else {
        const QString line = QStringLiteral("ahnemetri: ikkunajärjestelmää ei voitu käynnistää; "
                                            "Qt kertoo syyksi:\n");
        QVERIFY2(result.err.startsWith(line), qPrintable(result.err));
        QVERIFY2(result.err.contains(u'"' + plugin + u'"'), qPrintable(result.err));
    }
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
