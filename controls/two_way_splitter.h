#pragma once
// A panel that lays out its first two child widgets as two panes beside or
// above each other, split by a bar at a percentage of its inner area. The
// user drags the bar with the left button; an outline follows the mouse
// and the panes move on release.

#include <QColor>
#include <QWidget>

#include "controls/rects.h"

class TTwoWaySplitter : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int barPosition READ barPosition WRITE setBarPosition)
    Q_PROPERTY(int barWidth READ barWidth WRITE setBarWidth)
    Q_PROPERTY(QColor barColor READ barColor WRITE setBarColor)
    Q_PROPERTY(TSplitDirection splitDirection READ splitDirection WRITE setSplitDirection)
    Q_PROPERTY(TPanelBevel bevelInner READ bevelInner WRITE setBevelInner)
    Q_PROPERTY(TPanelBevel bevelOuter READ bevelOuter WRITE setBevelOuter)
    Q_PROPERTY(int bevelWidth READ bevelWidth WRITE setBevelWidth)
    Q_PROPERTY(int borderWidth READ borderWidth WRITE setBorderWidth)
    Q_PROPERTY(TBorderStyle borderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(QColor color READ color WRITE setColor)
    Q_PROPERTY(Qt::CursorShape dragCursor READ dragCursor WRITE setDragCursor)

public:
    // sdVertical: a vertical bar, panes left and right.
    enum TSplitDirection { sdHorizontal, sdVertical };
    Q_ENUM(TSplitDirection)
    enum TPanelBevel { bvNone, bvLowered, bvRaised };
    Q_ENUM(TPanelBevel)
    enum TBorderStyle { bsNone, bsSingle };
    Q_ENUM(TBorderStyle)

    explicit TTwoWaySplitter(QWidget* parent = nullptr);

    int barPosition() const { return barPosition_; }
    // Kept within 0..100.
    void setBarPosition(int position);
    int barWidth() const { return barWidth_; }
    // At least 1.
    void setBarWidth(int width);
    QColor barColor() const { return barColor_; }
    void setBarColor(const QColor& color);
    TSplitDirection splitDirection() const { return splitDirection_; }
    void setSplitDirection(TSplitDirection direction);
    TPanelBevel bevelInner() const { return bevelInner_; }
    void setBevelInner(TPanelBevel bevel);
    TPanelBevel bevelOuter() const { return bevelOuter_; }
    void setBevelOuter(TPanelBevel bevel);
    int bevelWidth() const { return bevelWidth_; }
    void setBevelWidth(int width);
    int borderWidth() const { return borderWidth_; }
    void setBorderWidth(int width);
    TBorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(TBorderStyle style);
    QColor color() const { return color_; }
    void setColor(const QColor& color);
    Qt::CursorShape dragCursor() const { return dragCursor_; }
    void setDragCursor(Qt::CursorShape shape) { dragCursor_ = shape; }

    bool dragging() const { return dragging_; }
    // The inner area: the client area less border and bevels.
    TRect InnerRect() const;
    // The bar at `position` percent, cut to the inner area.
    TRect BarRect(int position) const;
    // Places the first two child widgets around the bar.
    void Layout();

signals:
    // During a drag, at every change of the position.
    void splitMoved(int position);
    // A drag ended.
    void barPositioned();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void childEvent(QChildEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int borderSize() const;
    void showDragCursor();
    void restoreCursor();
    void EndDrag();
    void paintBar(class QPainter& painter, const TRect& bar);

    int barPosition_ = 50;
    int barWidth_ = 5;
    QColor barColor_;
    TSplitDirection splitDirection_ = sdVertical;
    TPanelBevel bevelInner_ = bvNone;
    TPanelBevel bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TBorderStyle borderStyle_ = bsNone;
    QColor color_;
    Qt::CursorShape dragCursor_ = Qt::SplitHCursor;
    Qt::CursorShape savedCursor_ = Qt::ArrowCursor;
    bool dragging_ = false;
};
