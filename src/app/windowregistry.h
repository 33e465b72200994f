#pragma once

#include <QHash>
#include <QObject>
#include <QSet>

#include <array>
#include <memory>
#include <type_traits>

class QWindow;

namespace forms {
class FormEvents;
class IntroFrm;
class KysymysFrm;
class StatusFrm;
class TietoaFrm;
} // namespace forms

namespace app {

// One slot for each of the program's four windows. A window is created on first use and
// afterwards only hidden and shown again; every show and hide goes through here, and so do the
// windows' Load and Activate events.
class WindowRegistry : public QObject {
    Q_OBJECT

public:
    explicit WindowRegistry(QObject* parent = nullptr);
    ~WindowRegistry() override;

    forms::IntroFrm& introFrm();
    forms::KysymysFrm& kysymysFrm();
    forms::StatusFrm& statusFrm();
    forms::TietoaFrm& tietoaFrm();

    // The window of a slot, or null while the slot is still empty.
    template <typename Window> Window* existing() const
    {
        if constexpr (std::is_same_v<Window, forms::IntroFrm>)
            return m_intro.get();
        else if constexpr (std::is_same_v<Window, forms::KysymysFrm>)
            return m_kysymys.get();
        else if constexpr (std::is_same_v<Window, forms::StatusFrm>)
            return m_status.get();
        else {
            static_assert(std::is_same_v<Window, forms::TietoaFrm>, "not a window of the program");
            return m_tietoa.get();
        }
    }

    // Shows the window in front; a visible window is only brought to the front.
    void show(QWidget& window);
    void hide(QWidget& window);
    // Places every shown window again as at its first show, on a screen whose size has changed.
    void placeAgain();

    // Ends the program at once: every window goes, and no window event runs any more.
    void endProgram();

Q_SIGNALS:
    // Each is emitted when its window has been created, before its Load event, so that it can
    // be wired.
    void introFrmCreated(forms::IntroFrm* window);
    void kysymysFrmCreated(forms::KysymysFrm* window);
    void statusFrmCreated(forms::StatusFrm* window);
    void tietoaFrmCreated(forms::TietoaFrm* window);
    void programEnded();

private:
    template <typename Window>
    Window& obtain(std::unique_ptr<Window>& slot, void (WindowRegistry::*created)(Window*));
    std::array<QWidget*, 4> windows() const; // the slots, empty ones as null
    void place(QWidget& window);
    void activate(QWidget& window);
    void onFocusWindowChanged(QWindow* focusWindow);
    QWidget* windowOf(const QWindow* handle) const;

    std::unique_ptr<forms::IntroFrm> m_intro;
    std::unique_ptr<forms::KysymysFrm> m_kysymys;
    std::unique_ptr<forms::StatusFrm> m_status;
    std::unique_ptr<forms::TietoaFrm> m_tietoa;

    QHash<const QWidget*, forms::FormEvents*> m_events; // the windows that handle Load and Activate
    QWidget* m_active = nullptr;    // the program's window that last became active
    QSet<QWidget*> m_awaitingFocus; // shown and activated, but not yet focused
    QSet<QWidget*> m_placed;        // centred once already
    bool m_ended = false;
};

} // namespace app
