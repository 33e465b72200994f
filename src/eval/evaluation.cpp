#include "eval/evaluation.h"

#include "eval/numbertext.h"
#include "version.h"

#include <QTextBoundaryFinder>

#include <cmath>
#include <initializer_list>
#include <limits>

namespace eval {

namespace {

// Every fixed text of the results. Spaces are significant: the number texts bring their own
// leading blank, so "Rahahulluus:" and "Olet" end without one.
namespace text {
constexpr QStringView captionStart = u"" AHNEMETRI_TITLE " - Tilastot (";
constexpr QStringView captionEnd = u")";
constexpr QStringView captionEndShortened = u"...)";
constexpr QStringView summaryStart = u"Rahahulluus:";
constexpr QStringView summaryAfterNumber = u"% / Aika: ";
constexpr QStringView summaryBeforeName = u" / ";
constexpr QStringView summaryShortenedMark = u"...";
constexpr QStringView percentSign = u"%";
constexpr QStringView tipStart = u"Olet";
constexpr QStringView tipEnd = u"% rahahullu";
} // namespace text

constexpr int longestWholeName = 30; // typed length that is still shown whole
constexpr int shortenedLength = 26;  // units kept of a longer name

constexpr std::array<DiagnosisBand, diagnosisRowCount> bands{{
    {1, 0, 0,
     u"Sinulla ei ole minkäänlaista himoa rahaan. Siinä on hyviä puolia mutta on myös huonoja "
     u"puoliakin. Varo vain ettet joudu asumaan kadulle!"},
    {2, 1, 5,
     u"Sinulla ei ole suurta pakkomiellettä tai himoa rahaan. Sinäkin vain pidät huolta "
     u"raha-asioistasi, mutta et kummiskaan laske joka penniä tai päinvastoin; et törsää "
     u"kaikkea."},
    {3, 6, 15,
     u"Sinulla on pienen pieni rahanhimo. Pelkkä raha ei ole sinulle tärkeä, vaan pidät enemmän "
     u"arvokkaana muita asioita."},
    {4, 16, 25,
     u"Sinulla alkaa jo olla vähäistä rahanhimoa, mutta vielä ei ole hätää. Sinulla voi pyöriä "
     u"jo raha hieman mielessä."},
    {5, 26, 40,
     u"Tarvittaessa teet vaikka jotain pientä älytöntä, jos ansaitset siitä. Sinulla ei ole "
     u"vielä vakavaa rahanhimoa, mutta se alkaa kehittyä, jos et nyt rajoita."},
    {6, 41, 50,
     u"Sinusta on tullut ajan myötä jo rahanhimoinen. Et ole vielä ihan pahassa asemassa, mutta "
     u"sinusta voi tulla jo 'Roope Ankka' todella nopeasti."},
    {7, 51, 65,
     u"Sinua voi jo kutsua yleisesti rahanhimoiseksi. Olet vakavassa asemassa himosi suhteen, "
     u"ajan myötä sinusta tulee vieläkin himoisempi."},
    {8, 66, 75, u"Sinun suhteesi rahaan on jo ongelma. Hankit rahaa keinolla millä hyvänsä."},
    {9, 76, 90,
     u"Sinun himoasi voi kutsua jo sairaaksi. Luultavasti joudut vielä vaikeuksiin himosi "
     u"kanssa. Ajattelet, että rahaa ei ole koskaan liikaa."},
    {10, 91, 99,
     u"Olet tullut hulluksi. Et ajattele mitään muuta kuin rahaa. Teet mitä tahansa että saat "
     u"rahaa lisää ja lisää. Luultavasti ryöstät pankkeja ja kauppoja jne. Juokset suunnilleen "
     u"kaiken kiiltävän perään."},
    {11, 100, 100,
     u"Luultavasti oleskelet tälläkin hetkellä jo jossain mielisairaalassa ja hoeskelet koko "
     u"ajan 'Raha, raha, raha' Sinulla on sellainen himo että haluat aivan koko ajan rahaa "
     u"lisää. Koskaan ei ole sinusta tarpeeksi. Teet mitä vain saadaksesi rahaa tai jotain "
     u"arvokasta. Ihmissuuhteesikin kärsivät."},
}};

QString concat(std::initializer_list<QStringView> parts)
{
    QString result;
    for (const QStringView part : parts)
        result += part;
    return result;
}

constexpr char16_t firstStrongIsolate = u'\u2068';
constexpr char16_t popDirectionalIsolate = u'\u2069';

// The name as it stands inside a fixed text. A name that holds right-to-left letters or
// direction marks is set apart as an isolate of its own (first strong isolate ... pop
// directional isolate), so that it cannot reorder the text around it: the brackets of the
// caption, the dots of a shortened name. Isolates the name leaves open are closed inside it,
// and a pop that would close the isolate around it is left out. Other names stay as they are.
QString inItsPlace(QStringView name)
{
    QString inside;
    inside.reserve(name.size() + 2);
    bool isolate = false;
    int open = 0; // isolates opened by the name itself
    for (qsizetype i = 0; i < name.size(); ++i) {
        const bool pair =
            name.at(i).isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate();
        const char32_t character =
            pair ? QChar::surrogateToUcs4(name.at(i), name.at(i + 1)) : name.at(i).unicode();
        switch (QChar::direction(character)) {
        case QChar::DirLRI:
        case QChar::DirRLI:
        case QChar::DirFSI:
            ++open;
            isolate = true;
            break;
        case QChar::DirPDI:
            isolate = true;
            if (open == 0)
                continue;
            --open;
            break;
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirAN:
        case QChar::DirLRE:
        case QChar::DirRLE:
        case QChar::DirLRO:
        case QChar::DirRLO:
        case QChar::DirPDF:
            isolate = true;
            break;
        default:
            break;
        }
        inside += name.sliced(i, pair ? 2 : 1);
        if (pair)
            ++i;
    }
    if (!isolate)
        return inside;
    return firstStrongIsolate + inside + QString(open + 1, popDirectionalIsolate);
}

QStringView trimBlanks(QStringView s)
{
    qsizetype first = 0;
    qsizetype last = s.size();
    while (first < last && s.at(first) == u' ')
        ++first;
    while (last > first && s.at(last - 1) == u' ')
        --last;
    return s.sliced(first, last - first);
}

} // namespace

ShortenedName ShortName(const QString& typedName)
{
    // The length test counts the name as typed, blanks included, but the cut works on the
    // trimmed name: a name long only because of its blanks still gets the dots.
    const QStringView trimmed = trimBlanks(typedName);
    if (typedName.size() <= longestWholeName)
        return {trimmed.toString(), false};

    // Cut where one character ends and the next begins as the reader sees them, so that no
    // accent mark, joined emoji or half of a surrogate pair is parted from its letter: at the
    // last such boundary within the first units.
    qsizetype cut = shortenedLength;
    if (cut < trimmed.size()) {
        QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, trimmed.data(),
                                       trimmed.size());
        characters.setPosition(cut);
        if (!characters.isAtBoundary())
            cut = characters.toPreviousBoundary();
        // A lone surrogate before a pair can make Qt's grapheme rules put a boundary inside
        // the pair; a cut there would still leave half a character.
        if (cut > 0 && trimmed.at(cut - 1).isHighSurrogate() && trimmed.at(cut).isLowSurrogate())
            --cut;
    }
    return {trimmed.left(cut).toString(), true};
}

QString timeText(QTime time)
{
    const auto twoDigits = [](int v) { return QString::number(v).rightJustified(2, u'0'); };
    return twoDigits(time.hour()) + u':' + twoDigits(time.minute()) + u':'
           + twoDigits(time.second());
}

const std::array<DiagnosisBand, diagnosisRowCount>& diagnosisBands()
{
    return bands;
}

std::optional<DiagnosisBand> diagnosisFor(int score)
{
    for (const DiagnosisBand& band : bands) {
        if (score >= band.lowest && score <= band.highest)
            return band;
    }
    return std::nullopt;
}

StatusReport EvaluateStatus(qint16 score, const QString& typedName, QTime time)
{
    const ShortenedName name = ShortName(typedName);
    const QString shownName = inItsPlace(name.shown);
    const QString number = NumberText(score);

    StatusReport report;
    report.caption = concat({text::captionStart, shownName,
                             name.shortened ? text::captionEndShortened : text::captionEnd});
    report.summaryLine = concat({text::summaryStart, number, text::summaryAfterNumber,
                                 timeText(time), text::summaryBeforeName, shownName,
                                 name.shortened ? text::summaryShortenedMark : QStringView()});
    report.percentText = concat({number, text::percentSign});
    report.meterValue = static_cast<float>(static_cast<double>(score) / 2.0);
    if (const auto band = diagnosisFor(score))
        report.diagnosis = band->text.toString();
    return report;
}

QString MeterTip(float meterReading)
{
    // The meter holds exactly half the score, so doubling its reading gives the score back.
    const float doubled = meterReading * 2.0f;
    constexpr float limit = static_cast<float>(std::numeric_limits<qint32>::max());
    const qint64 whole = std::isfinite(doubled) && std::fabs(doubled) < limit
                             ? static_cast<qint64>(std::lround(doubled))
                             : 0;
    return concat({text::tipStart, NumberText(whole), text::tipEnd});
}

} // namespace eval
