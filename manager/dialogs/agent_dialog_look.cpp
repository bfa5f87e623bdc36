#include "manager/dialogs/agent_dialog_look.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QTreeWidget>

namespace manager {

namespace {

// The wizard's picture: a letter on a blue ground.
QPixmap wizardPicture(QSize size)
{
    QPixmap picture(size);
    QPainter painter(&picture);
    QLinearGradient ground(0, 0, 0, size.height());
    ground.setColorAt(0, QColor(0, 51, 153));
    ground.setColorAt(1, QColor(102, 153, 255));
    painter.fillRect(picture.rect(), ground);
    const QRect letter(size.width() / 2 - 34, size.height() / 3, 68, 46);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 34, 102), 2));
    painter.setBrush(QColor(255, 255, 240));
    painter.drawRect(letter);
    painter.drawLine(letter.topLeft(), letter.center());
    painter.drawLine(letter.topRight(), letter.center());
    return picture;
}

}  // namespace

void ApplyAgentDialogLook(QWidget& dialog)
{
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (label->property("heading").toBool()) {
            QFont font(QStringLiteral("Times New Roman"));
            font.setPixelSize(19);
            label->setFont(font);
        }
        if (label->property("wizardPicture").toBool()) {
            label->setPixmap(wizardPicture(QSize(120, 240)));
            label->setAlignment(Qt::AlignTop);
        }
    }
    for (QTreeWidget* list : dialog.findChildren<QTreeWidget*>()) {
        const QStringList widths =
            list->property("columnWidths").toString().split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (int i = 0; i < widths.size(); ++i)
            list->setColumnWidth(i, widths[i].toInt());
    }
}

}  // namespace manager
