#include "controls/office_button_accessible.h"

#include "controls/office_button.h"

namespace {

QAccessibleInterface* officeButtonInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String("TOfficeButton"))
        if (auto* button = qobject_cast<TOfficeButton*>(object))
            return new TOfficeButtonAccessible(button);
    return nullptr;
}

TOfficeButton* button(QWidget* widget) { return static_cast<TOfficeButton*>(widget); }

}  // namespace

TOfficeButtonAccessible::TOfficeButtonAccessible(TOfficeButton* button)
    : QAccessibleWidget(button, QAccessible::Button)
{
}

QString TOfficeButtonAccessible::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
        return button(widget())->caption();
    return QAccessibleWidget::text(kind);
}

QStringList TOfficeButtonAccessible::actionNames() const
{
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
}

void TOfficeButtonAccessible::doAction(const QString& action)
{
    if (action == pressAction() && widget()->isEnabled())
        emit button(widget())->clicked();
    else
        QAccessibleWidget::doAction(action);
}

void TOfficeButtonAccessible::Install()
{
    static const bool installed = [] {
        QAccessible::installFactory(&officeButtonInterface);
        return true;
    }();
    (void)installed;
}
