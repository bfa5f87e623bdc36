#pragma once
// Three-dimensional frame edges in the classic raised, sunken and etched
// looks, drawn from the widget palette: an outer and an inner one-pixel
// ring, on the sides asked for.

#include <QPainter>
#include <QPalette>
#include <QRect>

namespace edges {

enum Border { RaisedOuter = 1, SunkenOuter = 2, RaisedInner = 4, SunkenInner = 8 };
enum Edge {
    Raised = RaisedOuter | RaisedInner,
    Sunken = SunkenOuter | SunkenInner,
    Etched = SunkenOuter | RaisedInner
};
enum Side { Left = 1, Top = 2, Right = 4, Bottom = 8, AllSides = 15 };

void DrawEdge(QPainter& painter, const QRect& rect, int edge, int sides, const QPalette& palette);

}  // namespace edges
