#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

class QWidget;

namespace app {

// Key repeat belongs to the window where the key went down. A key that is already held when a
// window appears (Enter held through the last question as the results come up, or a key held
// since before the program had the keyboard) repeats into that window with nothing pressed
// there; those repeats are dropped before any shortcut or control sees them, so they press no
// button, move no focus and type nothing. A fresh press acts as always, and so do its repeats
// in its window while that window stays shown.
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
        QPointer<QWidget> window; // where it went down, while that window stays shown
        bool down = false;
        quint64 releasedAt = 0;
    };
    QHash<int, Key> m_keys;
};

} // namespace app
