#include "forms/questionpanel.h"

#include "forms/accessiblewindow.h"
#include "forms/formstyle.h"
#include "quiz/catalogue.h"

#include <QAccessibleWidget>
#include <QEvent>
#include <QLabel>
#include <QMetaMethod>
#include <QPushButton>
#include <QSlider>

namespace forms {

namespace {

// A question panel as screen readers read it: a group on the questionnaire window beside the
// other panels, holding only its own controls, and shown only while it is on top. On screen
// each panel lies inside the previous one; read that way, the panel on top would be a part of
// the covered panels, and a screen reader that skips what is not shown would never reach it.
class QuestionPanelAccessible : public ListedChildren<QAccessibleWidget> {
public:
    explicit QuestionPanelAccessible(QWidget* panel)
        : ListedChildren(panel, QAccessible::Grouping)
    {
    }

    QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(widget()->window());
    }

    // A panel is labelled by its own caption. Qt would also take the caption of the panel it
    // lies in on screen for its label, which a screen reader would then read as well.
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        auto all = QAccessibleWidget::relations(match);
        all.removeIf([](const QPair<QAccessibleInterface*, QAccessible::Relation>& relation) {
            return qobject_cast<const QuestionPanel*>(relation.first->object()) != nullptr;
        });
        return all;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (!panel().isOnTop())
            state.invisible = true;
        return state;
    }

protected:
    // The panel's label and answer controls; the next question's panel is not one of them.
    QList<QWidget*> listed() const override
    {
        QList<QWidget*> own;
        for (QObject* child : widget()->children()) {
            if (child->isWidgetType() && !qobject_cast<QuestionPanel*>(child))
                own.append(static_cast<QWidget*>(child));
        }
        return own;
    }

private:
    const QuestionPanel& panel() const { return *static_cast<const QuestionPanel*>(object()); }
};

// The amount as the confirm button reads it, without the access-key mark and the sign blank.
QString amountInWords(int amount)
{
    return quiz::donation::confirmCaption(amount).remove(u'&').trimmed();
}

#ifdef AHNEMETRI_AMOUNT_IN_VALUE_TEXT
// The donation slider as screen readers read it where they take its value text: the amount in
// words, which a screen reader reads in place of the bare number when the slider moves and when
// it gets the focus. UI Automation gives that text as the slider's value (its Value pattern,
// beside the number of the RangeValue pattern). In all else it is Qt's own slider.
class DonationSliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit DonationSliderAccessible(QSlider* slider)
        : QAccessibleWidget(slider, QAccessible::Slider)
    {
        // As for Qt's own slider: what its moves drive (the confirm button) it controls.
        addControllingSignal(
            QString::fromLatin1(QMetaMethod::fromSignal(&QSlider::valueChanged).methodSignature()));
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Value)
            return amountInWords(slider().value());
        return QAccessibleWidget::text(type);
    }

    QVariant currentValue() const override { return slider().value(); }
    void setCurrentValue(const QVariant& value) override { slider().setValue(value.toInt()); }
    QVariant maximumValue() const override { return slider().maximum(); }
    QVariant minimumValue() const override { return slider().minimum(); }
    QVariant minimumStepSize() const override { return slider().singleStep(); }

private:
    QSlider& slider() const { return *static_cast<QSlider*>(object()); }
};

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
// Where Qt hands an object's attributes on (6.8 and later), the value text goes as a custom
// attribute as well. Over AT-SPI a custom attribute goes out as it is, and "valuetext" is the
// name Orca reads a value's words from (ARIA's aria-valuetext).
class DonationSliderWithValueText : public DonationSliderAccessible,
                                    public QAccessibleAttributesInterface {
public:
    using DonationSliderAccessible::DonationSliderAccessible;

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::AttributesInterface)
            return static_cast<QAccessibleAttributesInterface*>(this);
        return DonationSliderAccessible::interface_cast(type);
    }

    QList<QAccessible::Attribute> attributeKeys() const override
    {
        return {QAccessible::Attribute::Custom};
    }
    QVariant attributeValue(QAccessible::Attribute key) const override
    {
        if (key != QAccessible::Attribute::Custom)
            return {};
        return QVariant::fromValue(
            QHash<QString, QString>{{QStringLiteral("valuetext"), text(QAccessible::Value)}});
    }
};
#else
using DonationSliderWithValueText = DonationSliderAccessible;
#endif

// The slider of a question panel is the donation slider.
QAccessibleInterface* donationSliderAccessible(const QString& className, QObject* object)
{
    auto* slider = qobject_cast<QSlider*>(object);
    if (slider && className == QLatin1String(QSlider::staticMetaObject.className())
        && qobject_cast<QuestionPanel*>(slider->parent()))
        return new DonationSliderWithValueText(slider);
    return nullptr;
}
#else
// The amount read out as the slider moves, over AT-SPI before Qt 6.8. A screen reader reads a
// slider's value as a bare number, which Qt gives no way to put in words, and Qt tells it of a
// changed description by the object, not the text, which Orca cannot read out. A notification
// that comes up is read at once: this one belongs to the slider, is never drawn and comes up
// with every new amount.
class AmountNotice : public HiddenAccessible {
public:
    explicit AmountNotice(QSlider* slider)
        : HiddenAccessible(new QObject(slider))
        , m_slider(slider)
    {
    }

    QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_slider);
    }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QString text(QAccessible::Text type) const override
    {
        return type == QAccessible::Name ? amountInWords(m_slider->value()) : QString();
    }

private:
    QSlider* m_slider;
};
#endif

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
    forms::useAccessible<QuestionPanel, QuestionPanelAccessible>();
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

#ifdef AHNEMETRI_AMOUNT_IN_VALUE_TEXT
    static const bool accessibleInstalled = [] {
        QAccessible::installFactory(donationSliderAccessible);
        return true;
    }();
    Q_UNUSED(accessibleInstalled);
#endif
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setObjectName(donation::sliderName.toString());
    m_slider->setAccessibleName(QStringLiteral("Lahjoitus markkoina"));
#ifndef AHNEMETRI_AMOUNT_IN_VALUE_TEXT
    m_slider->setAccessibleDescription(amountInWords(donation::minimumAmount));
#endif
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
    // Screen readers hear the amount in the same words as the button's caption: as the slider's
    // value where they take its value text; elsewhere as its description when it gets the focus
    // and from the notice when it moves.
#ifndef AHNEMETRI_AMOUNT_IN_VALUE_TEXT
    auto* notice = new AmountNotice(m_slider);
    QAccessible::registerAccessibleInterface(notice);
    connect(m_slider, &QSlider::valueChanged, m_slider, [slider = m_slider, notice](int amount) {
        slider->setAccessibleDescription(amountInWords(amount));
        QAccessibleEvent announcement(notice, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&announcement);
    });
#endif
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
