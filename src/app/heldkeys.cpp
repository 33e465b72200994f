#include "app/heldkeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace app {

HeldKeys::HeldKeys(QObject* parent)
    : QObject(parent)
{
    qApp->installEventFilter(this);
    // Keys released while another application has the keyboard are never seen released.
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive)
                    return;
                for (Key& key : m_keys)
                    key.window = nullptr;
            });
}

HeldKeys::~HeldKeys()
{
    qApp->removeEventFilter(this);
}

bool HeldKeys::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    const bool isKey =
        type == QEvent::KeyPress || type == QEvent::KeyRelease || type == QEvent::ShortcutOverride;
    if (!watched->isWidgetType() || !(isKey || type == QEvent::Hide))
        return false;
    QWidget* window = static_cast<QWidget*>(watched)->window();
    // A key event comes first to the control that has the keyboard (an open menu, the focused
    // control, or else the window), then to each widget around it that lets it pass, and on its
    // way through the native window before that: it counts once, where it arrives.
    if (isKey) {
        QWidget* keyboard = QApplication::activePopupWidget();
        if (keyboard && keyboard->focusWidget())
            keyboard = keyboard->focusWidget();
        if (!keyboard)
            keyboard = QApplication::focusWidget() ? QApplication::focusWidget() : window;
        if (watched != keyboard)
            return false;
    }

    if (type == QEvent::Hide) {
        // A window that appears again is a new window for a key still held, and a control
        // hidden since the key went down (an answered question's buttons) takes it no longer.
        for (Key& key : m_keys) {
            if (key.window == watched || key.control == watched)
                key.window = nullptr;
        }
        return false;
    }

    const auto* keyEvent = static_cast<QKeyEvent*>(event);
    Key& key = m_keys[keyEvent->key()];
    // An X server repeats a held key as a release and a press of the same time; Qt marks the
    // pair as a repeat only when it finds the press already waiting behind the release, which
    // it often does not.
    const quint64 time = keyEvent->timestamp();
    const bool pairedRepeat =
        type != QEvent::KeyRelease && !key.down && time != 0 && time == key.releasedAt;
    if (!keyEvent->isAutoRepeat() && !pairedRepeat) {
        if (type != QEvent::KeyRelease) {
            // A fresh press; it comes as a shortcut check and then, unless a shortcut took it,
            // as a key press.
            key = {window, static_cast<QWidget*>(watched), true, 0};
        } else {
            // Released without having gone down here: it went down before this program had
            // the keyboard.
            if (!key.down)
                key.window = nullptr;
            key.down = false;
            key.releasedAt = time;
        }
        return false;
    }
    if (key.window == window && window && (key.down || pairedRepeat)) {
        if (type == QEvent::KeyPress)
            key.down = true;
        return false;
    }
    // Accepted as the focused control's own key, so that no shortcut fires; the key press that
    // follows is dropped here too.
    event->accept();
    return true;
}

} // namespace app
