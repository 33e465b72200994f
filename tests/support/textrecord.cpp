#include "textrecord.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void stop(const QString& message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    std::abort();
}

QString unescaped(QStringView value)
{
    QString text = value.toString();
    text.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    return text;
}

// "0", "1 to 5": the numbers a line of the record stands for.
bool holds(QStringView range, int number)
{
    static const QRegularExpression form(QStringLiteral("^(-?\\d+)(?: to (-?\\d+))?$"));
    const QRegularExpressionMatch match = form.match(range.toString());
    if (!match.hasMatch())
        stop(QStringLiteral("usertexts.txt: not a number or range: ") + range.toString());
    const int lowest = match.captured(1).toInt();
    const int highest = match.hasCaptured(2) ? match.captured(2).toInt() : lowest;
    return number >= lowest && number <= highest;
}

qsizetype firstDifference(const QString& a, const QString& b)
{
    qsizetype i = 0;
    while (i < a.size() && i < b.size() && a.at(i) == b.at(i))
        ++i;
    return i;
}

} // namespace

TextRecord::TextRecord(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        stop(QStringLiteral("cannot read the record of texts ") + path);
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    QString section;
    QSet<QString> seen;
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const int number = i + 1;
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype equals = line.indexOf(QStringLiteral(" = \""));
        if (section.isEmpty() || equals <= 0 || !line.endsWith(u'"'))
            stop(QStringLiteral("usertexts.txt:%1: not a line of the record: %2")
                     .arg(number)
                     .arg(line));
        const qsizetype first = equals + 4;
        Line entry{number, section, line.left(equals),
                   unescaped(line.mid(first, line.size() - first - 1))};
        if (seen.contains(section + u'\n' + entry.key))
            stop(QStringLiteral("usertexts.txt:%1: %2 is there twice").arg(number).arg(entry.key));
        seen.insert(section + u'\n' + entry.key);
        m_lines.append(entry);
    }
}

const TextRecord& TextRecord::instance()
{
    static const TextRecord record(QStringLiteral(AHNEMETRI_TEXT_RECORD));
    return record;
}

QList<TextRecord::Line> TextRecord::section(const QString& name) const
{
    QList<Line> found;
    for (const Line& line : m_lines) {
        if (line.section == name)
            found.append(line);
    }
    return found;
}

QString TextRecord::text(const QString& section, const QString& key) const
{
    for (const Line& line : m_lines) {
        if (line.section == section && line.key == key)
            return line.value;
    }
    stop(QStringLiteral("usertexts.txt has no line [%1] %2").arg(section, key));
}

QString TextRecord::diagnosisRow(int row) const
{
    const QList<Line> rows = section(QStringLiteral("Diagnoses"));
    if (row < 1 || row > rows.size())
        stop(QStringLiteral("usertexts.txt has no diagnosis row %1").arg(row));
    return rows[row - 1].value;
}

QString TextRecord::valueAt(const QString& section, const QString& prefix, int number) const
{
    for (const Line& line : this->section(section)) {
        if (line.key.startsWith(prefix)
            && holds(QStringView(line.key).sliced(prefix.size()), number))
            return line.value;
    }
    return {};
}

QString TextRecord::quoted(const QString& value)
{
    QString text = value;
    text.replace(QStringLiteral("\n"), QStringLiteral("\\n"));
    return u'"' + text + u'"';
}

QString TextRecord::describe(const Line& line)
{
    return QStringLiteral("usertexts.txt:%1: [%2] %3 = %4")
        .arg(line.number)
        .arg(line.section, line.key, quoted(line.value));
}

QStringList differences(const QString& section, const QMap<QString, QString>& shown)
{
    QStringList found;
    QSet<QString> recorded;
    for (const TextRecord::Line& line : TextRecord::instance().section(section)) {
        recorded.insert(line.key);
        const auto it = shown.constFind(line.key);
        if (it == shown.cend())
            found.append(TextRecord::describe(line)
                         + QStringLiteral("\n    the program shows no such text"));
        else if (*it != line.value)
            found.append(TextRecord::describe(line) + QStringLiteral("\n    the program shows ")
                         + line.key + QStringLiteral(" = ") + TextRecord::quoted(*it)
                         + QStringLiteral("\n    from character %1 on")
                               .arg(firstDifference(*it, line.value) + 1));
    }
    for (auto it = shown.cbegin(); it != shown.cend(); ++it) {
        if (!recorded.contains(it.key()))
            found.append(QStringLiteral("usertexts.txt has no line [%1] %2 = %3")
                             .arg(section, it.key(), TextRecord::quoted(it.value())));
    }
    return found;
}
