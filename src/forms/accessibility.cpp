#include "forms/accessibility.h"

#include "forms/kysymysfrm.h"
#include "forms/meterbar.h"
#include "forms/questionpanel.h"
#include "forms/statusfrm.h"
#include "forms/tietoafrm.h"
#include "quiz/catalogue.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QMetaMethod>
#include <QSlider>

#include <algorithm>

namespace forms {

namespace {

// A top-level window as screen readers expect one. Qt gives a window that is a plain QWidget
// the role of a filler, and a screen reader reads the title only of an object with the role of
// a window.
class WindowAccessible : public QAccessibleWidget {
public:
    explicit WindowAccessible(QWidget* window)
        : QAccessibleWidget(window, QAccessible::Window)
    {
    }
};

// An accessible object that is never drawn and has no children: a notice for screen readers,
// or a stand-in. Subclasses say what it is and whose part.
class HiddenAccessible : public QAccessibleObject {
public:
    using QAccessibleObject::QAccessibleObject;

    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible = true;
        return state;
    }
};

// An accessible widget whose children, for a screen reader, are the widgets that `listed()`
// gives, in that order, rather than its child widgets.
template <typename Base> class ListedChildren : public Base {
public:
    using Base::Base;

    int childCount() const override { return int(listed().size()); }

    QAccessibleInterface* child(int index) const override
    {
        const QList<QWidget*> all = listed();
        if (index < 0 || index >= all.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(all.at(index));
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child || !child->object() || !child->object()->isWidgetType())
            return -1;
        return int(listed().indexOf(static_cast<QWidget*>(child->object())));
    }

protected:
    virtual QList<QWidget*> listed() const = 0;
};

// The questionnaire as screen readers read it: a window holding the 25 question panels side by
// side, in the order of the questions, whichever panel lies inside which on screen. Only the
// panel on top counts as shown (QuestionPanel), so a screen reader finds the question that is
// asked and none of those answered before it.
class KysymysFrmAccessible : public ListedChildren<WindowAccessible> {
public:
    using ListedChildren::ListedChildren;

protected:
    QList<QWidget*> listed() const override
    {
        QList<QuestionPanel*> all = widget()->findChildren<QuestionPanel*>();
        std::sort(all.begin(), all.end(), [](const QuestionPanel* a, const QuestionPanel* b) {
            return a->number() < b->number();
        });
        return {all.begin(), all.end()};
    }
};

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

// A control whose value a screen reader reads both as a number (the value interface) and as
// the text that valueText() gives.
class ValueAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    using QAccessibleWidget::QAccessibleWidget;

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Value)
            return valueText();
        return QAccessibleWidget::text(type);
    }

protected:
    virtual QString valueText() const = 0;
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
class DonationSliderAccessible : public ValueAccessible {
public:
    explicit DonationSliderAccessible(QSlider* slider)
        : ValueAccessible(slider, QAccessible::Slider)
    {
        // As for Qt's own slider: what its moves drive (the confirm button) it controls.
        addControllingSignal(
            QString::fromLatin1(QMetaMethod::fromSignal(&QSlider::valueChanged).methodSignature()));
    }

    QVariant currentValue() const override { return slider().value(); }
    void setCurrentValue(const QVariant& value) override { slider().setValue(value.toInt()); }
    QVariant maximumValue() const override { return slider().maximum(); }
    QVariant minimumValue() const override { return slider().minimum(); }
    QVariant minimumStepSize() const override { return slider().singleStep(); }

protected:
    QString valueText() const override { return amountInWords(slider().value()); }

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

// What a screen reader reads of the meter. Qt's own progress bar interface knows only the
// rounded whole value, which would make a score of 37 read as 19 of 50 (38%); this one reports
// the value the bar shows, halves included.
class MeterBarAccessible : public ValueAccessible {
public:
    explicit MeterBarAccessible(MeterBar* bar)
        : ValueAccessible(bar, QAccessible::ProgressBar)
    {
    }

    QVariant currentValue() const override { return shownValue(); }
    void setCurrentValue(const QVariant&) override {} // the meter only shows
    QVariant maximumValue() const override { return bar()->maximum(); }
    QVariant minimumValue() const override { return bar()->minimum(); }
    QVariant minimumStepSize() const override { return 0.5; }

protected:
    QString valueText() const override { return QString::number(shownValue()); }

private:
    const MeterBar* bar() const { return static_cast<const MeterBar*>(object()); }

    double shownValue() const { return bar()->shownValue(); }
};

template <typename Widget> bool isExactly(const QString& className)
{
    return className == QLatin1String(Widget::staticMetaObject.className());
}

// The program's one factory of accessible interfaces: each for the widgets whose class is
// exactly its own, so that Qt's own interface serves everything else.
QAccessibleInterface* programAccessible(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (isExactly<StatusFrm>(className) || isExactly<TietoaFrm>(className))
        return new WindowAccessible(widget);
    if (isExactly<KysymysFrm>(className))
        return new KysymysFrmAccessible(widget);
    if (isExactly<QuestionPanel>(className))
        return new QuestionPanelAccessible(widget);
    if (isExactly<MeterBar>(className))
        return new MeterBarAccessible(static_cast<MeterBar*>(widget));
#ifdef AHNEMETRI_AMOUNT_IN_VALUE_TEXT
    // The slider of a question panel is the donation slider.
    if (isExactly<QSlider>(className) && qobject_cast<QuestionPanel*>(widget->parent()))
        return new DonationSliderWithValueText(static_cast<QSlider*>(widget));
#endif
    return nullptr;
}

// An accessible object of nothing at all, only holding its id.
class Placeholder : public HiddenAccessible {
public:
    using HiddenAccessible::HiddenAccessible;
    QAccessibleInterface* parent() const override { return nullptr; }
    QString text(QAccessible::Text) const override { return {}; }
    QAccessible::Role role() const override { return QAccessible::NoRole; }
};

PageTeller pageTeller = nullptr;

} // namespace

void useAccessibleInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(programAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

void speakAmountInWords(QSlider& donationSlider)
{
#ifdef AHNEMETRI_AMOUNT_IN_VALUE_TEXT
    Q_UNUSED(donationSlider) // its interface gives the words as its value text
#else
    QSlider* slider = &donationSlider;
    slider->setAccessibleDescription(amountInWords(slider->value()));
    auto* notice = new AmountNotice(slider);
    QAccessible::registerAccessibleInterface(notice);
    QObject::connect(slider, &QSlider::valueChanged, slider, [slider, notice](int amount) {
        slider->setAccessibleDescription(amountInWords(amount));
        QAccessibleEvent announcement(notice, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&announcement);
    });
#endif
}

void setPageTeller(PageTeller teller)
{
    pageTeller = teller;
}

void tellPage(QObject& source, const QString& message)
{
    if (pageTeller)
        pageTeller(source, message);
}

void renewAccessible(QWidget& owner, const QList<QWidget*>& widgets)
{
    // The page's elements are its screen reader's view, and Qt shows and hides them with their
    // objects; a new object would leave its old element behind in the page.
    if (!QAccessible::isActive() || pageTeller)
        return;
    // Qt hands the id of its newest accessible object out again once that object is deleted,
    // and a screen reader knows an object by its id. An object of its own, newer than all the
    // old ones and kept until the new ones have theirs, makes every new id one never used.
    QObject holder;
    QAccessible::registerAccessibleInterface(new Placeholder(&holder));
    auto forget = [](QWidget* widget) {
        QAccessibleInterface* old = QAccessible::queryAccessibleInterface(widget);
        if (!old)
            return;
        QAccessibleEvent gone(old, QAccessible::ObjectDestroyed);
        QAccessible::updateAccessibility(&gone);
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(old));
    };
    forget(&owner);
    for (QWidget* widget : widgets)
        forget(widget);
    for (QWidget* widget : widgets)
        QAccessible::queryAccessibleInterface(widget);
    QAccessibleEvent created(&owner, QAccessible::ObjectCreated);
    QAccessible::updateAccessibility(&created);
}

} // namespace forms
