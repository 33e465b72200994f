#pragma once

#include <QList>
#include <QMap>
#include <QString>

// The reviewed record of every text the user sees (tests/usertexts.txt): the independent source
// the tests take the program's texts from. Qt Core only, for the tests of the pure rules too.
class TextRecord {
public:
    struct Line {
        int number = 0;  // line number in the file, from 1
        QString section; // the window, or "Diagnoses"
        QString key;     // "AloitaCmd toolTip"
        QString value;
    };

    // The record, read once; a file that cannot be read or a line that does not parse stops the
    // test with the line's number.
    static const TextRecord& instance();

    QList<Line> section(const QString& name) const;
    // The value of a line that must be there; a missing line stops the test.
    QString text(const QString& section, const QString& key) const;
    // The diagnosis of a row of the table, 1 to 11.
    QString diagnosisRow(int row) const;
    // The value of the line whose key is the prefix and a number or range that holds the
    // number: valueAt("Diagnoses", "", 37), valueAt("KysymysFrm", "markkaaCmd9 points at ", 7).
    // Empty when no line holds it.
    QString valueAt(const QString& section, const QString& prefix, int number) const;

    // A line as it reads in the file, for messages: usertexts.txt:42: AloitaCmd text = "...".
    static QString describe(const Line& line);
    static QString quoted(const QString& value); // "value", a line break written as \n

private:
    explicit TextRecord(const QString& path);

    QList<Line> m_lines;
};

// Compares what a window shows, one key a text, with the record's section of that window: a
// line of the record that the window does not show as written, and a text the window shows that
// has no line, each make one line of the result. Empty when they agree.
QStringList differences(const QString& section, const QMap<QString, QString>& shown);
