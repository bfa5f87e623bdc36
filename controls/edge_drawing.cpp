#include "controls/edge_drawing.h"

namespace edges {

namespace {

void ring(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight, int sides)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    if (sides & Left) {
        p.setPen(topLeft);
        p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    }
    if (sides & Top) {
        p.setPen(topLeft);
        p.drawLine(r.left(), r.top(), r.right(), r.top());
    }
    if (sides & Right) {
        p.setPen(bottomRight);
        p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    }
    if (sides & Bottom) {
        p.setPen(bottomRight);
        p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    }
}

}  // namespace

void DrawEdge(QPainter& painter, const QRect& rect, int edge, int sides, const QPalette& pal)
{
    painter.save();
    painter.setBrush(Qt::NoBrush);
    if (edge & RaisedOuter)
        ring(painter, rect, pal.color(QPalette::Midlight), pal.color(QPalette::Shadow), sides);
    else if (edge & SunkenOuter)
        ring(painter, rect, pal.color(QPalette::Dark), pal.color(QPalette::Light), sides);
    // The inner ring lies one pixel inside on the sides that have an edge.
    QRect inner = rect.adjusted(sides & Left ? 1 : 0, sides & Top ? 1 : 0, sides & Right ? -1 : 0,
                                sides & Bottom ? -1 : 0);
    if (edge & RaisedInner)
        ring(painter, inner, pal.color(QPalette::Light), pal.color(QPalette::Dark), sides);
    else if (edge & SunkenInner)
        ring(painter, inner, pal.color(QPalette::Shadow), pal.color(QPalette::Midlight), sides);
    painter.restore();
}

}  // namespace edges
