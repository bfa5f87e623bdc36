#include "controls/two_way_splitter.h"

#include <QChildEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <climits>

#include "controls/mul_div.h"

namespace {

int toInt(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

QRect toQRect(const TRect& r) { return QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1)); }

// A panel bevel `width` pixels deep just inside `r`.
void drawBevel(QPainter& p, QRect r, bool raised, int width, const QPalette& palette)
{
    const QColor light = palette.color(QPalette::Light), dark = palette.color(QPalette::Dark);
    for (int i = 0; i < width && r.width() > 1 && r.height() > 1; ++i) {
        p.setPen(raised ? light : dark);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(raised ? dark : light);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        r.adjust(1, 1, -1, -1);
    }
}

}  // namespace

TTwoWaySplitter::TTwoWaySplitter(QWidget* parent) : QWidget(parent)
{
    barColor_ = palette().color(QPalette::Button);
    color_ = palette().color(QPalette::Button);
    savedCursor_ = cursor().shape();
    setMouseTracking(true);
    resize(100, 100);
}

int TTwoWaySplitter::borderSize() const
{
    long long b = borderStyle_ == bsSingle ? 1 : 0;
    if (bevelInner_ != bvNone)
        b += bevelWidth_;
    if (bevelOuter_ != bvNone)
        b += bevelWidth_;
    return toInt(b + borderWidth_);
}

TRect TTwoWaySplitter::InnerRect() const
{
    const long long b = borderSize();
    const long long w = width() - 2 * b, h = height() - 2 * b;
    return {toInt(b), toInt(b), toInt(b + w), toInt(b + h)};
}

TRect TTwoWaySplitter::BarRect(int position) const
{
    const TRect inner = InnerRect();
    const long long half = barWidth_ / 2;
    TRect bar;
    if (splitDirection_ == sdVertical) {
        const long long d = MulDiv(position, inner.Width(), 100);
        bar = {toInt(inner.Left + d - half), inner.Top, toInt(inner.Left + d + barWidth_ - half), inner.Bottom};
    } else {
        const long long d = MulDiv(position, inner.Height(), 100);
        bar = {inner.Left, toInt(inner.Top + d - half), inner.Right, toInt(inner.Top + d + barWidth_ - half)};
    }
    return IntersectRects(bar, inner);
}

void TTwoWaySplitter::Layout()
{
    QList<QWidget*> panes = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    panes.removeIf([](QWidget* w) { return w->isWindow(); });
    const TRect inner = InnerRect();
    const TRect bar = BarRect(barPosition_);
    const int w = std::max(0, inner.Width()), h = std::max(0, inner.Height());
    const auto extent = [](long long from, long long to) { return toInt(std::max(0LL, to - from + 1)); };
    if (!panes.isEmpty()) {
        if (splitDirection_ == sdVertical)
            panes[0]->setGeometry(inner.Left, inner.Top, extent(inner.Left, bar.Left), h);
        else
            panes[0]->setGeometry(inner.Left, inner.Top, w, extent(inner.Top, bar.Top));
    }
    if (panes.size() >= 2) {
        if (splitDirection_ == sdVertical)
            panes[1]->setGeometry(bar.Right, inner.Top, extent(bar.Right, inner.Right), h);
        else
            panes[1]->setGeometry(inner.Left, bar.Bottom, w, extent(bar.Bottom, inner.Bottom));
    }
    update();
}

void TTwoWaySplitter::setBarPosition(int position)
{
    position = std::clamp(position, 0, 100);
    if (position == barPosition_)
        return;
    barPosition_ = position;
    Layout();
}

void TTwoWaySplitter::setBarWidth(int width)
{
    width = std::max(1, width);
    if (width == barWidth_)
        return;
    barWidth_ = width;
    Layout();
}

void TTwoWaySplitter::setBarColor(const QColor& color)
{
    if (color == barColor_)
        return;
    barColor_ = color;
    update();
}

void TTwoWaySplitter::setSplitDirection(TSplitDirection direction)
{
    if (direction == splitDirection_)
        return;
    splitDirection_ = direction;
    if (direction == sdVertical && dragCursor_ == Qt::SplitVCursor)
        dragCursor_ = Qt::SplitHCursor;
    else if (direction == sdHorizontal && dragCursor_ == Qt::SplitHCursor)
        dragCursor_ = Qt::SplitVCursor;
    Layout();
}

void TTwoWaySplitter::setBevelInner(TPanelBevel bevel)
{
    bevelInner_ = bevel;
    Layout();
}

void TTwoWaySplitter::setBevelOuter(TPanelBevel bevel)
{
    bevelOuter_ = bevel;
    Layout();
}

void TTwoWaySplitter::setBevelWidth(int width)
{
    bevelWidth_ = std::max(1, width);
    Layout();
}

void TTwoWaySplitter::setBorderWidth(int width)
{
    borderWidth_ = std::max(0, width);
    Layout();
}

void TTwoWaySplitter::setBorderStyle(TBorderStyle style)
{
    borderStyle_ = style;
    Layout();
}

void TTwoWaySplitter::setColor(const QColor& color)
{
    color_ = color;
    update();
}

void TTwoWaySplitter::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Layout();
}

void TTwoWaySplitter::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Layout();
}

void TTwoWaySplitter::childEvent(QChildEvent* event)
{
    QWidget::childEvent(event);
    // A child is placed when it is shown, after it has sized itself.
    if (event->added() && event->child()->isWidgetType())
        event->child()->installEventFilter(this);
    if (event->removed())
        Layout();
}

bool TTwoWaySplitter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched->parent() == this)
        Layout();
    return QWidget::eventFilter(watched, event);
}

void TTwoWaySplitter::showDragCursor()
{
    if (cursor().shape() != dragCursor_) {
        savedCursor_ = cursor().shape();
        setCursor(dragCursor_);
    }
}

void TTwoWaySplitter::restoreCursor()
{
    if (cursor().shape() != savedCursor_)
        setCursor(savedCursor_);
}

void TTwoWaySplitter::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    const QPoint p = event->position().toPoint();
    if (dragging_ || event->button() != Qt::LeftButton || !PointInRect(p.x(), p.y(), BarRect(barPosition_)))
        return;
    dragging_ = true;
    showDragCursor();
    grabMouse();
    update();  // the drag outline
}

void TTwoWaySplitter::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    const QPoint p = event->position().toPoint();
    if (!dragging_) {
        if (PointInRect(p.x(), p.y(), BarRect(barPosition_)))
            showDragCursor();
        else
            restoreCursor();
        return;
    }
    if (!(event->buttons() & Qt::LeftButton)) {
        EndDrag();  // the release went elsewhere
        return;
    }
    const TRect inner = InnerRect();
    const bool vertical = splitDirection_ == sdVertical;
    long long c = vertical ? p.x() : p.y();
    const long long lo = vertical ? inner.Left : inner.Top, hi = vertical ? inner.Right : inner.Bottom;
    if (hi - lo <= 0)
        return;  // nothing to divide: the position stays
    const long long half = barWidth_ / 2;
    if (c < lo + half - 1)
        c = lo + half - 1;
    else if (c > hi - half)
        c = hi - half;
    const long long span = hi - lo + 1;
    const long long position = std::clamp<long long>(((c - lo + 1) * 100 + span / 2) / span, 0, 100);
    if (position == barPosition_)
        return;
    barPosition_ = static_cast<int>(position);
    update();
    emit splitMoved(barPosition_);
}

void TTwoWaySplitter::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    restoreCursor();
    EndDrag();
}

void TTwoWaySplitter::EndDrag()
{
    if (!dragging_)
        return;
    dragging_ = false;
    releaseMouse();
    restoreCursor();
    Layout();
    emit barPositioned();
}

void TTwoWaySplitter::hideEvent(QHideEvent* event)
{
    EndDrag();
    QWidget::hideEvent(event);
}

void TTwoWaySplitter::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        EndDrag();
}

bool TTwoWaySplitter::event(QEvent* event)
{
    if (event->type() == QEvent::UngrabMouse)
        EndDrag();
    return QWidget::event(event);
}

void TTwoWaySplitter::paintBar(QPainter& p, const TRect& bar)
{
    const int l = bar.Left, t = bar.Top, r = bar.Right, b = bar.Bottom;
    if (bevelInner_ != bvLowered) {
        p.fillRect(toQRect(bar), barColor_);
        return;
    }
    const bool vertical = splitDirection_ == sdVertical;
    const int e = barWidth_ < 2 * bevelWidth_ ? barWidth_ / 2 : bevelWidth_;
    // Lines end one pixel before their end point, as the platform draws them.
    const auto line = [&](int x1, int y1, int x2, int y2) {
        if (x1 == x2)
            p.drawLine(x1, y1, x2, y2 - 1);
        else
            p.drawLine(x1, y1, x2 - 1, y2);
    };
    p.setPen(palette().color(QPalette::Light));
    for (int i = 0; i < e; ++i)
        vertical ? line(l + i, t - i, l + i, b + i) : line(l - i, t + i, r + i, t + i);
    if (barWidth_ - 2 * e > 0) {
        const TRect middle = vertical ? TRect{l + e, t - e, r - e, b + e} : TRect{l - e, t + e, r + e, b - e};
        p.fillRect(toQRect(IntersectRects(middle, bar)), barColor_);
    }
    p.setPen(palette().color(QPalette::Dark));
    for (int i = 0; i < e; ++i)
        vertical ? line(r - i - 1, t - i, r - i - 1, b + i) : line(l - i, b - i - 1, r + i, b - i - 1);
}

void TTwoWaySplitter::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QRect r = rect();
    if (borderStyle_ == bsSingle) {
        p.setPen(Qt::black);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }
    if (bevelOuter_ != bvNone) {
        drawBevel(p, r, bevelOuter_ == bvRaised, bevelWidth_, palette());
        r.adjust(bevelWidth_, bevelWidth_, -bevelWidth_, -bevelWidth_);
    }
    r.adjust(borderWidth_, borderWidth_, -borderWidth_, -borderWidth_);
    if (bevelInner_ != bvNone)
        drawBevel(p, r, bevelInner_ == bvRaised, bevelWidth_, palette());
    const TRect inner = InnerRect();
    if (inner.Width() > 0 && inner.Height() > 0)
        p.fillRect(toQRect(inner), color_);
    const TRect bar = BarRect(barPosition_);
    if (bar.Width() <= 0 || bar.Height() <= 0)
        return;
    paintBar(p, bar);
    if (dragging_) {
        // The outline of the bar being dragged, inverted.
        p.setCompositionMode(QPainter::RasterOp_NotDestination);
        p.fillRect(toQRect(bar), Qt::black);
    }
}
