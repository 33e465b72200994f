#include "app/heldkeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

HeldKeys::HeldKeys(QObject* parent)
    : QObject(parent)
{
    qApp->installEventFilter(this);
    // Keys released while another application has the keyboard are never seen released.
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state != Qt::ApplicationActive)
                    m_downIn.clear();
            });
}

HeldKeys::~HeldKeys()
{
    qApp->removeEventFilter(this);
}

bool HeldKeys::eventFilter(QObject* watched, QEvent* event)
{
    // Every key event reaches a widget, the focused control or an open menu; the same event on
    // its way through the native window is left to that delivery.
    const QEvent::Type type = event->type();
    const bool keyEvent = type == QEvent::KeyPress || type == QEvent::KeyRelease
                          || type == QEvent::ShortcutOverride;
    if (!watched->isWidgetType() || !(keyEvent || type == QEvent::Hide))
        return false;
    QWidget* window = static_cast<QWidget*>(watched)->window();

    if (type == QEvent::Hide) {
        // A window that appears again is a new window for a key still held.
        if (window == watched)
            m_downIn.removeIf([window](QHash<int, QPointer<QWidget>>::iterator entry) {
                return entry.value() == window;
            });
        return false;
    }

    const auto* key = static_cast<QKeyEvent*>(event);
    if (!key->isAutoRepeat()) {
        // The first press comes as a shortcut check and then, unless a shortcut took it, as a
        // key press.
        if (type == QEvent::KeyRelease)
            m_downIn.remove(key->key());
        else
            m_downIn.insert(key->key(), window);
        return false;
    }
    if (m_downIn.value(key->key()) == window)
        return false;
    // Accepted as the focused control's own key, so that no shortcut fires; the key press that
    // follows is dropped here too.
    event->accept();
    return true;
}
