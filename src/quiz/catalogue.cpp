#include "quiz/catalogue.h"

#include "eval/numbertext.h"

#include <algorithm>

namespace quiz {

namespace {

using enum AnswerKind;

// Label sizes are in twips (15 twips make a pixel at 96 dpi). A question starts a new stack of
// panels where the next panel could not fit inside the previous one in the original layout;
// later stacks lie above earlier ones, so the newest panel is always the one on top.
constexpr std::array<Question, questionCount> catalogue{{
    {1,
     TwoButtons,
     u"KysymysLbl1",
     u"Avautuuko kukkarosi tarvittaessa muillekin kuin itsellesi?",
     4935,
     255,
     true,
     false,
     {u"AvautuuCmd", u"&Avautuu", 0},
     {u"EiAvauduCmd", u"&Ei avaudu", 4}},
    {2,
     TwoButtons,
     u"KysymysLbl2",
     u"Pelkäätkö rahanahneita varkaita jatkuvasti?",
     3855,
     255,
     false,
     false,
     {u"KyllapelkaanCmd2", u"&Kyllä, pelkään", 4},
     {u"EnpelkaaCmd2", u"&En pelkää", 0}},
    {3,
     TwoButtons,
     u"KysymysLbl3",
     u"Oletko koskaan huijannut uhkapelissä?",
     3375,
     255,
     false,
     false,
     {u"KyllaolenCmd3", u"&Kyllä olen", 6},
     {u"EnoleCmd3", u"&En ole", 0}},
    {4,
     TwoButtons,
     u"KysymysLbl4",
     u"Käytätkö koskaan aikaasi etsimällä vain rahaa maasta?",
     4815,
     255,
     false,
     false,
     {u"KyllakaytanCmd4", u"&Kyllä käytän", 4},
     {u"Enkayta4", u"&En käytä", 0}},
    {5,
     TwoButtons,
     u"KysymysLbl5",
     u"Voisitko elää kuukauden käyttämättä penniäkään huveihin?",
     4935,
     375,
     false,
     false,
     {u"KyllavoisinCmd5", u"&Kyllä voisin", 0},
     {u"EnvoisiCmd5", u"&En voisi", 2}},
    {6,
     TwoButtons,
     u"KysymysLbl6",
     u"Nostaisitko kokonaan koiranpaskaan uponneen viisimarkkaisen?",
     4935,
     375,
     false,
     true,
     {u"KyllanostaisinCmd6", u"&Kyllä nostaisin", 5},
     {u"EnnostaisiCmd6", u"&En nostaisi", 0}},
    {7,
     TwoButtons,
     u"KysymysLbl7",
     u"Pöllitkö rahaa hyvän tilaisuuden tullen?",
     3375,
     255,
     false,
     false,
     {u"KyllapollinCmd7", u"&Kyllä pöllin", 9},
     {u"EnpolliCmd7", u"&En pölli", 0}},
    {8,
     TwoButtons,
     u"KysymysLbl8",
     u"Satut näkemään sateen jälkeen kuraisen kymmenpennisen maassa lojumassa, otatko sen?",
     4935,
     375,
     true,
     false,
     {u"OtansenCmd8", u"&Otan sen", 2},
     {u"EnotaCmd8", u"&En ota", 0}},
    {9,
     Slider,
     u"KysymysLbl9",
     u"Paljonko antaisit Kosovolaisille hyväntekeväisyysrahaa?",
     4815,
     255,
     false,
     false,
     {u"markkaaCmd9", u"0 &markkaa", 0},
     {}},
    {10,
     TwoButtons,
     u"KysymysLbl10",
     u"Kumpi on tärkeämpää, raha vai maallinen mammona?",
     4695,
     255,
     false,
     false,
     {u"RahaCmd10", u"&Raha", 1},
     {u"MammonaCmd10", u"&Mammona", 0}},
    {11,
     TwoButtons,
     u"KysymysLbl11",
     u"Rikkoisitko naapurin ikkunan 300:sta markasta?",
     4215,
     255,
     false,
     false,
     {u"RikkoisinCmd11", u"&Rikkoisin", 7},
     {u"EnrikkoisiCmd11", u"&En rikkoisi", 0}},
    {12,
     TwoButtons,
     u"KysymysLbl12",
     u"Ovatko asiat niin, että rahaa tulee kuin vettä taivaalta, mutta koskaan sitä ei tunnu "
     u"olevan tarpeeksi?",
     4935,
     375,
     false,
     false,
     {u"KyllaovatCmd12", u"&Kyllä ovat", 5},
     {u"EivatoleCmd12", u"&Eivät ole", 1}},
    {13,
     TwoButtons,
     u"KysymysLbl13",
     u"Myisitkö mummosi 400 markasta?",
     3015,
     255,
     true,
     false,
     {u"MyisinCmd13", u"&Myisin", 6},
     {u"EnmyisiCmd13", u"&En myisi", 0}},
    {14,
     TwoButtons,
     u"KysymysLbl14",
     u"Käytkö enemmän kuin kerran viikossa Täyspotissa?",
     4575,
     255,
     true,
     false,
     {u"KaynCmd14", u"&Käyn", 3},
     {u"EnkayCmd14", u"&En käy", 0}},
    {15,
     TwoButtons,
     u"KysymysLbl15",
     u"Oletko kateellinen Mogulille?",
     2775,
     255,
     false,
     false,
     {u"OlenCmd15", u"&Olen", 2},
     {u"EnoleCmd15", u"&En ole", 0}},
    {16,
     TwoButtons,
     u"KysymysLbl16",
     u"Kiillotatko kenties rahojasi?",
     2415,
     255,
     true,
     false,
     {u"KiillotanCmd16", u"&Kiillotan", 4},
     {u"EnkiillotaCmd16", u"&En kiillota", 0}},
    {17,
     TwoButtons,
     u"KysymysLbl17",
     u"Tulisitko hulluksi jos voittaisit Lotossa 25 miljoonaa markkaa?",
     4935,
     375,
     false,
     false,
     {u"TulisinCmd17", u"&Tulisin", 1},
     {u"EntulisiCmd17", u"&En tulisi", 4}},
    {18,
     TwoButtons,
     u"KysymysLbl18",
     u"Jos sinua käsketään tekemään jotain, vastaatko ensin: \"Paljon maksat?\"?",
     4935,
     495,
     false,
     false,
     {u"KyllavastaanCmd18", u"&Kyllä vastaan", 2},
     {u"EnvastaaCmd18", u"&En vastaa", 0}},
    {19,
     TwoButtons,
     u"Label1",
     u"Oliko sinulla jo pienenä tarvis näperrellä kaikkea arvokasta?",
     4935,
     495,
     false,
     false,
     {u"OlitarvisCmd19", u"&Oli tarvis", 1},
     {u"EiollutCmd19", u"&Ei ollut", 0}},
    {20,
     TwoButtons,
     u"KysymysLbl20",
     u"Raha vai rakkaus?",
     1695,
     255,
     false,
     false,
     {u"RahaCmd20", u"&Raha", 10},
     {u"RakkausCmd20", u"R&akkaus", -2}},
    {21,
     TwoButtons,
     u"KysymysLbl21",
     u"Käytätkö vapaa-aikana kallista puvutakkia ja kravaattia vai farkkuja ja T-paitaa?",
     4935,
     495,
     false,
     false,
     {u"PuvutakkiCmd21", u"&Puvutakki", 2},
     {u"FarkutCmd21", u"&Farkkuja", 0}},
    {22,
     TwoButtons,
     u"KysymysLbl22",
     u"Pelaatko mieluummin bingoa kuin sulkapalloa?",
     4095,
     255,
     false,
     false,
     {u"BingoCmd22", u"&Pelaan bingoa", 2},
     {u"SulkkisCmd22", u"P&elaan sulkkista", 0}},
    {23,
     TwoButtons,
     u"KysymysLbl23",
     u"Söisitkö kadunvarrelta löytyvää tuoretta koiranjäännöstä 100 markasta?",
     4935,
     375,
     false,
     false,
     {u"SoisinCmd23", u"&Söisin", 4},
     {u"EnsoisiCmd23", u"&En söisi", 0}},
    {24,
     TwoButtons,
     u"KysymysLbl24",
     u"Oletko joskus pienissä raha-asioissa vetänyt välistä?",
     4575,
     255,
     false,
     false,
     {u"OlenvetanytCmd24", u"&Olen vetänyt", 3},
     {u"EnoleCmd24", u"&En ole", 0}},
    {25,
     TwoButtons,
     u"KysymysLbl25",
     u"Ajatteletko koskaan rahamenojasi?",
     3135,
     255,
     false,
     false,
     {u"AjattelenCmd25", u"&Ajattelen", 1},
     {u"EnajatteleCmd25", u"&En ajattele", 0}},
}};

} // namespace

const std::array<Question, questionCount>& questions()
{
    return catalogue;
}

const Question& question(int number)
{
    Q_ASSERT(number >= 1 && number <= questionCount);
    return catalogue[static_cast<std::size_t>(number - 1)];
}

QString panelName(int number)
{
    return QStringLiteral("KysymysFrame") + QString::number(number);
}

QString panelCaption(int number)
{
    return QStringLiteral("Kysymys ") + QString::number(number) + QStringLiteral("/")
           + QString::number(questionCount);
}

namespace {
template <typename Pick> int donationExtreme(Pick pick)
{
    int best = donation::points(donation::minimumAmount);
    for (int amount = donation::minimumAmount + 1; amount <= donation::maximumAmount; ++amount)
        best = pick(best, donation::points(amount));
    return best;
}
} // namespace

int highestPoints(const Question& q)
{
    if (q.kind == AnswerKind::Slider)
        return donationExtreme([](int a, int b) { return std::max(a, b); });
    return std::max(q.left.points, q.right.points);
}

int lowestPoints(const Question& q)
{
    if (q.kind == AnswerKind::Slider)
        return donationExtreme([](int a, int b) { return std::min(a, b); });
    return std::min(q.left.points, q.right.points);
}

namespace donation {

int points(int amount)
{
    // Lower limits inclusive, upper exclusive: 5, 10 and 15 start their band. The slider
    // cannot leave 0 to 20; anything outside scores nothing.
    if (amount < 0)
        return 0;
    if (amount == 0)
        return 7;
    if (amount < 5)
        return 5;
    if (amount < 10)
        return 4;
    if (amount < 15)
        return 2;
    if (amount < 20)
        return 1;
    return 0;
}

QString confirmCaption(int amount)
{
    // Finnish takes the singular after one and the partitive after every other number.
    return eval::NumberText(amount)
           + (amount == 1 ? QStringLiteral(" &markka") : QStringLiteral(" &markkaa"));
}

} // namespace donation

} // namespace quiz
