#include "forms/meterbar.h"

#include <QAccessibleWidget>
#include <QStyleOptionProgressBar>
#include <QStylePainter>

#include <algorithm>
#include <cmath>

namespace forms {

namespace {
// The bar is drawn in hundredths of a unit so that half units show.
constexpr int drawingSteps = 100;

// What a screen reader reads of the meter. Qt's own progress bar interface knows only the
// rounded whole value, which would make a score of 37 read as 19 of 50 (38%); this one reports
// the value the bar shows, halves included.
class MeterBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit MeterBarAccessible(MeterBar* bar)
        : QAccessibleWidget(bar, QAccessible::ProgressBar)
    {
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
            return QString::number(shownValue());
        return QAccessibleWidget::text(type);
    }

    QVariant currentValue() const override { return shownValue(); }
    void setCurrentValue(const QVariant&) override {} // the meter only shows
    QVariant maximumValue() const override { return bar()->maximum(); }
    QVariant minimumValue() const override { return bar()->minimum(); }
    QVariant minimumStepSize() const override { return 0.5; }

private:
    const MeterBar* bar() const { return static_cast<const MeterBar*>(object()); }

    double shownValue() const { return bar()->shownValue(); }
};

QAccessibleInterface* meterBarAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String(MeterBar::staticMetaObject.className()) && object
        && object->isWidgetType())
        return new MeterBarAccessible(static_cast<MeterBar*>(object));
    return nullptr;
}
} // namespace

MeterBar::MeterBar(QWidget* parent)
    : QProgressBar(parent)
{
    static const bool accessibleInstalled = [] {
        QAccessible::installFactory(meterBarAccessible);
        return true;
    }();
    Q_UNUSED(accessibleInstalled);
}

void MeterBar::setMeterValue(float value)
{
    m_value = value;
    setValue(static_cast<int>(std::lround(shownValue())));
    update();
}

float MeterBar::shownValue() const
{
    // Only a score given twice could leave the scale; the bar then stands at its end.
    if (!std::isfinite(m_value))
        return float(minimum());
    return std::clamp(m_value, float(minimum()), float(maximum()));
}

void MeterBar::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionProgressBar option;
    initStyleOption(&option);
    option.minimum = minimum() * drawingSteps;
    option.maximum = maximum() * drawingSteps;
    option.progress = static_cast<int>(std::lround(shownValue() * drawingSteps));
    painter.drawControl(QStyle::CE_ProgressBar, option);
}

} // namespace forms
