// One whole test from the program's start to "Lopeta", as a process of its own, for memory
// checkers (scripts/valgrind.sh). The program is assembled and set up as main() does it (the
// fixture); the exit status tells whether everything on the way was as expected.
//
// Usage: stress_onetest [SEED]   (runs on the offscreen platform; a fixed seed by default)

#include "programfixture.h"
#include "stresskit.h"

#include <QApplication>
#include <QRandomGenerator>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);

    const quint32 seed = argc > 1 ? QByteArray(argv[1]).toUInt() : 20261207u;
    std::printf("one whole test, seed %u\n", seed);
    QRandomGenerator random(seed);

    ProgramFixture program;
    const QString wrong = stress::playWholeTest(program, random, stress::AfterResults::Quit);
    if (!wrong.isEmpty()) {
        std::fprintf(stderr, "FAIL: %s\n", qPrintable(wrong));
        return 1;
    }
    std::printf("PASS\n");
    return 0;
}
