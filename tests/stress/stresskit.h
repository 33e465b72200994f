#pragma once

#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QTime>

class ProgramFixture;
class QTimer;
class QWidget;

namespace forms {
class StatusFrm;
} // namespace forms

// What the long-running checks share: typing as a keyboard does, waiting for the start window's
// polling timer, playing one whole test as a user and reading the results window.
namespace stress {

// Types the text key by key into `target`, or into whatever has the keyboard when `target` is
// null. Letters outside ASCII (ä, ö, characters beyond the BMP) arrive as key events carrying
// the text, the way an input method delivers them.
void typeText(QWidget* target, const QString& text);
// The same for a single character (one code point, so possibly two UTF-16 units).
void typeCharacter(QWidget* target, const QString& character);
// The text cut into characters as typeCharacter takes them.
QStringList characters(const QString& text);

// Lets the event loop run until `timer` fires once more; false if it does not within a second.
[[nodiscard]] bool waitForNextTick(QTimer* timer);

// An empty string when the results window shows exactly what the evaluation gives for the
// score, the typed name and the time of day; otherwise what differs.
QString resultsMismatch(forms::StatusFrm& results, qint16 score, const QString& typedName,
                        QTime time);

// How one whole test ends: "Uusi testi" back to the start window, or "Lopeta".
enum class AfterResults { NewTest, Quit };

// Plays one whole test on the program the way a user does: types `name` (or, when it is empty,
// a random sample name) into the empty
// name box, clicks "Aloita testi", clicks a random answer to every question (the donation is
// set with the arrow keys), checks the score and every text of the results window, and then
// clicks "Uusi testi" or "Lopeta". Returns what went wrong, or an empty string.
QString playWholeTest(ProgramFixture& program, QRandomGenerator& random, AfterResults after,
                      const QString& name = {});
// The names that playWholeTest types: plain, Finnish, blanks, markup, emoji, long ones.
const QStringList& sampleNames();

// Resident memory of this process in bytes (on Windows its working set), or -1 when it cannot
// be read.
qint64 residentBytes();

} // namespace stress
