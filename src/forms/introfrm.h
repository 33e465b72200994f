#pragma once

#include "forms/formstyle.h"

#include <QMainWindow>

#include <memory>

class QTimer;

namespace forms {

namespace Ui {
class IntroFrm;
}

// The start window: explains the test, takes the player's name and starts the test. Its menu
// opens the About window or ends the program.
class IntroFrm : public QMainWindow {
    Q_OBJECT

public:
    // The window's client area below its menu bar, fixed.
    static constexpr QSize clientSize{fromTwips(5895), fromTwips(3855)};

    explicit IntroFrm(QWidget* parent = nullptr);
    ~IntroFrm() override;

    // The player's name is the text of the name box, as typed.
    QString playerName() const;
    void clearName();

Q_SIGNALS:
    void startRequested();
    void aboutRequested();
    void quitRequested(); // "Lopeta", Ctrl+X or the close box

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void onTimerTick();

    std::unique_ptr<Ui::IntroFrm> m_ui;
    QTimer* m_timer;
};

} // namespace forms
