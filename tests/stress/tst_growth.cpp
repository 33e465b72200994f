// Many whole tests in a row in one process: none may leave widgets or memory behind. The number
// of tests comes from AHNEMETRI_GROWTH_TESTS (default 1000), the seed of the random answers and
// names from AHNEMETRI_GROWTH_SEED (a fixed one by default; every run prints its seed).

#include "programfixture.h"
#include "stresskit.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QTest>

#include <optional>

#if defined(__GLIBC__) || defined(_WIN32)
#include <malloc.h>
#endif

namespace {

int testsToPlay()
{
    bool ok = false;
    const int count = qEnvironmentVariableIntValue("AHNEMETRI_GROWTH_TESTS", &ok);
    return ok && count > 0 ? count : 1000;
}

// AddressSanitizer keeps freed memory in quarantine, so resident memory grows without a leak;
// LeakSanitizer reports real leaks there instead.
constexpr bool residentMemoryIsMeaningful =
#if defined(__SANITIZE_ADDRESS__)
    false;
#else
    true;
#endif

constexpr qint64 allowedGrowth = 1024 * 1024;
constexpr quint32 defaultSeed = 20261207;

quint32 growthSeed()
{
    bool ok = false;
    const quint32 seed = qEnvironmentVariable("AHNEMETRI_GROWTH_SEED").toUInt(&ok);
    return ok ? seed : defaultSeed;
}

// Resident memory in use: what the allocator keeps free for later goes back to the system
// first, so that only memory still held by the program counts.
qint64 residentInUse()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#elif defined(Q_OS_WIN)
    _heapmin();
#endif
    return stress::residentBytes();
}

int widgetCount()
{
    // A widget deleted with deleteLater() is gone once the deferred deletions have run.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return int(QApplication::allWidgets().size());
}

} // namespace

class TestGrowth : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void wholeTestsLeaveNothingBehind();
};

void TestGrowth::wholeTestsLeaveNothingBehind()
{
    const int tests = testsToPlay();
    const quint32 seed = growthSeed();
    qInfo() << "growth seed" << seed << "tests" << tests;
    QRandomGenerator random(seed);

    ProgramFixture program;
    // One test with every sample name first: the fonts and glyphs that the names need (emoji
    // and other scripts come from whatever fallback fonts the machine has) are loaded once and
    // for all before memory is compared.
    for (const QString& name : stress::sampleNames()) {
        const QString wrong =
            stress::playWholeTest(program, random, stress::AfterResults::NewTest, name);
        if (!wrong.isEmpty())
            QFAIL(qPrintable(QStringLiteral("warm-up with \"%1\": %2").arg(name, wrong)));
    }
    int widgetsAfterFirst = 0;
    qint64 residentAfterFirst = 0;
    for (int test = 1; test <= tests; ++test) {
        const QString wrong = stress::playWholeTest(program, random, stress::AfterResults::NewTest);
        if (!wrong.isEmpty())
            QFAIL(
                qPrintable(QStringLiteral("test %1 (seed %2): %3").arg(test).arg(seed).arg(wrong)));
        const int widgets = widgetCount();
        if (test == 1) {
            widgetsAfterFirst = widgets;
            residentAfterFirst = residentInUse();
            QVERIFY(residentAfterFirst > 0);
            continue;
        }
        if (widgets != widgetsAfterFirst) {
            QFAIL(qPrintable(QStringLiteral("%1 widgets after test %2, %3 after the first")
                                 .arg(widgets)
                                 .arg(test)
                                 .arg(widgetsAfterFirst)));
        }
    }

    const qint64 residentAfterLast = residentInUse();
    qInfo() << "resident memory after test 1:" << residentAfterFirst << "bytes, after test" << tests
            << ":" << residentAfterLast << "bytes";
    if (!residentMemoryIsMeaningful) {
        qInfo("resident memory is not compared under AddressSanitizer");
        return;
    }
    QVERIFY2(residentAfterLast - residentAfterFirst <= allowedGrowth,
             qPrintable(QStringLiteral("resident memory grew by %1 bytes over %2 tests")
                            .arg(residentAfterLast - residentAfterFirst)
                            .arg(tests)));
}

QTEST_MAIN(TestGrowth)
#include "tst_growth.moc"
