#include "forms/meterbar.h"

#include <QStyleOptionProgressBar>
#include <QStylePainter>

#include <algorithm>
#include <cmath>

namespace {
// The bar is drawn in hundredths of a unit so that half units show.
constexpr int drawingSteps = 100;
} // namespace

MeterBar::MeterBar(QWidget* parent)
    : QProgressBar(parent)
{
}

void MeterBar::setMeterValue(float value)
{
    m_value = value;
    // Only a score given twice could leave the scale; the bar then stands at its end.
    const float shown = std::isfinite(value)
                            ? std::clamp(value, float(minimum()), float(maximum()))
                            : float(minimum());
    setValue(static_cast<int>(std::lround(shown)));
    update();
}

void MeterBar::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionProgressBar option;
    initStyleOption(&option);
    const float shown = std::clamp(m_value, float(minimum()), float(maximum()));
    option.minimum = minimum() * drawingSteps;
    option.maximum = maximum() * drawingSteps;
    option.progress = std::isfinite(m_value) ? static_cast<int>(std::lround(shown * drawingSteps))
                                             : option.minimum;
    painter.drawControl(QStyle::CE_ProgressBar, option);
}
