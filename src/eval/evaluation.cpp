#include "eval/evaluation.h"

#include "eval/numbertext.h"
#include "version.h"

#include <QTextBoundaryFinder>

#include <array>
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

// The eleven diagnoses by score, from no interest in money at all to the mental hospital.
struct DiagnosisBand {
    int lowest;  // lowest score of the band
    int highest; // highest score of the band
    QStringView text;
};

constexpr std::array<DiagnosisBand, 11> bands{{
    {.lowest = 0,
     .highest = 0,
     .text = u"Sinulla ei ole minkäänlaista himoa rahaan. Siinä on hyviä puolia mutta on myös "
             u"huonoja puoliakin. Varo vain ettet joudu asumaan kadulle!"},
    {.lowest = 1,
     .highest = 5,
     .text = u"Sinulla ei ole suurta pakkomiellettä tai himoa rahaan. Sinäkin vain pidät "
             u"huolta raha-asioistasi, mutta et kummiskaan laske joka penniä tai päinvastoin; "
             u"et törsää kaikkea."},
    {.lowest = 6,
     .highest = 15,
     .text = u"Sinulla on pienen pieni rahanhimo. Pelkkä raha ei ole sinulle tärkeä, vaan "
             u"pidät enemmän arvokkaana muita asioita."},
    {.lowest = 16,
     .highest = 25,
     .text = u"Sinulla alkaa jo olla vähäistä rahanhimoa, mutta vielä ei ole hätää. Sinulla "
             u"voi pyöriä jo raha hieman mielessä."},
    {.lowest = 26,
     .highest = 40,
     .text = u"Tarvittaessa teet vaikka jotain pientä älytöntä, jos ansaitset siitä. Sinulla "
             u"ei ole vielä vakavaa rahanhimoa, mutta se alkaa kehittyä, jos et nyt rajoita."},
    {.lowest = 41,
     .highest = 50,
     .text = u"Sinusta on tullut ajan myötä jo rahanhimoinen. Et ole vielä ihan pahassa "
             u"asemassa, mutta sinusta voi tulla jo 'Roope Ankka' todella nopeasti."},
    {.lowest = 51,
     .highest = 65,
     .text = u"Sinua voi jo kutsua yleisesti rahanhimoiseksi. Olet vakavassa asemassa himosi "
             u"suhteen, ajan myötä sinusta tulee vieläkin himoisempi."},
    {.lowest = 66,
     .highest = 75,
     .text = u"Sinun suhteesi rahaan on jo ongelma. Hankit rahaa keinolla millä hyvänsä."},
    {.lowest = 76,
     .highest = 90,
     .text = u"Sinun himoasi voi kutsua jo sairaaksi. Luultavasti joudut vielä vaikeuksiin "
             u"himosi kanssa. Ajattelet, että rahaa ei ole koskaan liikaa."},
    {.lowest = 91,
     .highest = 99,
     .text = u"Olet tullut hulluksi. Et ajattele mitään muuta kuin rahaa. Teet mitä tahansa "
             u"että saat rahaa lisää ja lisää. Luultavasti ryöstät pankkeja ja kauppoja jne. "
             u"Juokset suunnilleen kaiken kiiltävän perään."},
    {.lowest = 100,
     .highest = 100,
     .text = u"Luultavasti oleskelet tälläkin hetkellä jo jossain mielisairaalassa ja "
             u"hoeskelet koko ajan 'Raha, raha, raha' Sinulla on sellainen himo että haluat "
             u"aivan koko ajan rahaa lisää. Koskaan ei ole sinusta tarpeeksi. Teet mitä vain "
             u"saadaksesi rahaa tai jotain arvokasta. Ihmissuuhteesikin kärsivät."},
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
    // Only a score given twice leaves 0 to 100; it finds no band.
    for (const DiagnosisBand& band : bands) {
        if (score >= band.lowest && score <= band.highest)
            report.diagnosis = band.text.toString();
    }
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
