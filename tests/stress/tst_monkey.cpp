// A monkey at the mouse and the keyboard: thousands of random user events over every window of
// the program, checking after every event what must always hold.
//
//   AHNEMETRI_MONKEY_SEED    another seed than the fixed one of the suite (every run prints its
//                            seed, so any run can be repeated)
//   AHNEMETRI_MONKEY_EVENTS  number of events, 3000 by default
//   AHNEMETRI_MONKEY_TRACE   1 prints every event as it happens
//
// The monkey never takes the ways that end the program on purpose: Ctrl+X, "Lopeta" in the
// menu, the results window's "Lopeta" button (click, Space, Enter, Alt+L) and the start window's
// close box. If the program ends all the same, that is reported as a failure.
//
// Besides what a user does on purpose it brings what the desktop does now and then: close
// requests that reach a window already hidden, pasted text with line breaks and control
// characters, and keys held down while the window under them changes. A late close request, a
// key repeat in a window or on a question where the key did not go down, and the second click of
// a double click on the question that its first click brought up must change nothing at all.

#include "programfixture.h"
#include "stresskit.h"

#include "forms/introfrm.h"
#include "forms/kysymysfrm.h"
#include "forms/questionpanel.h"
#include "forms/statusfrm.h"
#include "forms/tietoafrm.h"
#include "quiz/catalogue.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSet>
#include <QShortcutEvent>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include <array>
#include <deque>
#include <optional>

using forms::IntroFrm;
using forms::KysymysFrm;
using forms::QuestionPanel;
using forms::StatusFrm;

namespace {

constexpr int defaultEventCount = 3000;
// The suite's run is the same every time; another seed only when asked.
constexpr quint32 defaultSeed = 20261207;
constexpr int rememberedEvents = 40; // shown when an invariant breaks

QWidget* const noWidget = nullptr; // keys go to whatever has the keyboard

QString describe(const QWidget* widget)
{
    if (!widget)
        return QStringLiteral("nothing");
    const QWidget* window = widget->window();
    QString name = widget->objectName().isEmpty()
                       ? QString::fromLatin1(widget->metaObject()->className())
                       : widget->objectName();
    if (window != widget)
        name = window->objectName() + u'/' + name;
    return name;
}

QString describe(QPoint point)
{
    return QStringLiteral("(%1,%2)").arg(point.x()).arg(point.y());
}

QString describeKey(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    return QKeySequence(QKeyCombination(modifiers, key)).toString();
}

// An access key does not click its button at once: the button shows itself pressed and clicks
// 100 ms later, even if its window has been hidden meanwhile. This keeps count of the clicks
// still to come.
class AccessKeyClicks : public QObject {
    Q_OBJECT

public:
    AccessKeyClicks() { qApp->installEventFilter(this); }
    ~AccessKeyClicks() override { qApp->removeEventFilter(this); }

    bool pending() const { return !m_buttons.isEmpty(); }

    // Lets the event loop run until every click has come; false if one does not in a second.
    bool waitForClicks()
    {
        if (!pending())
            return true;
        QEventLoop loop;
        connect(this, &AccessKeyClicks::allClicked, &loop, &QEventLoop::quit);
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        loop.exec();
        return !pending();
    }

Q_SIGNALS:
    void allClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Shortcut)
            return false;
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (!button || !button->isEnabled() || m_buttons.contains(button)
            || static_cast<QShortcutEvent*>(event)->isAmbiguous())
            return false;
        m_buttons.insert(button);
        connect(
            button, &QAbstractButton::clicked, this,
            [this, button] {
                m_buttons.remove(button);
                if (m_buttons.isEmpty())
                    Q_EMIT allClicked();
            },
            Qt::SingleShotConnection);
        return false;
    }

private:
    QSet<QAbstractButton*> m_buttons;
};

bool isWithinTextView(const QWidget* widget)
{
    for (; widget; widget = widget->parentWidget()) {
        if (qobject_cast<const QAbstractScrollArea*>(widget))
            return true;
    }
    return false;
}

// What a user could see change: the windows, the menu, the focus, the name, the test.
struct Snapshot {
    QList<QWidget*> visible;
    QWidget* popup = nullptr;
    QWidget* focus = nullptr;
    QString name;
    qint16 score = 0;
    int top = 0;
    int donation = 0;
    QString resultsTitle;
    bool ended = false;

    bool operator==(const Snapshot&) const = default;
};

// What makes the text no single line of a name: empty when it is one.
QString notOneLine(const QString& text)
{
    constexpr qsizetype longestName = 1000;
    if (text.size() > longestName)
        return QStringLiteral("holds %1 characters").arg(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool pair =
            c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line
            || category == QChar::Separator_Paragraph || (c.isSurrogate() && !pair))
            return QStringLiteral("holds U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        if (pair)
            ++i;
    }
    return {};
}

class Monkey {
public:
    Monkey(ProgramFixture& program, quint32 seed);

    // One random user event and what the program does with it.
    void act(int number);
    // What no longer holds, or an empty string.
    QString brokenInvariant();

    const std::deque<QString>& recent() const { return m_recent; }
    QString tally() const;

private:
    enum class Action {
        Click,
        ClickControl,
        DoubleClick,
        DoubleClickTitle,
        Drag,
        Wheel,
        Type,
        Key,
        AccessKey,
        BareAlt,
        CloseBox,
        SwitchWindow,
        SetClock,
        CloseHidden,
        Paste,
        HoldKey,
    };

    int below(int bound) { return int(m_random.bounded(bound)); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T> const T& oneOf(const QList<T>& list)
    {
        return list.at(below(int(list.size())));
    }

    void note(const QString& what);
    void settle();

    void actOnWindows(std::optional<Action> chosen = {});
    void quickFollowUp();
    void actInMenu(QWidget* popup);
    Action pickAction();

    QWidget* pickWindow();
    void bringForward(QWidget* window);
    QWidget* under(QWidget* window, QPoint point) const;
    QPoint randomPointIn(const QWidget* widget);
    void clickAt(QWidget* window, QPoint point);
    void doubleClickAt(QWidget* window, QPoint point);
    void clickControl(QWidget* window);
    void drag(QWidget* window);
    void wheel(QWidget* window);
    void type();
    void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void accessKey();
    void closeBox();
    void closeHidden();
    void paste();
    void holdKey();
    void sendKey(Qt::Key key, QEvent::Type type, bool repeat, quint64 time = 0);
    Snapshot snapshot();

    QWidget* keyboardWindow() const;
    bool isQuitButton(const QWidget* widget) const;
    bool wouldQuit(Qt::Key key, Qt::KeyboardModifiers modifiers) const;

    KysymysFrm* questionnaire() const;
    int shownQuestion() const; // the question on top of the shown questionnaire, or 0
    StatusFrm* results() const;
    QuestionPanel* panel(int number);
    void countVisits();

    ProgramFixture& m_program;
    QRandomGenerator m_random;
    IntroFrm& m_intro;
    QLineEdit* m_nameBox;
    QPushButton* m_start;
    QTimer* m_timer;
    QLabel* m_title;
    QAction* m_quitItem;
    std::array<QuestionPanel*, quiz::questionCount> m_panels{};
    const bool m_trace = qEnvironmentVariableIntValue("AHNEMETRI_MONKEY_TRACE") != 0;

    int m_number = 0;
    std::deque<QString> m_recent;
    AccessKeyClicks m_accessKeyClicks;
    QString m_clickMissing;
    QString m_tickMissing;
    QString m_lateCloseActed;
    QString m_repeatActed;
    QString m_secondClickActed;

    // What the run reached, printed at the end.
    int m_testsStarted = 0;
    int m_resultsShown = 0;
    int m_aboutShown = 0;
    int m_highestQuestion = 0;
    int m_leftOut = 0;
    int m_hiddenCloses = 0;
    int m_pastes = 0;
    int m_heldKeys = 0;
    int m_foreignRepeats = 0;
    bool m_questionnaireWasVisible = false;
    bool m_resultsWereVisible = false;
    bool m_aboutWasVisible = false;
};

Monkey::Monkey(ProgramFixture& program, quint32 seed)
    : m_program(program)
    , m_random(seed)
    , m_intro(program.windows.introFrm())
    , m_nameBox(control<QLineEdit>(m_intro, QStringLiteral("NimiTxt")))
    , m_start(control<QPushButton>(m_intro, QStringLiteral("AloitaCmd")))
    , m_timer(m_intro.findChild<QTimer*>(QStringLiteral("Timer1")))
    , m_title(control<QLabel>(m_intro, QStringLiteral("OtsikkoImg")))
    , m_quitItem(control<QAction>(m_intro, QStringLiteral("LopetaFile")))
{
    if (!m_timer)
        qFatal("the start window has no Timer1");
}

void Monkey::note(const QString& what)
{
    QString line = QStringLiteral("#%1 %2").arg(m_number).arg(what);
    if (m_trace)
        qInfo().noquote() << line;
    m_recent.push_back(std::move(line));
    if (m_recent.size() > rememberedEvents)
        m_recent.pop_front();
}

void Monkey::settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

KysymysFrm* Monkey::questionnaire() const
{
    return m_program.kysymysIfCreated();
}

int Monkey::shownQuestion() const
{
    KysymysFrm* test = questionnaire();
    return test && test->isVisible() ? topQuestion(*test) : 0;
}

StatusFrm* Monkey::results() const
{
    return m_program.statusIfCreated();
}

QuestionPanel* Monkey::panel(int number)
{
    QuestionPanel*& cached = m_panels.at(std::size_t(number - 1));
    if (!cached)
        cached = control<QuestionPanel>(*questionnaire(), quiz::panelName(number));
    return cached;
}

void Monkey::act(int number)
{
    m_number = number;
    const QString nameBefore = m_nameBox->text();
    // The last event's access key has not clicked yet: a quick hand's next key or click.
    const bool quick = m_accessKeyClicks.pending();

    if (QWidget* popup = QApplication::activePopupWidget())
        actInMenu(popup);
    else if (quick)
        quickFollowUp();
    else
        actOnWindows();
    settle();

    // Mostly the monkey waits for an access key's click; now and then its next event comes
    // first, but never more than one.
    if (m_accessKeyClicks.pending() && (quick || chance(60))) {
        if (!m_accessKeyClicks.waitForClicks())
            m_clickMissing = QStringLiteral("an access key's click never came");
        settle();
    }

    // The start button follows the name at the polling timer's next tick; the timer ticks while
    // the start window is shown (an access key's click may have hidden it meanwhile).
    if (m_nameBox->text() != nameBefore && m_intro.isVisible() && !stress::waitForNextTick(m_timer))
        m_tickMissing = QStringLiteral("Timer1 no longer ticks");
    countVisits();
}

void Monkey::countVisits()
{
    const auto shown = [](QWidget* window) { return window && window->isVisible(); };
    const bool questionnaireVisible = shown(questionnaire());
    const bool resultsVisible = shown(results());
    const bool aboutVisible = shown(m_program.tietoaIfCreated());
    m_testsStarted += questionnaireVisible && !m_questionnaireWasVisible;
    m_resultsShown += resultsVisible && !m_resultsWereVisible;
    m_aboutShown += aboutVisible && !m_aboutWasVisible;
    m_questionnaireWasVisible = questionnaireVisible;
    m_resultsWereVisible = resultsVisible;
    m_aboutWasVisible = aboutVisible;
    if (questionnaireVisible) {
        for (int n = quiz::questionCount; n > m_highestQuestion; --n) {
            if (!panel(n)->isHidden()) {
                m_highestQuestion = n;
                break;
            }
        }
    }
}

QString Monkey::tally() const
{
    return QStringLiteral("%1 tests started, %2 finished, highest question %3, About shown %4 "
                          "times, %5 events left out as ways to quit, %6 close requests to hidden "
                          "windows, %7 pastes, %8 keys held (%9 repeats where the key did not go "
                          "down)")
        .arg(m_testsStarted)
        .arg(m_resultsShown)
        .arg(m_highestQuestion)
        .arg(m_aboutShown)
        .arg(m_leftOut)
        .arg(m_hiddenCloses)
        .arg(m_pastes)
        .arg(m_heldKeys)
        .arg(m_foreignRepeats);
}

Monkey::Action Monkey::pickAction()
{
    static constexpr std::array<std::pair<Action, int>, 16> weights{{
        {Action::Click, 22},
        {Action::ClickControl, 24},
        {Action::DoubleClick, 3},
        {Action::DoubleClickTitle, 2},
        {Action::Drag, 4},
        {Action::Wheel, 3},
        {Action::Type, 9},
        {Action::Key, 16},
        {Action::AccessKey, 5},
        {Action::BareAlt, 1},
        {Action::CloseBox, 3},
        {Action::SwitchWindow, 3},
        {Action::SetClock, 2},
        {Action::CloseHidden, 2},
        {Action::Paste, 2},
        {Action::HoldKey, 3},
    }};
    int total = 0;
    for (const auto& [action, weight] : weights)
        total += weight;
    int roll = below(total);
    for (const auto& [action, weight] : weights) {
        if (roll < weight)
            return action;
        roll -= weight;
    }
    return Action::Click;
}

QWidget* Monkey::pickWindow()
{
    const QList<QWidget*> shown = m_program.visibleWindows();
    return shown.isEmpty() ? nullptr : oneOf(shown);
}

void Monkey::quickFollowUp()
{
    // Right after an access key a hand is most likely at the keyboard: another access key, or
    // Alt+F4 (the close box).
    const int roll = below(100);
    actOnWindows(roll < 40 ? Action::CloseBox : roll < 70 ? Action::AccessKey : pickAction());
}

void Monkey::actOnWindows(std::optional<Action> chosen)
{
    QWidget* window = pickWindow();
    if (!window) {
        note(QStringLiteral("no window to act on"));
        return;
    }
    switch (chosen ? *chosen : pickAction()) {
    case Action::Click:
        clickAt(window, randomPointIn(window));
        break;
    case Action::ClickControl:
        clickControl(window);
        break;
    case Action::DoubleClick:
        doubleClickAt(window, randomPointIn(window));
        break;
    case Action::DoubleClickTitle:
        if (m_intro.isVisible())
            doubleClickAt(&m_intro, m_title->mapTo(&m_intro, randomPointIn(m_title)));
        else
            clickAt(window, randomPointIn(window));
        break;
    case Action::Drag:
        drag(window);
        break;
    case Action::Wheel:
        wheel(window);
        break;
    case Action::Type:
        type();
        break;
    case Action::Key: {
        static const QList<QKeyCombination> keys{
            Qt::Key_Tab,
            Qt::SHIFT | Qt::Key_Backtab,
            Qt::Key_Return,
            Qt::Key_Enter,
            Qt::Key_Space,
            Qt::Key_Left,
            Qt::Key_Right,
            Qt::Key_Up,
            Qt::Key_Down,
            Qt::Key_Home,
            Qt::Key_End,
            Qt::Key_PageUp,
            Qt::Key_PageDown,
            Qt::Key_Backspace,
            Qt::Key_Delete,
            Qt::Key_Escape,
            Qt::CTRL | Qt::Key_A,
            Qt::CTRL | Qt::Key_Z,
            Qt::CTRL | Qt::SHIFT | Qt::Key_Z,
            Qt::CTRL | Qt::Key_C,
            Qt::CTRL | Qt::Key_V,
            Qt::SHIFT | Qt::Key_Home,
            Qt::SHIFT | Qt::Key_End,
            Qt::CTRL | Qt::Key_Tab,
        };
        const QKeyCombination key = oneOf(keys);
        pressKey(key.key(), key.keyboardModifiers());
        break;
    }
    case Action::AccessKey:
        accessKey();
        break;
    case Action::BareAlt:
        pressKey(Qt::Key_Alt);
        break;
    case Action::CloseBox:
        closeBox();
        break;
    case Action::SwitchWindow:
        note(QStringLiteral("switch to %1").arg(describe(window)));
        window->activateWindow();
        break;
    case Action::CloseHidden:
        closeHidden();
        break;
    case Action::Paste:
        paste();
        break;
    case Action::HoldKey:
        holdKey();
        break;
    case Action::SetClock: {
        // The results show the time of their last fill; the clock only moves while they are
        // out of sight, so that what they show can be checked against it.
        if (StatusFrm* shown = results(); shown && shown->isVisible()) {
            clickAt(window, randomPointIn(window));
            break;
        }
        m_program.now = QTime(below(24), below(60), below(60));
        note(QStringLiteral("clock set to %1").arg(m_program.now.toString(u"hh:mm:ss")));
        break;
    }
    }
}

void Monkey::actInMenu(QWidget* popup)
{
    auto* menu = qobject_cast<QMenu*>(popup);
    if (!menu) {
        note(QStringLiteral("close popup %1").arg(describe(popup)));
        popup->close();
        return;
    }
    const int roll = below(100);
    if (roll < 45) {
        static const QList<Qt::Key> keys{
            Qt::Key_Escape, Qt::Key_Up,    Qt::Key_Down,  Qt::Key_Home, Qt::Key_End,
            Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Left, Qt::Key_Right,
            Qt::Key_Tab,    Qt::Key_T,     Qt::Key_L,     Qt::Key_Y,    Qt::Key_Q};
        pressKey(oneOf(keys));
    } else if (roll < 75) {
        QList<QAction*> items;
        for (QAction* item : menu->actions()) {
            if (item->isVisible() && !item->isSeparator())
                items.append(item);
        }
        if (items.isEmpty())
            return;
        QAction* item = oneOf(items);
        if (item == m_quitItem) {
            ++m_leftOut;
            note(QStringLiteral("click on menu item \"Lopeta\" left out"));
            return;
        }
        const QPoint point = menu->actionGeometry(item).center();
        note(QStringLiteral("click menu item %1").arg(item->text()));
        QTest::mouseClick(menu, Qt::LeftButton, {}, point);
    } else {
        // A click anywhere outside an open menu only closes it.
        const QPoint outside(menu->width() + 1 + below(40), menu->height() + 1 + below(40));
        note(QStringLiteral("click outside the menu"));
        QTest::mouseClick(menu, Qt::LeftButton, {}, outside);
    }
}

QPoint Monkey::randomPointIn(const QWidget* widget)
{
    return {below(qMax(1, widget->width())), below(qMax(1, widget->height()))};
}

void Monkey::bringForward(QWidget* window)
{
    // The window manager activates a window in the background on the click that hits it.
    if (QApplication::activeWindow() == window)
        return;
    window->activateWindow();
    settle();
}

QWidget* Monkey::under(QWidget* window, QPoint point) const
{
    QWidget* hit = window->childAt(point);
    return hit ? hit : window;
}

bool Monkey::isQuitButton(const QWidget* widget) const
{
    StatusFrm* shown = results();
    return shown && widget && widget == shown->findChild<QWidget*>(QStringLiteral("LopetaCmd"));
}

void Monkey::clickAt(QWidget* window, QPoint point)
{
    bringForward(window);
    if (!window->isVisible()) {
        note(QStringLiteral("click on %1, gone when activated").arg(describe(window)));
        return;
    }
    QWidget* target = under(window, point);
    if (isQuitButton(target)) {
        ++m_leftOut;
        note(QStringLiteral("click on \"Lopeta\" left out"));
        return;
    }
    const QPoint local = target->mapFrom(window, point);
    note(QStringLiteral("click %1 at %2").arg(describe(target), describe(local)));
    QTest::mouseClick(target, Qt::LeftButton, {}, local);
}

void Monkey::doubleClickAt(QWidget* window, QPoint point)
{
    const int question = shownQuestion();
    clickAt(window, point);
    settle();
    // The second press lands on whatever the first click left at that point.
    if (!window->isVisible() || QApplication::activePopupWidget())
        return;
    QWidget* target = under(window, point);
    if (isQuitButton(target)) {
        ++m_leftOut;
        note(QStringLiteral("second click of a double click on \"Lopeta\" left out"));
        return;
    }
    const QPoint local = target->mapFrom(window, point);
    note(QStringLiteral("double click %1 at %2").arg(describe(target), describe(local)));
    // The second click never answers the question that the first one brought up, nor moves
    // its slider; Qt gives the focus to what it lands on before anyone sees the click.
    const bool unseen = shownQuestion() != question;
    const Snapshot before = snapshot();
    QTest::mouseDClick(target, Qt::LeftButton, {}, local);
    QTest::mouseRelease(target, Qt::LeftButton, {}, local);
    settle();
    const Snapshot after = snapshot();
    if (unseen
        && (after.visible != before.visible || after.top != before.top
            || after.score != before.score || after.donation != before.donation))
        m_secondClickActed = QStringLiteral("the second click of a double click acted in %1, "
                                            "which the first click brought up")
                                 .arg(describe(window));
}

void Monkey::clickControl(QWidget* window)
{
    // A random point on a random control, so that the monkey also gets through the test.
    QList<QWidget*> controls;
    for (QWidget* child : window->findChildren<QWidget*>()) {
        const bool interesting = qobject_cast<QAbstractButton*>(child)
                                 || qobject_cast<QAbstractSlider*>(child)
                                 || qobject_cast<QLineEdit*>(child)
                                 || qobject_cast<QMenuBar*>(child) || child == m_title;
        if (interesting && child->isVisible() && !isQuitButton(child))
            controls.append(child);
    }
    if (controls.isEmpty()) {
        clickAt(window, randomPointIn(window));
        return;
    }
    QWidget* target = oneOf(controls);
    clickAt(window, target->mapTo(window, randomPointIn(target)));
}

void Monkey::drag(QWidget* window)
{
    bringForward(window);
    if (!window->isVisible())
        return;
    const QPoint from = randomPointIn(window);
    QWidget* target = under(window, from);
    // Dragging selected text would start drag and drop, which waits for a real mouse.
    if (isQuitButton(target) || isWithinTextView(target)) {
        note(QStringLiteral("drag on %1 left out").arg(describe(target)));
        return;
    }
    const QPoint start = target->mapFrom(window, from);
    const QPoint end = start + QPoint(below(161) - 80, below(61) - 30);
    note(QStringLiteral("drag %1 from %2 to %3")
             .arg(describe(target), describe(start), describe(end)));
    QTest::mousePress(target, Qt::LeftButton, {}, start);
    QTest::mouseMove(target, (start + end) / 2);
    QTest::mouseMove(target, end);
    QTest::mouseRelease(target, Qt::LeftButton, {}, end);
}

void Monkey::wheel(QWidget* window)
{
    const QPoint point = randomPointIn(window);
    QWidget* target = under(window, point);
    const QPoint local = target->mapFrom(window, point);
    const int notches = chance(50) ? 120 : -120;
    note(QStringLiteral("wheel %1 on %2").arg(notches).arg(describe(target)));
    QWheelEvent event(local, target->mapToGlobal(local), QPoint(), QPoint(0, notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

QWidget* Monkey::keyboardWindow() const
{
    if (QWidget* popup = QApplication::activePopupWidget())
        return popup;
    const QWindow* focus = QGuiApplication::focusWindow();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (focus && window->windowHandle() == focus)
            return window->isVisible() ? window : nullptr;
    }
    return nullptr;
}

bool Monkey::wouldQuit(Qt::Key key, Qt::KeyboardModifiers modifiers) const
{
    if (key == Qt::Key_X && (modifiers & Qt::ControlModifier))
        return true; // the menu's "Lopeta"
    const bool presses = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget()))
        return key == Qt::Key_L || (presses && menu->activeAction() == m_quitItem);
    QWidget* window = keyboardWindow();
    QWidget* focus = window ? window->focusWidget() : nullptr;
    if (presses && (isQuitButton(focus) || isQuitButton(QApplication::focusWidget())))
        return true;
    StatusFrm* shown = results();
    return key == Qt::Key_L && (modifiers & Qt::AltModifier) && shown && shown->isVisible();
}

void Monkey::pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    const QString name = describeKey(key, modifiers);
    if (wouldQuit(key, modifiers)) {
        ++m_leftOut;
        note(QStringLiteral("key %1 left out: it would quit").arg(name));
        return;
    }
    QWidget* window = keyboardWindow();
    if (!window) {
        note(QStringLiteral("key %1 while no window has the keyboard").arg(name));
        return;
    }
    note(QStringLiteral("key %1 to %2")
             .arg(name, describe(window->focusWidget() ? window->focusWidget() : window)));
    QTest::keyClick(noWidget, key, modifiers);
}

void Monkey::accessKey()
{
    // Mostly a key that the window at hand underlines on one of its buttons, as a user reads
    // it off the screen; otherwise any letter.
    QList<Qt::Key> shown;
    if (QWidget* window = keyboardWindow()) {
        for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
            const QKeySequence mnemonic = QKeySequence::mnemonic(button->text());
            if (button->isVisible() && !mnemonic.isEmpty())
                shown.append(mnemonic[0].key());
        }
    }
    static const QList<Qt::Key> letters = [] {
        QList<Qt::Key> all;
        for (int key = Qt::Key_A; key <= Qt::Key_Z; ++key)
            all.append(Qt::Key(key));
        all << Qt::Key_Adiaeresis << Qt::Key_Odiaeresis;
        return all;
    }();
    pressKey(!shown.isEmpty() && chance(70) ? oneOf(shown) : oneOf(letters), Qt::AltModifier);
}

void Monkey::type()
{
    static const QList<QString> samples{
        QStringLiteral("<b>x</b>"),
        QStringLiteral("&"),
        QStringLiteral("&&"),
        QStringLiteral("[*]"),
        QStringLiteral("a[*]b"),
        QStringLiteral("%1"),
        QStringLiteral("ä"),
        QStringLiteral("Ö"),
        QStringLiteral("Jääskeläinen"),
        QStringLiteral("\U0001F4B0"),
        QStringLiteral("שלום"),
        QStringLiteral("   "),
        QStringLiteral("Roope Ankka, Ankkalinnan rahasäiliön omistaja"),
        QStringLiteral("\\n\"'"),
    };
    QString text;
    if (chance(40)) {
        const int length = 1 + below(6);
        for (int i = 0; i < length; ++i)
            text += QChar(char16_t(0x20 + below(0x5f)));
    } else {
        text = oneOf(samples);
    }
    QWidget* window = keyboardWindow();
    note(
        QStringLiteral("type \"%1\" into %2")
            .arg(text, describe(window && window->focusWidget() ? window->focusWidget() : window)));
    for (const QString& character : stress::characters(text)) {
        // A space on a focused button presses it, so typing can quit too.
        const Qt::Key key = character.size() == 1 && character.at(0).unicode() < 0x7f
                                ? QTest::asciiToKey(char(character.at(0).unicode()))
                                : Qt::Key_unknown;
        if (wouldQuit(key, Qt::NoModifier)) {
            ++m_leftOut;
            note(QStringLiteral("  \"%1\" left out: it would quit").arg(character));
            continue;
        }
        if (!keyboardWindow())
            break;
        stress::typeCharacter(noWidget, character);
    }
}

void Monkey::closeBox()
{
    // The start window's close box ends the program.
    QList<QWidget*> closable = m_program.visibleWindows();
    closable.removeAll(&m_intro);
    if (closable.isEmpty()) {
        ++m_leftOut;
        note(QStringLiteral("close box of the start window left out"));
        return;
    }
    QWidget* window = oneOf(closable);
    note(QStringLiteral("close box of %1").arg(describe(window)));
    window->close();
}

Snapshot Monkey::snapshot()
{
    Snapshot now;
    now.visible = m_program.visibleWindows();
    now.popup = QApplication::activePopupWidget();
    now.focus = QApplication::focusWidget();
    now.name = m_nameBox->text();
    now.ended = m_program.ended;
    if (KysymysFrm* test = questionnaire()) {
        now.score = test->moneypercent();
        now.top = topQuestion(*test);
        now.donation = panel(quiz::donation::questionNumber)->slider()->value();
    }
    if (StatusFrm* shown = results())
        now.resultsTitle = shown->windowTitle();
    return now;
}

void Monkey::closeHidden()
{
    // A close request that the window manager sent before the program hid the window, and that
    // arrives only now: to the native window, as the window manager's would.
    QList<QWidget*> hidden;
    for (QWidget* window : m_program.createdWindows()) {
        if (!window->isVisible())
            hidden.append(window);
    }
    if (hidden.isEmpty() || !m_accessKeyClicks.waitForClicks()) {
        closeBox();
        return;
    }
    settle();
    QWidget* window = oneOf(hidden);
    note(QStringLiteral("late close request to hidden %1").arg(describe(window)));
    ++m_hiddenCloses;
    const Snapshot before = snapshot();
    if (QWindow* handle = window->windowHandle())
        handle->close();
    else
        window->close();
    settle();
    if (snapshot() != before)
        m_lateCloseActed =
            QStringLiteral("a close request to hidden %1 changed something").arg(describe(window));
}

void Monkey::paste()
{
    // Text as it comes from other programs: lines of a document or a spreadsheet row, a
    // terminal's control characters, direction marks, more than a name box takes.
    static const QList<QString> clippings{
        QStringLiteral("Matti\nMeikäläinen"),
        QStringLiteral("Nimi\r\n"),
        QStringLiteral("\r\n\r\n"),
        QStringLiteral("Etu\tSuku\t"),
        QString::fromUtf16(u"Nul\0lin", 7),
        QStringLiteral("Roope\u0007\u001b[1mAnkka\u007f"),
        QStringLiteral("x\u2028y\u2029\u0085"),
        QStringLiteral("\u202eAku\u2069)"),
        QStringLiteral("שלום\n123"),
        QStringLiteral("a\rb\vc\fd"),
        QString(1200, u'R') + QStringLiteral("\n"),
        QString(999, u'x') + QStringLiteral("\U0001F4B0"),
    };
    QString clipping = oneOf(clippings);
    if (chance(30))
        clipping += QChar(char16_t(below(0x20)));
    QGuiApplication::clipboard()->setText(clipping);
    ++m_pastes;
    note(QStringLiteral("clipboard holds %1 characters").arg(clipping.size()));
    if (chance(75))
        pressKey(Qt::Key_V, Qt::ControlModifier);
    else
        pressKey(Qt::Key_Insert, Qt::ShiftModifier);
}

void Monkey::sendKey(Qt::Key key, QEvent::Type type, bool repeat, quint64 time)
{
    QWidget* target = QApplication::activePopupWidget();
    if (target && target->focusWidget())
        target = target->focusWidget();
    if (!target)
        target = QApplication::focusWidget() ? QApplication::focusWidget() : keyboardWindow();
    if (!target)
        return;
    const char ascii = QTest::keyToAscii(key);
    const QString text = ascii ? QString(QLatin1Char(ascii)) : QString();
    if (time == 0) {
        QTest::simulateEvent(target, type == QEvent::KeyPress, key, Qt::NoModifier, text, repeat,
                             0);
        return;
    }
    QKeyEvent event(type, key, Qt::NoModifier, text, repeat);
    event.setTimestamp(time);
    QApplication::sendEvent(target, &event);
}

void Monkey::holdKey()
{
    static const QList<Qt::Key> keys{Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space,     Qt::Key_Tab,
                                     Qt::Key_Right,  Qt::Key_Down,  Qt::Key_Backspace, Qt::Key_A};
    const Qt::Key key = oneOf(keys);
    const QString name = describeKey(key, Qt::NoModifier);
    if (!m_accessKeyClicks.waitForClicks() || !keyboardWindow()) {
        note(QStringLiteral("hold %1 while no window has the keyboard").arg(name));
        return;
    }
    settle();
    // Mostly the key goes down here; now and then it was held already when this window got the
    // keyboard.
    QWidget* downIn = nullptr;
    const int downInQuestion = shownQuestion();
    if (chance(75)) {
        if (wouldQuit(key, Qt::NoModifier)) {
            ++m_leftOut;
            note(QStringLiteral("hold %1 left out: it would quit").arg(name));
            return;
        }
        downIn = keyboardWindow();
        note(QStringLiteral("hold %1 down in %2").arg(name, describe(downIn)));
        sendKey(key, QEvent::KeyPress, false);
        settle();
    } else {
        note(QStringLiteral("%1 held since before, repeating in %2")
                 .arg(name, describe(keyboardWindow())));
    }
    ++m_heldKeys;
    // An X server repeats a key as a release and a press of the same time, unmarked; other
    // platforms mark the repeated presses.
    const bool paired = chance(50);
    quint64 time = 1 + quint64(m_number) * 1000;
    const int repeats = 1 + below(12);
    for (int repeat = 0; repeat < repeats && m_repeatActed.isEmpty(); ++repeat) {
        // A window hidden since the key went down is a new window when it comes back, and a
        // question that came up since then is new to the key too.
        if (downIn && (!downIn->isVisible() || shownQuestion() != downInQuestion))
            downIn = nullptr;
        QWidget* window = keyboardWindow();
        if (!window)
            break;
        const bool foreign = window != downIn;
        if (!foreign && wouldQuit(key, Qt::NoModifier)) {
            ++m_leftOut;
            note(QStringLiteral("  repeat left out: it would quit"));
            break;
        }
        const Snapshot before = snapshot();
        if (paired) {
            time += 33;
            sendKey(key, QEvent::KeyRelease, false, time);
            if (keyboardWindow())
                sendKey(key, QEvent::KeyPress, false, time);
        } else {
            sendKey(key, QEvent::KeyPress, true);
        }
        settle();
        m_foreignRepeats += foreign;
        if (foreign && snapshot() != before)
            m_repeatActed =
                QStringLiteral("a repeat of %1 acted in %2, where the key did not go down")
                    .arg(name, describe(window));
    }
    note(QStringLiteral("  release %1").arg(name));
    sendKey(key, QEvent::KeyRelease, false);
}

QString Monkey::brokenInvariant()
{
    if (m_program.ended)
        return QStringLiteral(
            "the program ended, although the monkey leaves out every way to quit");
    if (m_program.visibleWindows().isEmpty())
        return QStringLiteral("no window of the program is visible");
    if (!m_clickMissing.isEmpty())
        return m_clickMissing;
    if (!m_tickMissing.isEmpty())
        return m_tickMissing;
    if (!m_lateCloseActed.isEmpty())
        return m_lateCloseActed;
    if (!m_repeatActed.isEmpty())
        return m_repeatActed;
    if (!m_secondClickActed.isEmpty())
        return m_secondClickActed;
    if (const QString wrong = notOneLine(m_nameBox->text()); !wrong.isEmpty())
        return QStringLiteral("the name box %1").arg(wrong);

    KysymysFrm* test = questionnaire();
    if (test) {
        int top = 0;
        for (int n = 1; n <= quiz::questionCount; ++n) {
            if (panel(n)->isHidden())
                continue;
            if (top != n - 1)
                return QStringLiteral("question panel %1 is shown above hidden %2")
                    .arg(n)
                    .arg(n - 1);
            top = n;
        }
        if (top == 0)
            return QStringLiteral("no question panel is shown");
        for (int n = 1; n <= top; ++n) {
            if (panel(n)->isOnTop() != (n == top))
                return QStringLiteral("panel %1 %2 its controls while panel %3 is on top")
                    .arg(n)
                    .arg(panel(n)->isOnTop() ? QStringLiteral("shows") : QStringLiteral("hides"))
                    .arg(top);
        }
    }

    if (StatusFrm* shown = results(); shown && shown->isVisible()) {
        if (!test)
            return QStringLiteral("results are shown without a questionnaire");
        const qint16 score = test->moneypercent();
        if (score < 0 || score > 100)
            return QStringLiteral("the results show the score %1").arg(score);
        const QString wrong =
            stress::resultsMismatch(*shown, score, m_intro.playerName(), m_program.now);
        if (!wrong.isEmpty())
            return QStringLiteral("results for the score %1: %2").arg(score).arg(wrong);
    }

    // The polling rests while the start window is hidden, and it is right again at the show.
    if (m_timer->isActive() != m_intro.isVisible())
        return QStringLiteral("Timer1 is %1 while the start window is %2")
            .arg(m_timer->isActive() ? QStringLiteral("running") : QStringLiteral("stopped"),
                 m_intro.isVisible() ? QStringLiteral("shown") : QStringLiteral("hidden"));
    if (m_intro.isVisible() && m_start->isEnabled() == m_nameBox->text().isEmpty())
        return QStringLiteral("the start button is %1 with the name \"%2\" after a tick")
            .arg(m_start->isEnabled() ? QStringLiteral("enabled") : QStringLiteral("disabled"),
                 m_nameBox->text());
    return {};
}

int eventCount()
{
    bool ok = false;
    const int count = qEnvironmentVariableIntValue("AHNEMETRI_MONKEY_EVENTS", &ok);
    return ok && count > 0 ? count : defaultEventCount;
}

quint32 monkeySeed()
{
    bool ok = false;
    const quint32 seed = qEnvironmentVariable("AHNEMETRI_MONKEY_SEED").toUInt(&ok);
    return ok ? seed : defaultSeed;
}

} // namespace

namespace {

// The offscreen platform complains every time a window is raised or a menu grabs the keyboard;
// in a long run that would drown everything else, so those two notes are dropped.
QtMessageHandler previousHandler = nullptr;

void quietPlatform(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg
        && (message == u"This plugin does not support raise()"
            || message == u"This plugin does not support grabbing the keyboard"))
        return;
    previousHandler(type, context, message);
}

} // namespace

class TestMonkey : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { previousHandler = qInstallMessageHandler(quietPlatform); }
    void cleanupTestCase() { qInstallMessageHandler(previousHandler); }
    void randomUserEventsKeepTheProgramConsistent();
};

void TestMonkey::randomUserEventsKeepTheProgramConsistent()
{
    const quint32 seed = monkeySeed();
    const int events = eventCount();
    qInfo() << "monkey seed" << seed << "events" << events;

    ProgramFixture program;
    Monkey monkey(program, seed);
    for (int number = 1; number <= events; ++number) {
        monkey.act(number);
        const QString broken = monkey.brokenInvariant();
        if (broken.isEmpty())
            continue;
        // All in the failure itself: a long run may have used up the test's quota of messages.
        QString report = QStringLiteral("seed %1, event %2: %3\nThe last events:")
                             .arg(seed)
                             .arg(number)
                             .arg(broken);
        for (const QString& line : monkey.recent())
            report += QStringLiteral("\n  ") + line;
        QFAIL(qPrintable(report));
    }
    qInfo().noquote() << "monkey:" << events << "events," << monkey.tally();
}

QTEST_MAIN(TestMonkey)
#include "tst_monkey.moc"
