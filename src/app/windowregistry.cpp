#include "app/windowregistry.h"

#include "app/browserpage.h"
#include "forms/formevents.h"
#include "forms/introfrm.h"
#include "forms/kysymysfrm.h"
#include "forms/statusfrm.h"
#include "forms/tietoafrm.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWindow>

#include <type_traits>

namespace app {

WindowRegistry::WindowRegistry(QObject* parent)
    : QObject(parent)
{
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this,
            &WindowRegistry::onFocusWindowChanged);
}

WindowRegistry::~WindowRegistry()
{
    // Windows go without any window event of theirs.
    m_ended = true;
}

template <typename Window>
Window& WindowRegistry::obtain(std::unique_ptr<Window>& slot,
                               void (WindowRegistry::*created)(Window*))
{
    if (!slot) {
        slot = std::make_unique<Window>();
        BrowserPage::adoptWindow(*slot);
        forms::FormEvents* events = nullptr;
        if constexpr (std::is_base_of_v<forms::FormEvents, Window>) {
            events = slot.get();
            m_events.insert(slot.get(), events);
        }
        Q_EMIT(this->*created)(slot.get());
        if (events)
            events->formLoad();
    }
    return *slot;
}

forms::IntroFrm& WindowRegistry::introFrm()
{
    return obtain(m_intro, &WindowRegistry::introFrmCreated);
}

forms::KysymysFrm& WindowRegistry::kysymysFrm()
{
    return obtain(m_kysymys, &WindowRegistry::kysymysFrmCreated);
}

forms::StatusFrm& WindowRegistry::statusFrm()
{
    return obtain(m_status, &WindowRegistry::statusFrmCreated);
}

forms::TietoaFrm& WindowRegistry::tietoaFrm()
{
    return obtain(m_tietoa, &WindowRegistry::tietoaFrmCreated);
}

std::array<QWidget*, 4> WindowRegistry::windows() const
{
    return {m_intro.get(), m_kysymys.get(), m_status.get(), m_tietoa.get()};
}

QWidget* WindowRegistry::windowOf(const QWindow* handle) const
{
    if (!handle)
        return nullptr;
    for (QWidget* window : windows()) {
        if (window && window->windowHandle() == handle)
            return window;
    }
    return nullptr;
}

void WindowRegistry::show(QWidget& window)
{
    if (m_ended)
        return;
    if (!m_placed.contains(&window)) {
        m_placed.insert(&window);
        place(window);
    }
    // Activate runs before the window is drawn, so it never shows stale contents; a window
    // that already is the active one is only brought to the front.
    const bool wasVisible = window.isVisible();
    if (!(wasVisible && m_active == &window))
        activate(window);
    // Shown as it is: show() would follow a platform that shows every window full screen (a
    // browser); the windows have one size everywhere.
    window.setVisible(true);
    if (wasVisible)
        window.raise();
    window.activateWindow();
}

void WindowRegistry::placeAgain()
{
    for (QWidget* window : windows()) {
        if (window && window->isVisible())
            place(*window);
    }
}

void WindowRegistry::place(QWidget& window)
{
    if (QLayout* layout = window.layout())
        layout->activate();
    // Centred, but never above or left of the screen's free area: on a screen smaller than the
    // window, the window hangs down and to the right from the corner, and its title bar (the
    // window menu, and where to drag it from) stays on the screen.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint centred = area.center() - window.rect().center();
    window.move(qMax(centred.x(), area.left()), qMax(centred.y(), area.top()));
}

void WindowRegistry::hide(QWidget& window)
{
    if (m_ended)
        return;
    m_awaitingFocus.remove(&window);
    const bool wasActive = window.isActiveWindow();
    window.hide();
    BrowserPage::afterHide(windows(), wasActive);
}

void WindowRegistry::activate(QWidget& window)
{
    m_active = &window;
    m_awaitingFocus.insert(&window);
    if (forms::FormEvents* events = m_events.value(&window))
        events->formActivate();
}

void WindowRegistry::onFocusWindowChanged(QWindow* focusWindow)
{
    if (m_ended)
        return;
    QWidget* window = windowOf(focusWindow);
    if (!window)
        return; // another application, a menu or a tooltip
    // The focus that a show asked for: that show has run the Activate event already.
    if (m_awaitingFocus.remove(window)) {
        m_active = window;
        return;
    }
    // Coming back from another application to the same window is no activation.
    if (window == m_active)
        return;
    m_active = window;
    if (forms::FormEvents* events = m_events.value(window))
        events->formActivate();
}

void WindowRegistry::endProgram()
{
    if (m_ended)
        return;
    m_ended = true;
    for (QWidget* window : windows()) {
        if (window)
            window->hide();
    }
    Q_EMIT programEnded();
}

} // namespace app
