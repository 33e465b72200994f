#include "programfixture.h"

#include "app/resources.h"
#include "forms/introfrm.h"
#include "forms/kysymysfrm.h"
#include "forms/statusfrm.h"
#include "forms/tietoafrm.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTimer>
#include <QTest>

ProgramFixture::ProgramFixture()
{
    app::initResources();
    QObject::connect(&windows, &WindowRegistry::programEnded, [this] { ended = true; });
    navigation.start();
    if (!QTest::qWaitForWindowActive(&windows.introFrm()))
        qWarning("the start window did not become active");
}

ProgramFixture::~ProgramFixture() = default;

QWidget* ProgramFixture::introIfCreated() const
{
    return windows.existing(IntroFrm::staticMetaObject);
}

QWidget* ProgramFixture::kysymysIfCreated() const
{
    return windows.existing(KysymysFrm::staticMetaObject);
}

QWidget* ProgramFixture::statusIfCreated() const
{
    return windows.existing(StatusFrm::staticMetaObject);
}

QWidget* ProgramFixture::tietoaIfCreated() const
{
    return windows.existing(TietoaFrm::staticMetaObject);
}

QList<QWidget*> ProgramFixture::visibleWindows() const
{
    QList<QWidget*> visible;
    for (QWidget* window : {introIfCreated(), kysymysIfCreated(), statusIfCreated(),
                            tietoaIfCreated()}) {
        if (window && window->isVisible())
            visible.append(window);
    }
    return visible;
}

bool isReachable(const QWidget* target)
{
    if (!target || !target->isVisible() || !target->isEnabled())
        return false;
    const QWidget* window = target->window();
    const QPoint centre = target->mapTo(window, target->rect().center());
    const QWidget* hit = window->childAt(centre);
    return hit && (hit == target || target->isAncestorOf(hit));
}

bool userClick(QWidget* target)
{
    if (!isReachable(target))
        return false;
    QTest::mouseClick(target, Qt::LeftButton);
    return true;
}

bool switchTo(QWidget* window)
{
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

QStringList tabCycle(QWidget* window, int limit)
{
    QStringList names;
    QWidget* first = QApplication::focusWidget();
    if (!first || first->window() != window)
        return names;
    names.append(first->objectName());
    for (int step = 0; step < limit; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        if (!now || now == first)
            break;
        names.append(now->objectName());
    }
    return names;
}

bool waitForTicks(QTimer* timer, int ticks)
{
    QSignalSpy spy(timer, &QTimer::timeout);
    return QTest::qWaitFor([&] { return spy.count() >= ticks; }, 5000);
}
