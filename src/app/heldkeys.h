#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

class QWidget;

namespace app {

// Key repeat belongs to the window where the key went down, and to the control it went down
// on. A key that is already held when a window appears (Enter held through the last question as
// the results come up, or a key held since before the program had the keyboard) repeats into
// that window with nothing pressed there; so does a key whose control was hidden since, as the
// answers of a question are when the next question comes up. Those repeats are dropped before
// any shortcut or control sees them, so they press no button, answer no question, move no focus
// and type nothing. A fresh press acts as always, and so do its repeats while its window and
// its control stay shown (Tab moving through the controls, an arrow key moving the slider).
class HeldKeys : public QObject {
    Q_OBJECT

public:
    // Watches the key events of the whole application.
    explicit HeldKeys(QObject* parent = nullptr);
    ~HeldKeys() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Key {
        QPointer<QWidget> window;  // where it went down, while that window stays shown
        QPointer<QWidget> control; // what had the keyboard then
        bool down = false;
        quint64 releasedAt = 0;
    };
    QHash<int, Key> m_keys;
};

} // namespace app
