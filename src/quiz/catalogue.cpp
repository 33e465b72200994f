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
    {.number = 1,
     .label = {.name = u"KysymysLbl1",
               .text = u"Avautuuko kukkarosi tarvittaessa muillekin kuin itsellesi?",
               .width = 4935,
               .height = 255},
     .startsStack = true,
     .left = {.controlName = u"AvautuuCmd", .caption = u"&Avautuu", .points = 0},
     .right = {.controlName = u"EiAvauduCmd", .caption = u"&Ei avaudu", .points = 4}},
    {.number = 2,
     .label = {.name = u"KysymysLbl2",
               .text = u"Pelkäätkö rahanahneita varkaita jatkuvasti?",
               .width = 3855,
               .height = 255},
     .left = {.controlName = u"KyllapelkaanCmd2", .caption = u"&Kyllä, pelkään", .points = 4},
     .right = {.controlName = u"EnpelkaaCmd2", .caption = u"&En pelkää", .points = 0}},
    {.number = 3,
     .label = {.name = u"KysymysLbl3",
               .text = u"Oletko koskaan huijannut uhkapelissä?",
               .width = 3375,
               .height = 255},
     .left = {.controlName = u"KyllaolenCmd3", .caption = u"&Kyllä olen", .points = 6},
     .right = {.controlName = u"EnoleCmd3", .caption = u"&En ole", .points = 0}},
    {.number = 4,
     .label = {.name = u"KysymysLbl4",
               .text = u"Käytätkö koskaan aikaasi etsimällä vain rahaa maasta?",
               .width = 4815,
               .height = 255},
     .left = {.controlName = u"KyllakaytanCmd4", .caption = u"&Kyllä käytän", .points = 4},
     .right = {.controlName = u"Enkayta4", .caption = u"&En käytä", .points = 0}},
    {.number = 5,
     .label = {.name = u"KysymysLbl5",
               .text = u"Voisitko elää kuukauden käyttämättä penniäkään huveihin?",
               .width = 4935,
               .height = 375},
     .left = {.controlName = u"KyllavoisinCmd5", .caption = u"&Kyllä voisin", .points = 0},
     .right = {.controlName = u"EnvoisiCmd5", .caption = u"&En voisi", .points = 2}},
    {.number = 6,
     .label = {.name = u"KysymysLbl6",
               .text = u"Nostaisitko kokonaan koiranpaskaan uponneen viisimarkkaisen?",
               .width = 4935,
               .height = 375},
     .rightFirstInTabOrder = true,
     .left = {.controlName = u"KyllanostaisinCmd6", .caption = u"&Kyllä nostaisin", .points = 5},
     .right = {.controlName = u"EnnostaisiCmd6", .caption = u"&En nostaisi", .points = 0}},
    {.number = 7,
     .label = {.name = u"KysymysLbl7",
               .text = u"Pöllitkö rahaa hyvän tilaisuuden tullen?",
               .width = 3375,
               .height = 255},
     .left = {.controlName = u"KyllapollinCmd7", .caption = u"&Kyllä pöllin", .points = 9},
     .right = {.controlName = u"EnpolliCmd7", .caption = u"&En pölli", .points = 0}},
    {.number = 8,
     .label = {.name = u"KysymysLbl8",
               .text = u"Satut näkemään sateen jälkeen kuraisen kymmenpennisen maassa lojumassa, "
                       u"otatko sen?",
               .width = 4935,
               .height = 375},
     .startsStack = true,
     .left = {.controlName = u"OtansenCmd8", .caption = u"&Otan sen", .points = 2},
     .right = {.controlName = u"EnotaCmd8", .caption = u"&En ota", .points = 0}},
    {.number = 9,
     .kind = Slider,
     .label = {.name = u"KysymysLbl9",
               .text = u"Paljonko antaisit Kosovolaisille hyväntekeväisyysrahaa?",
               .width = 4815,
               .height = 255},
     .left = {.controlName = u"markkaaCmd9", .caption = u"0 &markkaa", .points = 0}},
    {.number = 10,
     .label = {.name = u"KysymysLbl10",
               .text = u"Kumpi on tärkeämpää, raha vai maallinen mammona?",
               .width = 4695,
               .height = 255},
     .left = {.controlName = u"RahaCmd10", .caption = u"&Raha", .points = 1},
     .right = {.controlName = u"MammonaCmd10", .caption = u"&Mammona", .points = 0}},
    {.number = 11,
     .label = {.name = u"KysymysLbl11",
               .text = u"Rikkoisitko naapurin ikkunan 300:sta markasta?",
               .width = 4215,
               .height = 255},
     .left = {.controlName = u"RikkoisinCmd11", .caption = u"&Rikkoisin", .points = 7},
     .right = {.controlName = u"EnrikkoisiCmd11", .caption = u"&En rikkoisi", .points = 0}},
    {.number = 12,
     .label = {.name = u"KysymysLbl12",
               .text = u"Ovatko asiat niin, että rahaa tulee kuin vettä taivaalta, mutta koskaan "
                       u"sitä ei tunnu olevan tarpeeksi?",
               .width = 4935,
               .height = 375},
     .left = {.controlName = u"KyllaovatCmd12", .caption = u"&Kyllä ovat", .points = 5},
     .right = {.controlName = u"EivatoleCmd12", .caption = u"&Eivät ole", .points = 1}},
    {.number = 13,
     .label = {.name = u"KysymysLbl13",
               .text = u"Myisitkö mummosi 400 markasta?",
               .width = 3015,
               .height = 255},
     .startsStack = true,
     .left = {.controlName = u"MyisinCmd13", .caption = u"&Myisin", .points = 6},
     .right = {.controlName = u"EnmyisiCmd13", .caption = u"&En myisi", .points = 0}},
    {.number = 14,
     .label = {.name = u"KysymysLbl14",
               .text = u"Käytkö enemmän kuin kerran viikossa Täyspotissa?",
               .width = 4575,
               .height = 255},
     .startsStack = true,
     .left = {.controlName = u"KaynCmd14", .caption = u"&Käyn", .points = 3},
     .right = {.controlName = u"EnkayCmd14", .caption = u"&En käy", .points = 0}},
    {.number = 15,
     .label = {.name = u"KysymysLbl15",
               .text = u"Oletko kateellinen Mogulille?",
               .width = 2775,
               .height = 255},
     .left = {.controlName = u"OlenCmd15", .caption = u"&Olen", .points = 2},
     .right = {.controlName = u"EnoleCmd15", .caption = u"&En ole", .points = 0}},
    {.number = 16,
     .label = {.name = u"KysymysLbl16",
               .text = u"Kiillotatko kenties rahojasi?",
               .width = 2415,
               .height = 255},
     .startsStack = true,
     .left = {.controlName = u"KiillotanCmd16", .caption = u"&Kiillotan", .points = 4},
     .right = {.controlName = u"EnkiillotaCmd16", .caption = u"&En kiillota", .points = 0}},
    {.number = 17,
     .label = {.name = u"KysymysLbl17",
               .text = u"Tulisitko hulluksi jos voittaisit Lotossa 25 miljoonaa markkaa?",
               .width = 4935,
               .height = 375},
     .left = {.controlName = u"TulisinCmd17", .caption = u"&Tulisin", .points = 1},
     .right = {.controlName = u"EntulisiCmd17", .caption = u"&En tulisi", .points = 4}},
    {.number = 18,
     .label = {.name = u"KysymysLbl18",
               .text = u"Jos sinua käsketään tekemään jotain, vastaatko ensin: \"Paljon maksat?\"?",
               .width = 4935,
               .height = 495},
     .left = {.controlName = u"KyllavastaanCmd18", .caption = u"&Kyllä vastaan", .points = 2},
     .right = {.controlName = u"EnvastaaCmd18", .caption = u"&En vastaa", .points = 0}},
    {.number = 19,
     .label = {.name = u"Label1",
               .text = u"Oliko sinulla jo pienenä tarvis näperrellä kaikkea arvokasta?",
               .width = 4935,
               .height = 495},
     .left = {.controlName = u"OlitarvisCmd19", .caption = u"&Oli tarvis", .points = 1},
     .right = {.controlName = u"EiollutCmd19", .caption = u"&Ei ollut", .points = 0}},
    {.number = 20,
     .label = {.name = u"KysymysLbl20", .text = u"Raha vai rakkaus?", .width = 1695, .height = 255},
     .left = {.controlName = u"RahaCmd20", .caption = u"&Raha", .points = 10},
     .right = {.controlName = u"RakkausCmd20", .caption = u"R&akkaus", .points = -2}},
    {.number = 21,
     .label =
         {.name = u"KysymysLbl21",
          .text =
              u"Käytätkö vapaa-aikana kallista puvutakkia ja kravaattia vai farkkuja ja T-paitaa?",
          .width = 4935,
          .height = 495},
     .left = {.controlName = u"PuvutakkiCmd21", .caption = u"&Puvutakki", .points = 2},
     .right = {.controlName = u"FarkutCmd21", .caption = u"&Farkkuja", .points = 0}},
    {.number = 22,
     .label = {.name = u"KysymysLbl22",
               .text = u"Pelaatko mieluummin bingoa kuin sulkapalloa?",
               .width = 4095,
               .height = 255},
     .left = {.controlName = u"BingoCmd22", .caption = u"&Pelaan bingoa", .points = 2},
     .right = {.controlName = u"SulkkisCmd22", .caption = u"P&elaan sulkkista", .points = 0}},
    {.number = 23,
     .label = {.name = u"KysymysLbl23",
               .text = u"Söisitkö kadunvarrelta löytyvää tuoretta koiranjäännöstä 100 markasta?",
               .width = 4935,
               .height = 375},
     .left = {.controlName = u"SoisinCmd23", .caption = u"&Söisin", .points = 4},
     .right = {.controlName = u"EnsoisiCmd23", .caption = u"&En söisi", .points = 0}},
    {.number = 24,
     .label = {.name = u"KysymysLbl24",
               .text = u"Oletko joskus pienissä raha-asioissa vetänyt välistä?",
               .width = 4575,
               .height = 255},
     .left = {.controlName = u"OlenvetanytCmd24", .caption = u"&Olen vetänyt", .points = 3},
     .right = {.controlName = u"EnoleCmd24", .caption = u"&En ole", .points = 0}},
    {.number = 25,
     .label = {.name = u"KysymysLbl25",
               .text = u"Ajatteletko koskaan rahamenojasi?",
               .width = 3135,
               .height = 255},
     .left = {.controlName = u"AjattelenCmd25", .caption = u"&Ajattelen", .points = 1},
     .right = {.controlName = u"EnajatteleCmd25", .caption = u"&En ajattele", .points = 0}},
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
