#include "manager/dialogs/never_shown.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace manager {

namespace {

constexpr const char* kNeverShown = "neverShown";

// The control as a reader sees it: not shown, and with nothing inside.
class NeverShownInterface : public QAccessibleWidget {
public:
    explicit NeverShownInterface(QWidget* widget)
        : QAccessibleWidget(widget, qobject_cast<QAbstractItemView*>(widget) ? QAccessible::List : QAccessible::Client)
    {
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.invisible = true;
        return state;
    }
};

QAccessibleInterface* neverShownInterface(const QString&, QObject* object)
{
    if (object && object->isWidgetType() && object->property(kNeverShown).toBool())
        return new NeverShownInterface(static_cast<QWidget*>(object));
    return nullptr;
}

}  // namespace

void KeepNeverShown(QWidget& widget)
{
    static const bool installed = [] {
        QAccessible::installFactory(&neverShownInterface);
        return true;
    }();
    (void)installed;
    widget.hide();
    if (widget.property(kNeverShown).toBool())
        return;
    widget.setProperty(kNeverShown, true);
    // An interface a reader already asked for is made again as this one.
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(&widget);
    if (made && !dynamic_cast<NeverShownInterface*>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

}  // namespace manager
