#pragma once

#include "forms/formevents.h"
#include "forms/formstyle.h"

#include <QTime>
#include <QWidget>

#include <functional>
#include <memory>

namespace forms {

namespace Ui {
class StatusFrm;
}

// The results window: the greed score as text, as a meter and as a diagnosis. It fills itself
// again every time it becomes active, from the score, the name and the clock of that moment.
class StatusFrm : public QWidget, public FormEvents {
    Q_OBJECT

public:
    // The window's client area, fixed.
    static constexpr QSize clientSize{fromTwips(7335), fromTwips(4815)};

    // Where a fill reads its inputs; the score and the name belong to other windows.
    struct Sources {
        std::function<QString()> playerName;
        std::function<qint16()> score;
        std::function<QTime()> timeOfDay;
    };

    explicit StatusFrm(QWidget* parent = nullptr);
    ~StatusFrm() override;

    void setSources(Sources sources);

    void formLoad() override;
    void formActivate() override;

Q_SIGNALS:
    void newTestRequested(); // "Uusi testi" or the close box
    void quitRequested();

private:
    void fill();

    std::unique_ptr<Ui::StatusFrm> m_ui;
    Sources m_sources;
};

} // namespace forms
