#include "forms/accessiblewindow.h"

#include <QAccessibleObject>

namespace forms {

namespace {

// An accessible object of nothing on screen, only holding its id.
class Placeholder : public QAccessibleObject {
public:
    explicit Placeholder(QObject* object)
        : QAccessibleObject(object)
    {
    }
    QAccessibleInterface* parent() const override { return nullptr; }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text) const override { return {}; }
    QAccessible::Role role() const override { return QAccessible::NoRole; }
    QAccessible::State state() const override { return {}; }
};

} // namespace

void renewAccessible(QWidget& owner, const QList<QWidget*>& widgets)
{
    if (!QAccessible::isActive())
        return;
    // Qt hands the id of its newest accessible object out again once that object is deleted,
    // and a screen reader knows an object by its id. An object of its own, newer than all the
    // old ones and kept until the new ones have theirs, makes every new id one never used.
    QObject holder;
    QAccessible::registerAccessibleInterface(new Placeholder(&holder));
    auto forget = [](QWidget* widget) {
        QAccessibleInterface* old = QAccessible::queryAccessibleInterface(widget);
        if (!old)
            return;
        QAccessibleEvent gone(old, QAccessible::ObjectDestroyed);
        QAccessible::updateAccessibility(&gone);
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(old));
    };
    forget(&owner);
    for (QWidget* widget : widgets)
        forget(widget);
    for (QWidget* widget : widgets)
        QAccessible::queryAccessibleInterface(widget);
    QAccessibleEvent created(&owner, QAccessible::ObjectCreated);
    QAccessible::updateAccessibility(&created);
}

} // namespace forms
