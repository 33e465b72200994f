// The command line, as a user at a terminal meets it: the program is run as a process of its own
// with no display at all, so that only an answer that never touches the window system can
// succeed, and a run that opened a window would not end by itself.

#include "version.h"

#include <QProcess>
#include <QTest>

class TestCommandLine : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void answers_data();
    void answers();
    void endsWithOneLineWithoutADisplay_data();
    void endsWithOneLineWithoutADisplay();

private:
    struct Run {
        int status = -1;
        QString out;
        QString err;
    };
    // Runs the program without any display; `environment` adds to what is left.
    static Run run(const QStringList& arguments, const QStringList& environment = {});
};

TestCommandLine::Run TestCommandLine::run(const QStringList& arguments, const QStringList& environment)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    for (const QString& setting : environment)
        env.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));

    QProcess process;
    process.setProcessEnvironment(env);
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
    QTest::newRow("Qt's options pass") << QStringList{"-platform", "xcb", "-style", "fusion", "--version"}
                                       << 0 << version << "";
    QTest::newRow("an error wins over help") << QStringList{"--help", "--nope"} << 2 << ""
                                             << "ahnemetri: tuntematon valitsin '--nope'" + hint;
    QTest::newRow("unknown long option") << QStringList{"--tulos"} << 2 << ""
                                         << "ahnemetri: tuntematon valitsin '--tulos'" + hint;
    QTest::newRow("unknown short option") << QStringList{"-x"} << 2 << ""
                                          << "ahnemetri: tuntematon valitsin '-x'" + hint;
    QTest::newRow("unknown word after one dash") << QStringList{"-platforms"} << 2 << ""
                                                 << "ahnemetri: tuntematon valitsin '-platforms'" + hint;
    QTest::newRow("argument") << QStringList{"Roope"} << 2 << ""
                              << "ahnemetri: ylimääräinen argumentti 'Roope'" + hint;
    QTest::newRow("value missing") << QStringList{"-platform"} << 2 << ""
                                   << "ahnemetri: valitsimen arvo puuttuu tai on ylimääräinen" + hint;
    QTest::newRow("value not taken") << QStringList{"--version=2"} << 2 << ""
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

void TestCommandLine::endsWithOneLineWithoutADisplay_data()
{
    QTest::addColumn<QStringList>("environment");
    QTest::newRow("no display at all") << QStringList{};
    QTest::newRow("X11 display that is not there") << QStringList{"DISPLAY=:4711"};
    QTest::newRow("Wayland display that is not there")
        << QStringList{"QT_QPA_PLATFORM=wayland", "WAYLAND_DISPLAY=ahnemetri-no-such-display"};
}

void TestCommandLine::endsWithOneLineWithoutADisplay()
{
    QFETCH(QStringList, environment);
    const Run result = run({}, environment);
    QCOMPARE(result.status, 1);
    QCOMPARE(result.out, QString());
    QCOMPARE(result.err, QStringLiteral("ahnemetri: näyttöön ei saada yhteyttä; ohjelma tarvitsee "
                                        "graafisen työpöydän (X11 tai Wayland)\n"));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
