#include "controls/ep_graphic_control.h"

#include <QPainter>
#include <QPixmap>

#include "controls/edge_drawing.h"

EPGraphicControl::EPGraphicControl(QWidget* parent)
    : QWidget(parent), color_(palette().color(QPalette::Button))
{
}

void EPGraphicControl::setBorderStyle(TEPBorderStyle style)
{
    if (style == borderStyle_)
        return;
    borderStyle_ = style;
    BorderChanged();
}

void EPGraphicControl::setBorderSpace(uint space)
{
    if (space == borderSpace_)
        return;
    borderSpace_ = space;
    BorderChanged();
}

void EPGraphicControl::setBuffered(bool on)
{
    if (on == buffered_)
        return;
    buffered_ = on;
    update();
}

void EPGraphicControl::setColor(const QColor& color)
{
    if (color == color_)
        return;
    color_ = color;
    update();
}

void EPGraphicControl::BorderChanged() { update(); }

void EPGraphicControl::Paint(QPainter&) {}

QRect EPGraphicControl::ContentRect() const { return ContentRectOf(rect(), borderStyle_, borderSpace_); }

QRect EPGraphicControl::ContentRectOf(const QRect& client, TEPBorderStyle style, uint space)
{
    const int s = static_cast<int>(space);
    QRect r = client.adjusted(s, s, -s, -s);
    switch (style) {
    case epbsNone:
        break;
    case epbsSingle:
    case epbsStatus:
        r.adjust(1, 1, -1, -1);
        break;
    case epbsRaised:
    case epbsLowered:
    case epbsGroup:
        r.adjust(2, 2, -2, -2);
        break;
    case epbsHorizLine:
        r.adjust(0, 2, 0, 0);
        break;
    case epbsVertLine:
        r.adjust(2, 0, 0, 0);
        break;
    case epbsHorizEdge:
        r.adjust(0, 2, 0, -2);
        break;
    case epbsVertEdge:
        r.adjust(2, 0, -2, 0);
        break;
    }
    return r;
}

void EPGraphicControl::PaintBorder(QPainter& painter, const QRect& rect)
{
    using namespace edges;
    const QPalette& pal = palette();
    switch (borderStyle_) {
    case epbsNone:
        break;
    case epbsSingle:
        painter.save();
        painter.setPen(pal.color(QPalette::WindowText));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
        painter.restore();
        break;
    case epbsRaised:
        DrawEdge(painter, rect, Raised, AllSides, pal);
        break;
    case epbsLowered:
        DrawEdge(painter, rect, Sunken, AllSides, pal);
        break;
    case epbsStatus:
        DrawEdge(painter, rect, SunkenOuter, AllSides, pal);
        break;
    case epbsGroup:
        DrawEdge(painter, rect, Etched, AllSides, pal);
        break;
    case epbsHorizLine:
        DrawEdge(painter, rect, Etched, Top, pal);
        break;
    case epbsVertLine:
        DrawEdge(painter, rect, Etched, Left, pal);
        break;
    case epbsHorizEdge:
        DrawEdge(painter, rect, Etched, Top | Bottom, pal);
        break;
    case epbsVertEdge:
        DrawEdge(painter, rect, Etched, Left | Right, pal);
        break;
    }
}

void EPGraphicControl::paintAll(QPainter& painter)
{
    if (color_.isValid())
        painter.fillRect(rect(), color_);
    PaintBorder(painter, rect());
    painter.setClipRect(ContentRect());
    Paint(painter);
}

void EPGraphicControl::paintEvent(QPaintEvent*)
{
    if (!buffered_) {
        QPainter painter(this);
        paintAll(painter);
        return;
    }
    const qreal ratio = devicePixelRatioF();
    QPixmap buffer(size() * ratio);
    buffer.setDevicePixelRatio(ratio);
    buffer.fill(Qt::transparent);
    {
        QPainter painter(&buffer);
        paintAll(painter);
    }
    QPainter(this).drawPixmap(0, 0, buffer);
}
