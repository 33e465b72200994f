#include "forms/questionpanel.h"

#include "forms/accessibility.h"
#include "forms/formstyle.h"
#include "quiz/catalogue.h"

#include <QAccessible>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace forms {

namespace {

constexpr QRect headPlace = twipsRect(120, 120, 5175, 2295);
constexpr QRect innerPlace = twipsRect(0, 0, 5175, 2295);
constexpr int labelLeft = 120;
constexpr int labelTop = 360;
constexpr int leftButtonLeft = 240;
constexpr int rightButtonLeft = 2160;
constexpr int buttonTop = 1800;
constexpr int buttonWidth = 1575;
constexpr int buttonHeight = 375;

} // namespace

QuestionPanel::QuestionPanel(const quiz::Question& question, QWidget* container)
    : QGroupBox(quiz::panelCaption(question.number), container)
    , m_number(question.number)
    , m_question(question.label.text.toString())
{
    forms::useAccessibleInterfaces();
    setObjectName(quiz::panelName(question.number));
    // Screen readers would name a panel inside another panel after the outer caption.
    setAccessibleName(title());
    setGeometry(question.startsStack ? headPlace : innerPlace);
    // Opaque, so that a panel covers the one it lies in, caption and all.
    setAutoFillBackground(true);

    auto* label = new QLabel(m_question, this);
    label->setObjectName(question.label.name.toString());
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAutoFillBackground(true);
    label->setGeometry(twipsRect(labelLeft, labelTop, question.label.width, question.label.height));
    m_ownControls.push_back(label);

    if (question.kind == quiz::AnswerKind::Slider) {
        addDonationControls(question.left);
    } else {
        QPushButton* left = addAnswerButton(question.left, leftButtonLeft);
        QPushButton* right = addAnswerButton(question.right, rightButtonLeft);
        connect(left, &QPushButton::clicked, this,
                [this, points = question.left.points] { Q_EMIT answered(m_number, points); });
        connect(right, &QPushButton::clicked, this,
                [this, points = question.right.points] { Q_EMIT answered(m_number, points); });
        m_focusOrder = question.rightFirstInTabOrder ? std::vector<QWidget*>{right, left}
                                                     : std::vector<QWidget*>{left, right};
    }
    for (QWidget* control : m_focusOrder)
        control->installEventFilter(this);

    // A screen reader reads the question with the focused answer, and again when asked where
    // the focus is. The slider is labelled by the question; its description is the amount.
    for (QWidget* control : m_focusOrder) {
        if (control != m_slider)
            control->setAccessibleDescription(label->text());
    }
    if (m_slider) {
        label->setBuddy(m_slider);
#ifdef Q_OS_WIN
        // UI Automation gives a screen reader no label of a control (Qt's provider has no
        // LabeledBy), so there the question goes with the slider as its description.
        m_slider->setAccessibleDescription(label->text());
#endif
    }
}

QPushButton* QuestionPanel::addAnswerButton(const quiz::Answer& answer, int left)
{
    auto* button = new QPushButton(answer.caption.toString(), this);
    button->setObjectName(answer.controlName.toString());
    button->setGeometry(twipsRect(left, buttonTop, buttonWidth, buttonHeight));
    button->setAutoDefault(true); // Enter presses the focused answer, like Space
    m_ownControls.push_back(button);
    return button;
}

void QuestionPanel::addDonationControls(const quiz::Answer& confirm)
{
    namespace donation = quiz::donation;

    // Created before the slider, so that the slider lies above the label it touches.
    auto* unit = new QLabel(donation::unitCaption.toString(), this);
    unit->setObjectName(donation::unitLabelName.toString());
    unit->setTextFormat(Qt::PlainText);
    unit->setAutoFillBackground(true);
    unit->setGeometry(twipsRect(4800, 840, 255, 255));

    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setObjectName(donation::sliderName.toString());
    m_slider->setAccessibleName(QStringLiteral("Lahjoitus markkoina"));
    m_slider->setRange(donation::minimumAmount, donation::maximumAmount);
    m_slider->setSingleStep(1);
    m_slider->setPageStep(5);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setTickInterval(1);
    m_slider->setGeometry(twipsRect(360, 840, 4455, 495));

    QPushButton* button = addAnswerButton(confirm, leftButtonLeft);
    // The caption follows the amount after every move, by mouse or keyboard.
    connect(m_slider, &QSlider::valueChanged, button,
            [button](int amount) { button->setText(donation::confirmCaption(amount)); });
    speakAmountInWords(*m_slider);
    // The amount on the slider decides the points at the moment of confirming.
    connect(button, &QPushButton::clicked, this,
            [this] { Q_EMIT answered(m_number, quiz::donation::points(m_slider->value())); });

    m_ownControls.push_back(unit);
    m_ownControls.push_back(m_slider);
    m_focusOrder = {m_slider, button};
}

void QuestionPanel::setOnTop(bool onTop)
{
    m_pressedOnTop = false;
    const bool wasOnTop = isOnTop();
    for (QWidget* control : m_ownControls)
        control->setVisible(onTop);
    if (onTop != wasOnTop && isVisible()) {
        if (onTop)
            renewAccessible(*this, {m_ownControls.begin(), m_ownControls.end()});
        QAccessibleEvent event(this, onTop ? QAccessible::ObjectShow : QAccessible::ObjectHide);
        QAccessible::updateAccessibility(&event);
    }
}

bool QuestionPanel::eventFilter(QObject* watched, QEvent* event)
{
    // The second press of a double click comes as a double click event only. One that finds
    // this panel unpressed belongs to a click on the question before, which brought this one
    // up: the user never saw this question, so it is not answered.
    if (event->type() == QEvent::MouseButtonPress)
        m_pressedOnTop = true;
    else if (event->type() == QEvent::MouseButtonDblClick && !m_pressedOnTop)
        return true;
    return QGroupBox::eventFilter(watched, event);
}

bool QuestionPanel::isOnTop() const
{
    return !m_ownControls.front()->isHidden();
}

QWidget* QuestionPanel::firstControl() const
{
    return m_focusOrder.front();
}

QString QuestionPanel::spokenHeading() const
{
    // The panel's name, then the question as its answers' description reads it.
    return accessibleName() + QStringLiteral(". ") + m_question;
}

} // namespace forms
