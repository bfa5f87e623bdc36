#include "controls/tep_image.h"

#include <QBitmap>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

TEPImage::TEPImage(QWidget* parent) : TEPGraphicControl(parent)
{
    setColor(QColor());
    resize(105, 105);
    setBorderStyle(epbsNone);
    setBuffered(false);
}

void TEPImage::setPicture(const QPixmap& picture)
{
    picture_ = picture;
    bitmap_ = !picture.isNull();
    PictureChanged();
}

void TEPImage::setIconPicture(const QIcon& icon, const QSize& size)
{
    picture_ = icon.isNull() ? QPixmap() : icon.pixmap(size);
    bitmap_ = false;
    PictureChanged();
}

void TEPImage::copyPictureFrom(const TEPImage& other)
{
    picture_ = other.picture_;
    bitmap_ = other.bitmap_;
    PictureChanged();
}

void TEPImage::setPictureControl(QWidget* control)
{
    if (control == pictureControl_ || control == this)
        return;
    if (auto* label = qobject_cast<QLabel*>(control); label && !label->pixmap().isNull()) {
        setPicture(label->pixmap());
    } else if (auto* image = qobject_cast<TEPImage*>(control); image && !image->pictureControl()) {
        copyPictureFrom(*image);
    } else if (control) {
        return;
    }
    pictureControl_ = control;
}

void TEPImage::setStyle(TEPImageStyle style)
{
    if (style == style_)
        return;
    style_ = style;
    PictureChanged();
}

void TEPImage::setTransparent(bool on)
{
    if (on == transparent_)
        return;
    transparent_ = on;
    update();
}

void TEPImage::setAutoColor(bool on)
{
    if (on == autoColor_)
        return;
    autoColor_ = on;
    if (on)
        PictureChanged();
}

void TEPImage::setColor(const QColor& color)
{
    if (autoColor_ && color != this->color())
        autoColor_ = false;
    TEPGraphicControl::setColor(color);
}

QColor TEPImage::transparentColor() const
{
    if (picture_.isNull())
        return QColor();
    return picture_.toImage().pixelColor(0, picture_.height() - 1);
}

void TEPImage::BorderChanged() { PictureChanged(); }

void TEPImage::PictureChanged()
{
    if (style_ == episAutoSize || style_ == episAspectStretch)
        setBounds(geometry());
    // Images showing this one's picture follow it.
    if (QWidget* form = window()) {
        for (TEPImage* other : form->findChildren<TEPImage*>())
            if (other != this && other->pictureControl() == this)
                other->copyPictureFrom(*this);
    }
    if (autoColor_ && bitmap_) {
        setColor(transparentColor());
        autoColor_ = true;
    }
    update();
}

void TEPImage::setBounds(const QRect& requested)
{
    QRect bounds = requested;
    if (picture_.width() > 0 && picture_.height() > 0) {
        // The frame takes the same margin whatever the size.
        const QRect probe(0, 0, 1000, 1000);
        const QRect inside = ContentRectOf(probe, borderStyle(), borderSpace());
        const int frameW = probe.width() - inside.width();
        const int frameH = probe.height() - inside.height();
        if (style_ == episAutoSize) {
            bounds.setSize(QSize(picture_.width() + frameW, picture_.height() + frameH));
        } else if (style_ == episAspectStretch) {
            const int scale = (requested.height() - frameH) * 100 / picture_.height();
            bounds.setWidth(scale * picture_.width() / 100 + frameW);
        }
    }
    setGeometry(bounds);
}

QPixmap TEPImage::transparentPixmap() const
{
    QPixmap masked = picture_;
    masked.setMask(picture_.createMaskFromColor(transparentColor(), Qt::MaskInColor));
    return masked;
}

void TEPImage::Paint(QPainter& painter)
{
    const QRect r = ContentRect();
    if (!picture_.isNull()) {
        const bool seeThrough = transparent_ && bitmap_;
        const QPixmap shown = seeThrough ? transparentPixmap() : picture_;
        if (style_ == episTile) {
            const int w = picture_.width(), h = picture_.height();
            for (int a = 0; a == 0 || a * h < r.height(); ++a)
                for (int b = 0; b == 0 || b * w < r.width(); ++b)
                    painter.drawPixmap(r.left() + b * w, r.top() + a * h, shown);
        } else {
            QRect d = r;
            if (style_ == episTopLeft)
                d = QRect(r.topLeft(), picture_.size());
            else if (style_ == episCenter)
                d = QRect(QPoint(r.left() + (r.width() - picture_.width()) / 2,
                                 r.top() + (r.height() - picture_.height()) / 2),
                          picture_.size());
            painter.drawPixmap(d, shown);
        }
    }
    if (onPaint_)
        onPaint_(this, painter);
}

void TEPImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    TEPGraphicControl::mouseDoubleClickEvent(event);
}
