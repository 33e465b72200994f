#pragma once

#include <QAccessible>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QWidget>

namespace forms {

// A top-level window as screen readers expect one. Qt gives a window that is a plain QWidget
// the role of a filler, and a screen reader reads the title only of an object with the role of
// a window.
class WindowAccessible : public QAccessibleWidget {
public:
    explicit WindowAccessible(QWidget* window)
        : QAccessibleWidget(window, QAccessible::Window)
    {
    }
};

// An accessible object that is never drawn and has no children: a notice for screen readers,
// or a stand-in. Subclasses say what it is and whose part.
class HiddenAccessible : public QAccessibleObject {
public:
    using QAccessibleObject::QAccessibleObject;

    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible = true;
        return state;
    }
};

// An accessible widget whose children, for a screen reader, are the widgets that `listed()`
// gives, in that order, rather than its child widgets.
template <typename Base> class ListedChildren : public Base {
public:
    using Base::Base;

    int childCount() const override { return int(listed().size()); }

    QAccessibleInterface* child(int index) const override
    {
        const QList<QWidget*> all = listed();
        if (index < 0 || index >= all.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(all.at(index));
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child || !child->object() || !child->object()->isWidgetType())
            return -1;
        return int(listed().indexOf(static_cast<QWidget*>(child->object())));
    }

protected:
    virtual QList<QWidget*> listed() const = 0;
};

// Gives the owner and the widgets new accessible objects and tells screen readers of them
// (nothing is done while no screen reader listens). A screen reader keeps what it has read of
// an object, and Qt tells it when a hidden object comes into sight but not that it is no longer
// hidden: the object stays unseen to the reader's review of the window. An object it has never
// met it reads afresh. Where the page tells its screen reader (see below), nothing is done.
void renewAccessible(QWidget& owner, const QList<QWidget*>& widgets);

// A screen reader of a web page reads the page's elements, which Qt keeps along with its
// objects, and hears what comes up in a window only when the page tells it. The program in a
// browser installs the teller at start (app/browserpage.cpp); a desktop program has none, and
// its screen readers follow the focus and read a window's description as it comes up.
using PageTeller = void (*)(QObject& source, const QString& message);
void setPageTeller(PageTeller teller);

// Has the page tell its screen reader `message` now, in the words a desktop screen reader reads
// from the windows themselves; does nothing on a desktop.
void tellPage(QObject& source, const QString& message);

// Screen readers get `Interface` for every widget whose class is exactly `Widget`.
template <typename Widget, typename Interface>
QAccessibleInterface* accessibleFor(const QString& className, QObject* object)
{
    if (object && object->isWidgetType()
        && className == QLatin1String(Widget::staticMetaObject.className()))
        return new Interface(static_cast<QWidget*>(object));
    return nullptr;
}

// Installs the factory above once per process; call it before the first widget of the class
// is read (from its constructor).
template <typename Widget, typename Interface = WindowAccessible> void useAccessible()
{
    static const bool installed = [] {
        QAccessible::installFactory(&accessibleFor<Widget, Interface>);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace forms
