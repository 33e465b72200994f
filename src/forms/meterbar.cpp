#include "forms/meterbar.h"

#include "forms/accessibility.h"

#include <QStyleOptionProgressBar>
#include <QStylePainter>

#include <algorithm>
#include <cmath>

namespace forms {

namespace {
// The bar is drawn in hundredths of a unit so that half units show.
constexpr int drawingSteps = 100;
} // namespace

MeterBar::MeterBar(QWidget* parent)
    : QProgressBar(parent)
{
    useAccessibleInterfaces();
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
