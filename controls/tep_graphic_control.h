#pragma once
// The base of the light-weight controls: an optional frame in one of ten
// styles, painting clipped to the area inside the frame, optionally through
// an off-screen pixmap.

#include <QColor>
#include <QWidget>

class TEPGraphicControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TEPBorderStyle borderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(uint borderSpace READ borderSpace WRITE setBorderSpace)
    Q_PROPERTY(QColor color READ color WRITE setColor)

public:
    enum TEPBorderStyle {
        epbsNone,
        epbsSingle,
        epbsRaised,
        epbsLowered,
        epbsStatus,
        epbsGroup,
        epbsHorizLine,
        epbsVertLine,
        epbsHorizEdge,
        epbsVertEdge
    };
    Q_ENUM(TEPBorderStyle)

    explicit TEPGraphicControl(QWidget* parent = nullptr);

    TEPBorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(TEPBorderStyle style);
    uint borderSpace() const { return borderSpace_; }
    void setBorderSpace(uint space);
    bool buffered() const { return buffered_; }
    void setBuffered(bool on);
    // An invalid colour paints no background.
    QColor color() const { return color_; }
    virtual void setColor(const QColor& color);

    // The client rectangle less the border space and the frame's own inset.
    QRect ContentRect() const;
    static QRect ContentRectOf(const QRect& client, TEPBorderStyle style, uint space);

protected:
    void paintEvent(QPaintEvent* event) override;

    virtual void PaintBorder(QPainter& painter, const QRect& rect);
    virtual void BorderChanged();
    // Paints the content, clipped to ContentRect().
    virtual void Paint(QPainter& painter);

private:
    void paintAll(QPainter& painter);

    TEPBorderStyle borderStyle_ = epbsLowered;
    uint borderSpace_ = 0;
    bool buffered_ = true;
    QColor color_;
};
