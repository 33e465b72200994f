#include "eval/numbertext.h"

namespace eval {

QString NumberText(qint64 value)
{
    // QString::number is locale-independent: no group separators, ASCII digits.
    if (value < 0)
        return QString::number(value);
    return QLatin1Char(' ') + QString::number(value);
}

} // namespace eval
