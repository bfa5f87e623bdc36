#pragma once
// Shows a picture inside an optional frame: top-left, centred, sized to the
// picture, tiled, stretched with its aspect ratio kept, or stretched.
// Bitmaps may be drawn transparently, and an image can show the picture of
// another one (PictureControl) instead of keeping its own.

#include <QIcon>
#include <QPixmap>
#include <QPointer>

#include <functional>

#include "controls/tep_graphic_control.h"

class TEPImage : public TEPGraphicControl {
    Q_OBJECT
    Q_PROPERTY(QPixmap picture READ picture WRITE setPicture)
    Q_PROPERTY(TEPImageStyle style READ style WRITE setStyle)
    Q_PROPERTY(bool transparent READ transparent WRITE setTransparent)
    Q_PROPERTY(bool autoColor READ autoColor WRITE setAutoColor)

public:
    enum TEPImageStyle { episTopLeft, episCenter, episAutoSize, episTile, episAspectStretch, episStretch };
    Q_ENUM(TEPImageStyle)

    using PaintHandler = std::function<void(TEPImage* image, QPainter& painter)>;

    explicit TEPImage(QWidget* parent = nullptr);

    QPixmap picture() const { return picture_; }
    bool pictureIsBitmap() const { return bitmap_; }
    // A bitmap: transparency and AutoColor apply to it.
    void setPicture(const QPixmap& picture);
    // An icon is drawn as it is, never through the transparent colour.
    void setIconPicture(const QIcon& icon, const QSize& size = QSize(32, 32));

    QWidget* pictureControl() const { return pictureControl_; }
    // Accepts a QLabel that shows a pixmap, or an image that has no
    // PictureControl of its own, and copies its picture; anything else is
    // refused and nothing changes. Null keeps the current picture.
    void setPictureControl(QWidget* control);

    TEPImageStyle style() const { return style_; }
    void setStyle(TEPImageStyle style);
    bool transparent() const { return transparent_; }
    void setTransparent(bool on);
    bool autoColor() const { return autoColor_; }
    void setAutoColor(bool on);
    // Changing the colour by hand switches AutoColor off.
    void setColor(const QColor& color) override;

    // The bitmap's transparent colour: its bottom-left pixel.
    QColor transparentColor() const;

    // Moves and sizes the image; the picture's size wins for episAutoSize,
    // and the height drives the width for episAspectStretch.
    void setBounds(const QRect& requested);

    void setOnPaint(PaintHandler handler) { onPaint_ = std::move(handler); }

    QSize sizeHint() const override { return size(); }

protected:
    void Paint(QPainter& painter) override;
    void BorderChanged() override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

signals:
    void doubleClicked();

private:
    void PictureChanged();
    void copyPictureFrom(const TEPImage& other);
    QPixmap transparentPixmap() const;

    QPixmap picture_;
    bool bitmap_ = false;
    QPointer<QWidget> pictureControl_;
    TEPImageStyle style_ = episAutoSize;
    bool transparent_ = false;
    bool autoColor_ = false;
    PaintHandler onPaint_;
};
