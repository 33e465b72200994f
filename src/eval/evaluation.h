#pragma once

#include <QString>
#include <QStringView>
#include <QTime>

#include <optional>

// Turns the greed score, the player's name and the time of day into every text and number of
// the results window. Pure functions: nothing here reads the clock or a window.
namespace eval {

struct ShortenedName {
    QString shown;  // the name as it appears on the results window
    bool shortened; // the name was too long; the window marks it with dots
};

// Names longer than 30 UTF-16 units are cut to at most their first 26, at the end of a whole
// character as the reader sees it (a letter with its accent marks, an emoji sequence). Only
// blanks (U+0020) are trimmed from the ends; tabs stay.
ShortenedName ShortName(const QString& typedName);

// "hh:mm:ss", 24-hour clock, zero padded.
QString timeText(QTime time);

// In the caption and the summary line the name stands as ShortName shows it; one that holds
// right-to-left letters or direction marks stands there as a bidirectional isolate (U+2068 ...
// U+2069), so that it cannot reorder the text around it.
struct StatusReport {
    QString caption;     // the results window's title
    QString summaryLine; // "Rahahulluus: 37% / Aika: 14:09:05 / Nimi"
    QString percentText; // " 37%"
    float meterValue;    // half the score, for a meter that runs from 0 to 50
    std::optional<QString> diagnosis;
};

StatusReport EvaluateStatus(qint16 score, const QString& typedName, QTime time);

// Tooltip of the meter, formed from the value the meter reports back.
QString MeterTip(float meterReading);

} // namespace eval
