#pragma once

#include <QGroupBox>

#include <vector>

class QPushButton;
class QSlider;

namespace quiz {
struct Answer;
struct Question;
} // namespace quiz

namespace forms {

// The panel of one question: its frame "Kysymys N/25", the question and the way to answer it,
// two buttons or, for the donation question, a slider with a confirm button. Built from the
// question's catalogue record.
class QuestionPanel : public QGroupBox {
    Q_OBJECT

public:
    // Panels that start a stack lie on the window; the others fill the previous panel.
    QuestionPanel(const quiz::Question& question, QWidget* container);

    int number() const { return m_number; }

    // Only the panel on top may be answered: the controls of covered panels are taken out of
    // sight, out of the focus chain and away from their access keys. Screen readers hear of a
    // panel that is covered or uncovered as of one hidden or shown.
    void setOnTop(bool onTop);
    bool isOnTop() const;
    QWidget* firstControl() const;
    // What a screen reader reads as the panel comes on top: its caption and the question.
    QString spokenHeading() const;
    // The controls in the order the Tab key reaches them.
    const std::vector<QWidget*>& focusOrder() const { return m_focusOrder; }

    // Donation question only; null elsewhere.
    QSlider* slider() const { return m_slider; }

Q_SIGNALS:
    void answered(int question, int points);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPushButton* addAnswerButton(const quiz::Answer& answer, int left);
    void addDonationControls(const quiz::Answer& confirm);

    int m_number;
    QString m_question;
    QSlider* m_slider = nullptr;
    std::vector<QWidget*> m_ownControls;
    std::vector<QWidget*> m_focusOrder;
    bool m_pressedOnTop = false; // a mouse button went down here since the panel came on top
};

} // namespace forms
