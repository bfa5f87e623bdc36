#include "controls/tep_border.h"

#include <QEvent>
#include <QPainter>

TEPBorder::TEPBorder(QWidget* parent) : TEPGraphicControl(parent)
{
    resize(50, 50);
    setColor(palette().color(QPalette::Button));
    setBuffered(false);
}

void TEPBorder::setCaption(const QString& caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    update();
}

void TEPBorder::setAlignment(Qt::Alignment alignment)
{
    if (alignment == alignment_)
        return;
    alignment_ = alignment;
    update();
}

void TEPBorder::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        update();
    TEPGraphicControl::changeEvent(event);
}

void TEPBorder::PaintBorder(QPainter& painter, const QRect& r)
{
    painter.setFont(font());
    const QFontMetrics metrics(font());
    if (borderStyle() == epbsGroup && !caption_.isEmpty()) {
        const int h = metrics.height();
        TEPGraphicControl::PaintBorder(painter, QRect(QPoint(r.left(), r.top() + h / 2 - 1), r.bottomRight()));
        // The caption's background cuts the frame line.
        const QRect text(r.left() + 8, r.top(), metrics.horizontalAdvance(caption_), h);
        painter.fillRect(text, color());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption_);
        return;
    }
    TEPGraphicControl::PaintBorder(painter, r);
    if (caption_.isEmpty())
        return;
    const QRect text(QPoint(r.left() + metrics.horizontalAdvance(QLatin1Char('M')) / 2, r.top() + 1),
                     QPoint(r.right() - 5, r.bottom() - 1));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(text, int(alignment_ & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter | Qt::TextSingleLine,
                     caption_);
}
