#include "app/browserpage.h"

#include "app/windowregistry.h"
#include "forms/accessibility.h"
#include "forms/introfrm.h"
#include "forms/kysymysfrm.h"
#include "forms/statusfrm.h"
#include "forms/tietoafrm.h"

#include <QAccessible>
#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWindow>

#include <emscripten.h>
#include <emscripten/val.h>

namespace app {

namespace {

// The page's screen reader hears what Qt announces: Qt puts it into a live region of the page.
void announce(QObject& source, const QString& message)
{
    QAccessibleAnnouncementEvent announcement(&source, message);
    QAccessible::updateAccessibility(&announcement);
}

// The page zooms out until the largest window fits on the screen, all windows alike. It learns
// the size of that window, frame and all, in CSS pixels, from the event
// "ahnemetri-largest-window" on its window object, sent when the start window, always the first
// to come up, is shown with its frame: every window has the same frame, and the start window
// alone has a menu bar on top of its client area.
class LargestWindowTeller : public QObject {
public:
    explicit LargestWindowTeller(forms::IntroFrm& start)
        : QObject(&start)
        , m_start(start)
    {
        start.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_start && event->type() == QEvent::Show && m_start.windowHandle()) {
            tell();
            m_start.removeEventFilter(this);
        }
        return false;
    }

private:
    void tell() const
    {
        QSize largest = m_start.size();
        for (const QSize client : {forms::KysymysFrm::clientSize, forms::StatusFrm::clientSize,
                                   forms::TietoaFrm::clientSize})
            largest = largest.expandedTo(client);
        const QMargins frame = m_start.windowHandle()->frameMargins();
        largest += QSize(frame.left() + frame.right(), frame.top() + frame.bottom());

        using emscripten::val;
        val detail = val::object();
        detail.set("width", largest.width());
        detail.set("height", largest.height());
        val init = val::object();
        init.set("detail", detail);
        val::global("window").call<void>(
            "dispatchEvent",
            val::global("CustomEvent").new_(val("ahnemetri-largest-window"), init));
    }

    forms::IntroFrm& m_start;
};

} // namespace

void BrowserPage::attach(WindowRegistry& windows)
{
    forms::setPageTeller(&announce);
    QObject::connect(QGuiApplication::primaryScreen(), &QScreen::geometryChanged, &windows,
                     &WindowRegistry::placeAgain);
    QObject::connect(&windows, &WindowRegistry::introFrmCreated, &windows,
                     [](forms::IntroFrm* start) { new LargestWindowTeller(*start); });
    // The event loop never returns to main(): the program ends once the event at hand is done,
    // and the page's loader tells the page.
    QObject::connect(
        &windows, &WindowRegistry::programEnded, qApp, [] { emscripten_force_exit(0); },
        Qt::QueuedConnection);
}

void BrowserPage::adoptWindow(QWidget& window)
{
    window.setAttribute(Qt::WA_ShowWithoutActivating);
}

void BrowserPage::afterHide(const std::array<QWidget*, 4>& windows, bool hiddenWasActive)
{
    if (!hiddenWasActive)
        return;
    for (QWidget* below : windows) {
        if (below && below->isVisible()) {
            below->activateWindow();
            return;
        }
    }
}

QString BrowserPage::qtTranslationsDirectory()
{
    return QStringLiteral(":/qt/translations");
}

} // namespace app
