#pragma once

#include <QProgressBar>

namespace forms {

// A progress bar that holds its value as a single-precision number and reports back exactly
// the value it was given (18.5 stays 18.5), drawing the fraction too.
class MeterBar : public QProgressBar {
    Q_OBJECT

public:
    explicit MeterBar(QWidget* parent = nullptr);

    void setMeterValue(float value);
    float meterValue() const { return m_value; }
    // Where the bar stands: the value within the scale, at its nearer end outside it.
    float shownValue() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    float m_value = 0.0f;
};

} // namespace forms
