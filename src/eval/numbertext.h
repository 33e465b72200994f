#pragma once

#include <QString>

namespace eval {

// The program's one way of writing a whole number: one sign position (a blank, or "-" for
// negative numbers) followed by the decimal digits. The fixed texts around a number carry no
// blank of their own and rely on the sign position.
QString NumberText(qint64 value);

} // namespace eval
