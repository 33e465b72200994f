#pragma once

#include <QObject>

class QWidget;

namespace forms {

// A window's close box, and everything else that asks the window manager to close the window
// (Alt+F4, the window menu, a taskbar). What closing means is the window's own decision, so the
// window never closes by itself: each request comes out as `requested`, for the window to turn
// into its own signal. A request that arrives while the window is not shown, say one that left
// the window manager just before the program hid the window, changes nothing.
class CloseBox : public QObject {
    Q_OBJECT

public:
    explicit CloseBox(QWidget& window);

Q_SIGNALS:
    void requested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_window;
};

} // namespace forms
