#pragma once

#include <QString>
#include <QStringView>

#include <array>

// The 25 questions of the greed test, in the order they are asked. Every text, control name,
// caption and points value of the questionnaire comes from here; the questionnaire window only
// lays the records out.
namespace quiz {

struct Answer {
    QStringView controlName; // objectName of the push button
    QStringView caption;     // "&" marks the mnemonic letter
    int points;              // added to the greed score when chosen
};

enum class AnswerKind {
    TwoButtons, // a left and a right answer button
    Slider,     // the donation slider with its confirm button in the left button's place
};

struct QuestionLabel {
    QStringView name; // objectName of the label
    QStringView text; // the question
    int width;        // twips
    int height;       // twips: one, two or three lines
};

struct Question {
    int number;
    AnswerKind kind = AnswerKind::TwoButtons;
    QuestionLabel label;
    // The panel lies directly on the window instead of inside the previous question's panel.
    bool startsStack = false;
    // The right answer comes before the left one in the tab order.
    bool rightFirstInTabOrder = false;
    Answer left;    // for the slider question: the confirm button and its design-time caption
    Answer right{}; // empty for the slider question
};

inline constexpr int questionCount = 25;

const std::array<Question, questionCount>& questions();
const Question& question(int number); // number 1 to 25

QString panelName(int number);    // "KysymysFrame7"
QString panelCaption(int number); // "Kysymys 7/25"

int highestPoints(const Question& q);
int lowestPoints(const Question& q);

// The donation question: an amount in markka chosen on a slider and confirmed with a button.
namespace donation {
inline constexpr int questionNumber = 9;
inline constexpr int minimumAmount = 0;
inline constexpr int maximumAmount = 20;
inline constexpr QStringView sliderName = u"KysymysSlider9";
inline constexpr QStringView unitLabelName = u"mkLbl9";
inline constexpr QStringView unitCaption = u"mk";

// Points for a confirmed amount: the smaller the donation, the greedier the user.
int points(int amount);
// Caption of the confirm button for an amount: " 1 &markka", " 7 &markkaa".
QString confirmCaption(int amount);
} // namespace donation

} // namespace quiz
