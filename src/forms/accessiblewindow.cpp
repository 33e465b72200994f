#include "forms/accessiblewindow.h"

namespace forms {

namespace {

// An accessible object of nothing at all, only holding its id.
class Placeholder : public HiddenAccessible {
public:
    using HiddenAccessible::HiddenAccessible;
    QAccessibleInterface* parent() const override { return nullptr; }
    QString text(QAccessible::Text) const override { return {}; }
    QAccessible::Role role() const override { return QAccessible::NoRole; }
};

PageTeller pageTeller = nullptr;

} // namespace

void setPageTeller(PageTeller teller)
{
    pageTeller = teller;
}

void tellPage(QObject& source, const QString& message)
{
    if (pageTeller)
        pageTeller(source, message);
}

void renewAccessible(QWidget& owner, const QList<QWidget*>& widgets)
{
    // The page's elements are its screen reader's view, and Qt shows and hides them with their
    // objects; a new object would leave its old element behind in the page.
    if (!QAccessible::isActive() || pageTeller)
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
