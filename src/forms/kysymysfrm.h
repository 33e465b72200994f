#pragma once

#include "forms/formevents.h"
#include "forms/formstyle.h"

#include <QWidget>

#include <memory>
#include <vector>

namespace forms {

class QuestionPanel;

namespace Ui {
class KysymysFrm;
}

// The questionnaire: 25 question panels, one on top at a time. Every answer adds its points to
// the greed score and uncovers the next panel; the answer to the last question finishes the
// test. Every activation starts the questionnaire over.
class KysymysFrm : public QWidget, public FormEvents {
    Q_OBJECT
    Q_PROPERTY(qint16 moneypercent READ moneypercent)

public:
    // The window's client area, fixed.
    static constexpr QSize clientSize{fromTwips(5415), fromTwips(2535)};

    explicit KysymysFrm(QWidget* parent = nullptr);
    ~KysymysFrm() override;

    // The greed score of the test in progress, or of the last finished test until the next
    // activation.
    qint16 moneypercent() const { return m_moneypercent; }

    // Created with the score at 0 and question 1 alone shown; every activation starts over.
    void formActivate() override;

Q_SIGNALS:
    void finished();
    // The close box interrupts the test.
    void interruptRequested();

private:
    void onAnswered(int question, int points);
    void putOnTop(int question);
    QuestionPanel& panel(int question) const;

    std::unique_ptr<Ui::KysymysFrm> m_ui;
    std::vector<QuestionPanel*> m_panels; // index 0 holds question 1
    qint16 m_moneypercent = 0;
    int m_top = 1;
};

} // namespace forms
