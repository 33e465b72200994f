// libFuzzer target for the results window's rules: every text and number that EvaluateStatus,
// ShortName, NumberText and MeterTip make from a score, a name and a time of day, and the
// donation slider's points and captions.
//
// Input layout (the files in fuzz/corpus follow it):
//   bytes 0-1  the greed score, a qint16 in host byte order
//   bytes 2-4  hour, minute and second, taken modulo 24, 60 and 60
//   the rest   the typed name as UTF-16 code units in host byte order, any values, lone
//              surrogates included; an odd last byte is ignored
// Inputs shorter than five bytes are skipped.
//
// A broken rule prints what broke and aborts, which libFuzzer reports as a crash and saves the
// input as an artifact.

#include "eval/evaluation.h"
#include "eval/numbertext.h"
#include "quiz/catalogue.h"
#include "version.h"

#include <QString>
#include <QStringView>
#include <QTextBoundaryFinder>
#include <QTime>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void check(bool holds, const char* rule)
{
    if (holds)
        return;
    std::fprintf(stderr, "Broken rule: %s\n", rule);
    std::abort();
}

QString twoDigits(int value)
{
    return QString(QChar(u'0' + value / 10)) + QChar(u'0' + value % 10);
}

// The whole-number format written out by hand: a sign position, then only ASCII digits that
// read back as the value.
void checkNumberText(qint64 value)
{
    const QString text = eval::NumberText(value);
    check(text.size() >= 2, "a number text has a sign position and at least one digit");
    check(text.front() == (value < 0 ? u'-' : u' '), "the sign position is a blank or a minus");
    for (const QChar c : QStringView(text).sliced(1))
        check(c >= u'0' && c <= u'9', "a number text has only ASCII digits after its sign");
    bool ok = false;
    check(text.trimmed().toLongLong(&ok) == value && ok, "a number text reads back as its value");
}

bool onlyBlanks(QStringView text)
{
    return text.count(u' ') == text.size();
}

void checkName(const QString& typed)
{
    const eval::ShortenedName name = eval::ShortName(typed);

    check(name.shortened == (typed.size() > 30), "only names over 30 units are shortened");
    if (name.shown.isEmpty()) {
        // Nothing shown of a name that is more than blanks: its first character is longer than
        // the 26 units a shortened name keeps.
        check(onlyBlanks(typed) || name.shortened, "a name with more than blanks is shown");
        return;
    }
    check(!name.shown.startsWith(u' '), "the shown name does not begin with a blank");
    // The shown name begins after the typed name's leading blanks: at its first occurrence,
    // since it begins with something else than a blank.
    const qsizetype at = typed.indexOf(name.shown);
    check(at >= 0, "the shown name is part of the typed name");
    check(onlyBlanks(QStringView(typed).left(at)), "only blanks come before the shown name");
    const QStringView rest = QStringView(typed).sliced(at + name.shown.size());
    if (!name.shortened) {
        check(!name.shown.endsWith(u' '), "a name shown whole does not end with a blank");
        check(onlyBlanks(rest), "a name shown whole is all of the name but its blanks");
        return;
    }
    check(name.shown.size() <= 26, "a shortened name keeps at most 26 units");
    if (onlyBlanks(rest))
        return; // nothing but blanks was left out
    // The typed name from the shown name on; it goes on beyond the cut.
    const QString fromShown = QStringView(typed).sliced(at).toString();
    // The cut lies at the last boundary between whole characters (graphemes) within the first
    // 26 units, so it never splits a surrogate pair or parts a mark from its letter.
    const qsizetype kept = name.shown.size();
    const bool endsInHigh = kept > 0 && name.shown.back().isHighSurrogate();
    const bool lowDropped = kept < fromShown.size() && fromShown.at(kept).isLowSurrogate();
    check(!(endsInHigh && lowDropped), "a shortened name never ends in half a character");
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, fromShown);
    if (kept < fromShown.size()) {
        characters.setPosition(kept);
        check(characters.isAtBoundary(), "a shortened name ends with a whole character");
        qsizetype next = characters.toNextBoundary();
        // After a lone surrogate Qt can see a boundary inside the following pair; none is.
        if (next > 0 && next < fromShown.size() && fromShown.at(next - 1).isHighSurrogate()
            && fromShown.at(next).isLowSurrogate())
            next = characters.toNextBoundary();
        check(next > 26, "a shortened name keeps every whole character that fits in 26 units");
    }
}

// Whether the direction marks of a text all end where the text ends: its isolates are balanced,
// and every embedding or override stands inside one (a closing isolate mark ends them).
bool directionMarksEndWithin(QStringView text)
{
    int depth = 0;
    for (const QChar c : text) {
        switch (c.direction()) {
        case QChar::DirLRI:
        case QChar::DirRLI:
        case QChar::DirFSI:
            ++depth;
            break;
        case QChar::DirPDI:
            if (--depth < 0)
                return false;
            break;
        case QChar::DirLRE:
        case QChar::DirRLE:
        case QChar::DirLRO:
        case QChar::DirRLO:
        case QChar::DirPDF:
            if (depth == 0)
                return false;
            break;
        default:
            break;
        }
    }
    return depth == 0;
}

// The name as it stands between fixed texts: as shown, or set apart as an isolate that holds
// the shown name, its direction marks balanced.
void checkNameInPlace(QStringView placed, const QString& shown)
{
    if (placed == shown)
        return;
    check(placed.startsWith(u'\u2068') && placed.endsWith(u'\u2069'),
          "a name that is not shown as it is stands as an isolate");
    check(directionMarksEndWithin(placed), "the direction marks of a name end within it");
    QString bare = placed.toString();
    QString shownBare = shown;
    bare.remove(u'\u2068').remove(u'\u2069');
    shownBare.remove(u'\u2068').remove(u'\u2069');
    check(bare == shownBare, "the isolate holds the shown name");
    bool needed = false;
    for (const char32_t c : shown.toUcs4()) {
        const QChar::Direction d = QChar::direction(c);
        needed = needed || d == QChar::DirR || d == QChar::DirAL || d == QChar::DirAN
                 || (d >= QChar::DirLRE && d <= QChar::DirPDF)
                 || (d >= QChar::DirLRI && d <= QChar::DirPDI);
    }
    check(needed, "only names with right-to-left letters or direction marks are set apart");
}

void checkStatus(qint16 score, const QString& typed, QTime time)
{
    const eval::StatusReport report = eval::EvaluateStatus(score, typed, time);
    const eval::ShortenedName name = eval::ShortName(typed);
    const QString number = eval::NumberText(score);
    const QString timeText =
        twoDigits(time.hour()) + u':' + twoDigits(time.minute()) + u':' + twoDigits(time.second());

    check(eval::timeText(time) == timeText, "the time is written hh:mm:ss");

    check(report.caption.startsWith(u"" AHNEMETRI_TITLE " - Tilastot ("), "caption start");
    check(report.caption.endsWith(name.shortened ? u"...)" : u")"), "caption end");
    const qsizetype captionStart = QStringView(u"" AHNEMETRI_TITLE " - Tilastot (").size();
    const qsizetype captionEnd = name.shortened ? 4 : 1;
    checkNameInPlace(QStringView(report.caption)
                         .sliced(captionStart, report.caption.size() - captionStart - captionEnd),
                     name.shown);

    const QString summaryStart =
        QStringLiteral("Rahahulluus:") + number + QStringLiteral("% / Aika: ");
    check(report.summaryLine.startsWith(summaryStart), "summary line start");
    check(report.summaryLine.contains(timeText), "the summary line holds the time");
    const QString beforeName = summaryStart + timeText + QStringLiteral(" / ");
    check(report.summaryLine.startsWith(beforeName), "the summary line holds the time");
    check(report.summaryLine.endsWith(name.shortened ? u"..." : u""), "summary line end");
    checkNameInPlace(QStringView(report.summaryLine)
                         .sliced(beforeName.size(), report.summaryLine.size() - beforeName.size()
                                                        - (name.shortened ? 3 : 0)),
                     name.shown);

    check(report.percentText == number + u'%', "percent text");
    QStringView digits = report.percentText;
    check(digits.endsWith(u'%'), "the percent text ends with a percent sign");
    digits.chop(1);
    if (digits.startsWith(u' '))
        digits = digits.sliced(1);
    bool ok = false;
    check(digits.toInt(&ok) == score && ok, "the percent text reads back as the score");

    check(static_cast<double>(report.meterValue) * 2.0 == static_cast<double>(score),
          "the meter holds exactly half the score");
    check(eval::MeterTip(report.meterValue)
              == QStringLiteral("Olet") + number + QStringLiteral("% rahahullu"),
          "the meter's tooltip gives the score back");

    // Which text each score of 0 to 100 gets is read score by score in tests/usertexts.txt.
    const bool inRange = score >= 0 && score <= 100;
    check(report.diagnosis.has_value() == inRange, "a diagnosis exactly for scores 0 to 100");
}

void checkDonation(int amount)
{
    // The points of every amount on the slider are read in tests/usertexts.txt; here, that the
    // smaller gift never scores less, and that an amount off the slider scores nothing.
    const int points = quiz::donation::points(amount);
    check(points >= 0 && points <= 7, "donation points stay within 0 to 7");
    const bool onSlider =
        amount >= quiz::donation::minimumAmount && amount <= quiz::donation::maximumAmount;
    if (!onSlider)
        check(points == 0, "an amount off the slider scores nothing");
    else if (amount > quiz::donation::minimumAmount)
        check(quiz::donation::points(amount - 1) >= points, "a smaller gift never scores less");

    const QString caption = quiz::donation::confirmCaption(amount);
    check(caption.endsWith(u"&markka") || caption.endsWith(u"&markkaa"),
          "the confirm caption ends with the currency");
    check(caption
              == eval::NumberText(amount)
                     + (amount == 1 ? QStringLiteral(" &markka") : QStringLiteral(" &markkaa")),
          "the confirm caption is the amount and markka, singular only after one");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr std::size_t headerSize = 5;
    if (size < headerSize)
        return 0;

    qint16 score = 0;
    std::memcpy(&score, data, sizeof score);
    const QTime time(data[2] % 24, data[3] % 60, data[4] % 60);

    const qsizetype units = static_cast<qsizetype>((size - headerSize) / sizeof(char16_t));
    QString typed(units, Qt::Uninitialized);
    if (units > 0)
        std::memcpy(typed.data(), data + headerSize,
                    static_cast<std::size_t>(units) * sizeof(char16_t));

    checkNumberText(score);
    checkNumberText(typed.size());
    checkName(typed);
    checkStatus(score, typed, time);
    checkDonation(((score % 21) + 21) % 21);
    checkDonation(score);
    return 0;
}
