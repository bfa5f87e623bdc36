#include "controls/tep_graphic_control.h"

#include <QPainter>
#include <QPixmap>

#include "controls/edge_drawing.h"

TEPGraphicControl::TEPGraphicControl(QWidget* parent)
    : QWidget(parent), color_(palette().color(QPalette::Button))
{
}

void TEPGraphicControl::setBorderStyle(TEPBorderStyle style)
{
    if (style == borderStyle_)
        return;
    borderStyle_ = style;
    BorderChanged();
}

void TEPGraphicControl::setBorderSpace(uint space)
{
    if (space == borderSpace_)
        return;
    borderSpace_ = space;
    BorderChanged();
}

void TEPGraphicControl::setBuffered(bool on)
{
    if (on == buffered_)
        return;
    buffered_ = on;
    update();
}

void TEPGraphicControl::setColor(const QColor& color)
{
    if (color == color_)
        return;
    color_ = color;
    update();
}

void TEPGraphicControl::BorderChanged() { update(); }

void TEPGraphicControl::Paint(QPainter&) {}

QRect TEPGraphicControl::ContentRect() const { return ContentRectOf(rect(), borderStyle_, borderSpace_); }

QRect TEPGraphicControl::ContentRectOf(const QRect& client, TEPBorderStyle style, uint space)
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

void TEPGraphicControl::PaintBorder(QPainter& painter, const QRect& rect)
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

void TEPGraphicControl::paintAll(QPainter& painter)
{
    if (color_.isValid())
        painter.fillRect(rect(), color_);
    PaintBorder(painter, rect());
    painter.setClipRect(ContentRect());
    Paint(painter);
}

void TEPGraphicControl::paintEvent(QPaintEvent*)
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
