#include "manager/dialogs/drop_down_names.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

namespace manager {

namespace {

// "&Field:" as a reader says it: no mnemonic marker, no colon.
QString spoken(QString caption)
{
    caption.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
    caption = caption.trimmed();
    while (caption.endsWith(QLatin1Char(':')))
        caption.chop(1);
    return caption.trimmed();
}

}  // namespace

void NameDropDownFields(QWidget& window)
{
    for (QLabel* label : window.findChildren<QLabel*>()) {
        auto* box = qobject_cast<QComboBox*>(label->buddy());
        if (box && box->lineEdit() && box->lineEdit()->accessibleName().isEmpty())
            box->lineEdit()->setAccessibleName(spoken(label->text()));
    }
}

}  // namespace manager
