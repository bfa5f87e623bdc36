#include "controls/tep_wizard_panel.h"

#include <QChildEvent>
#include <QPainter>
#include <QPushButton>

#include "controls/edge_drawing.h"

TEPWizardPanel::TEPWizardPanel(QWidget* parent) : QWidget(parent) {}

void TEPWizardPanel::AlignButtons()
{
    const int top = 10, bottom = height() - 7;
    int right = width() - 8;
    for (QObject* child : children()) {
        auto* button = qobject_cast<QPushButton*>(child);
        if (!button || button->isHidden())
            continue;
        const int left = right - button->width();
        button->setGeometry(left, top, button->width(), bottom - top);
        right = left - button->property("Tag").toInt();
    }
}

void TEPWizardPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    AlignButtons();
}

void TEPWizardPanel::childEvent(QChildEvent* event)
{
    QWidget::childEvent(event);
    if (event->removed())
        AlignButtons();
}

void TEPWizardPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    edges::DrawEdge(painter, QRect(8, 0, width() - 16, height()), edges::Etched, edges::Top, palette());
}
