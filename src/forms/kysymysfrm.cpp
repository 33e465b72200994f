#include "forms/kysymysfrm.h"
#include "ui_kysymysfrm.h"

#include "forms/accessibility.h"
#include "forms/closebox.h"
#include "forms/formstyle.h"
#include "forms/questionpanel.h"
#include "quiz/catalogue.h"
#include "version.h"

#include <QSlider>

namespace forms {

KysymysFrm::KysymysFrm(QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::KysymysFrm>())
{
    forms::useAccessibleInterfaces();
    m_ui->setupUi(this);
    setWindowTitle(QStringLiteral(AHNEMETRI_TITLE " - Testi käynnissä"));
    forms::makeFixedWindow(*this, clientSize);
    setWindowIcon(forms::programIcon());
    setFont(forms::verdana(8.25));

    // Each panel lies inside the previous one, or on the window where a new stack starts; a
    // later child lies above an earlier one, so the newest question always covers the rest.
    m_panels.reserve(quiz::questionCount);
    QWidget* previousControl = nullptr;
    for (const quiz::Question& question : quiz::questions()) {
        QWidget* container = question.startsStack ? static_cast<QWidget*>(this) : m_panels.back();
        auto* questionPanel = new QuestionPanel(question, container);
        questionPanel->setVisible(question.number == 1);
        questionPanel->setOnTop(question.number == 1);
        connect(questionPanel, &QuestionPanel::answered, this, &KysymysFrm::onAnswered);
        for (QWidget* control : questionPanel->focusOrder()) {
            if (previousControl)
                setTabOrder(previousControl, control);
            previousControl = control;
        }
        m_panels.push_back(questionPanel);
    }
    panel(1).firstControl()->setFocus(Qt::OtherFocusReason);

    connect(new forms::CloseBox(*this), &forms::CloseBox::requested, this,
            &KysymysFrm::interruptRequested);
}

KysymysFrm::~KysymysFrm() = default;

QuestionPanel& KysymysFrm::panel(int question) const
{
    return *m_panels.at(static_cast<std::size_t>(question - 1));
}

void KysymysFrm::formActivate()
{
    m_moneypercent = 0;
    panel(quiz::donation::questionNumber).slider()->setValue(quiz::donation::minimumAmount);
    for (int question = quiz::questionCount; question >= 2; --question)
        panel(question).hide();
    panel(1).show();
    putOnTop(1);
}

void KysymysFrm::onAnswered(int question, int points)
{
    // Only the panel on top of the shown questionnaire answers. A covered panel's buttons
    // cannot be reached, and an access key's click, which lands 100 ms after the key, must not
    // count once the window has been closed.
    if (question != m_top || !isVisible())
        return;
    m_moneypercent = static_cast<qint16>(m_moneypercent + points);
    if (question == quiz::questionCount) {
        Q_EMIT finished();
        return;
    }
    // The answered panel stays shown: the next one covers it.
    panel(question + 1).show();
    putOnTop(question + 1);
}

void KysymysFrm::putOnTop(int question)
{
    QuestionPanel& top = panel(question);
    top.setOnTop(true);
    top.firstControl()->setFocus(Qt::OtherFocusReason);
    if (m_top != question)
        panel(m_top).setOnTop(false);
    m_top = question;
    // A desktop screen reader reads the question with the answer that gets the focus; a web
    // page's hears it only when told.
    tellPage(top, top.spokenHeading());
}

} // namespace forms
