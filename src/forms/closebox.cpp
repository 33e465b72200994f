#include "forms/closebox.h"

#include <QEvent>
#include <QWidget>

namespace forms {

CloseBox::CloseBox(QWidget& window)
    : QObject(&window)
    , m_window(window)
{
    window.installEventFilter(this);
}

bool CloseBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_window || event->type() != QEvent::Close)
        return QObject::eventFilter(watched, event);
    // Ignored, so that Qt keeps the window and tells the window manager it stays.
    event->ignore();
    if (m_window.isVisible())
        Q_EMIT requested();
    return true;
}

} // namespace forms
