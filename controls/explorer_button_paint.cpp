// How the explorer button draws itself: bitmap and caption placed by layout
// and alignment, the frames of its looks, the shaded, embossed and
// transparent forms of its bitmap and the drop-down mark.

#include <QPainter>

#include "controls/explorer_button.h"

namespace {

// Pixels of the top-left colour become transparent.
QImage transparentImage(const QPixmap& pixmap)
{
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return image;
    const QRgb key = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == key)
                image.setPixel(x, y, qRgba(0, 0, 0, 0));
    return image;
}

// The dark pixels of the bitmap, in one colour.
QImage stencil(const QPixmap& pixmap, const QColor& color)
{
    QImage image = transparentImage(pixmap);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const bool dark = qAlpha(p) != 0 && qRed(p) + qGreen(p) + qBlue(p) < 3 * 192;
            image.setPixel(x, y, dark ? color.rgba() : qRgba(0, 0, 0, 0));
        }
    return image;
}

// Lines of the platform end before their end point: the first colour goes
// up the left side and along the top, the second down the right side and
// back along the bottom.
void drawFrame(QPainter& p, int w, int h, const QColor& first, const QColor& second)
{
    p.setPen(first);
    p.drawLine(0, 1, 0, h - 1);
    p.drawLine(0, 0, w - 2, 0);
    p.setPen(second);
    p.drawLine(w - 1, 0, w - 1, h - 2);
    p.drawLine(1, h - 1, w - 1, h - 1);
}

void drawArrow(QPainter& p, int x, int y, const QColor& color)
{
    p.setPen(color);
    p.drawLine(x, y - 1, x + 6, y - 1);
    p.drawLine(x + 1, y, x + 5, y);
    p.drawLine(x + 2, y + 1, x + 4, y + 1);
    p.drawPoint(x + 3, y + 2);
}

QPixmap checkerPattern(const QPalette& palette)
{
    QImage pattern(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pattern.setPixel(x, y, ((x + y) % 2 == 0 ? palette.color(QPalette::Light) : palette.color(QPalette::Button)).rgb());
    return QPixmap::fromImage(pattern);
}

}  // namespace

QImage TExplorerButton::ShadedImage(const QImage& bitmap, TExplorerButtonShadingType type, const QColor& highlight,
                                    const QColor& shadow)
{
    static constexpr int thresholds[3][3] = {{205, 127, 68}, {553, 231, 57}, {335, 274, 175}};
    const int* t = thresholds[type];
    QImage image = bitmap.convertToFormat(QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const QRgb background = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (p == background)
                continue;
            const int sum = qRed(p) + qGreen(p) + qBlue(p);
            const QRgb shade = sum > t[0]   ? qRgb(255, 255, 255)
                               : sum > t[1] ? highlight.rgb()
                               : sum > t[2] ? shadow.rgb()
                                            : qRgb(0, 0, 0);
            image.setPixel(x, y, shade);
        }
    return image;
}

void TExplorerButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int w = width(), h = height();
    const QPalette& pal = palette();
    if (down_ && showDownPattern_)
        p.fillRect(rect(), QBrush(checkerPattern(pal)));
    p.setFont(font());
    const QFontMetrics fm(font());

    const bool captionShown = !options_.testFlag(boIconOnly) && !caption_.isEmpty();
    const int wrap = wordWrap_ ? Qt::TextWordWrap : 0;
    int tw = 0, th = 0, g = 0;
    if (captionShown) {
        const QString measured = wordWrap_ ? caption_ + QLatin1Char(' ') : caption_;
        const QRect m = fm.boundingRect(QRect(0, 0, w - 4, 0), Qt::TextShowMnemonic | wrap, measured);
        tw = m.width();
        th = m.height();
        g = 2;
    }
    tw = std::min(tw, w - 4);
    const bool mark = options_.testFlag(boPopupMark) && dropDownMenu_;
    const bool hasBitmap = !bitmap_.isNull();
    const int bw = hasBitmap ? bitmap_.width() + (mark ? 10 : 0) : 0;
    const int bh = hasBitmap ? bitmap_.height() : 0;
    int tx = 0, ty = 0, bx = 0, by = 0, drawn = tw;
    if (!hasBitmap) {
        int outer = tw;
        if (mark) {
            drawn = std::min(w - 14, tw);
            outer = tw + 10;
        }
        ty = (h - th) / 2;
        tx = alignment_ == taLeftJustify ? 3 : alignment_ == taRightJustify ? w - outer - 3 : (w - outer) / 2;
    } else if (layout_ == blBitmapTop || layout_ == blBitmapBottom) {
        if (layout_ == blBitmapTop) {
            by = (h - th - bh - g) / 2;
            ty = by + bh + g;
        } else {
            ty = (h - th - bh - g) / 2;
            by = ty + th + g;
        }
        if (alignment_ == taLeftJustify)
            bx = tx = 3;
        else if (alignment_ == taRightJustify)
            bx = w - bw - 3, tx = w - tw - 3;
        else
            bx = (w - bw) / 2, tx = (w - tw) / 2;
    } else {
        if (tw + bw + g > w - 4)
            drawn = tw = w - g - bw - 4;
        by = (h - bh) / 2;
        ty = (h - th) / 2;
        const bool left = layout_ == blBitmapLeft;
        if (alignment_ == taLeftJustify)
            left ? (bx = 3, tx = bw + g + 3) : (tx = 3, bx = tw + 3 + g);
        else if (alignment_ == taRightJustify)
            left ? (tx = w - tw - 3, bx = tx - bw - g) : (bx = w - bw - 3, tx = bx - tw - g);
        else
            left ? (bx = (w - tw - bw - g) / 2, tx = bx + bw + g) : (tx = (w - tw - bw - g) / 2, bx = tw + tx + g);
    }
    if (wordWrap_ && tx + drawn > w - 5)
        drawn = w - tx - 5;
    QRect text(tx, ty, drawn, th);

    const int align = (alignment_ == taLeftJustify ? Qt::AlignLeft
                       : alignment_ == taRightJustify ? Qt::AlignRight
                                                      : Qt::AlignHCenter) |
                      Qt::AlignTop | Qt::TextShowMnemonic | wrap;
    const QColor light = pal.color(QPalette::Light), dark = pal.color(QPalette::Dark);
    const bool raised = bevelStyle_ == bsRaised;
    const auto drawCaption = [&](const QRect& r, const QColor& color) {
        if (!captionShown)
            return;
        p.setPen(color);
        p.drawText(r, align, caption_);
    };

    if (!isEnabled()) {
        if (down_)
            drawFrame(p, w, h, raised ? dark : light, raised ? light : dark);
        if (!disabledBitmap_.isNull()) {
            p.drawImage(bx, by, transparentImage(disabledBitmap_));
        } else if (hasBitmap) {
            p.drawImage(bx + 1, by + 1, stencil(bitmap_, light));
            p.drawImage(bx, by, stencil(bitmap_, dark));
        }
        drawCaption(text.translated(1, 1), light);
        drawCaption(text, dark);
        return;
    }

    const QColor fontColor = pal.color(QPalette::ButtonText);
    if ((pressed_ && highlighted_) || down_) {
        drawFrame(p, w, h, raised ? dark : light, raised ? light : dark);
        if (raised)
            text.translate(1, 1);
        drawCaption(text, fontColor);
        if (hasBitmap)
            p.drawImage(bx + 1, by + 1, transparentImage(bitmap_));
        if (mark) {
            if (hasBitmap)
                drawArrow(p, bx + bitmap_.width() + 4, by + bh / 2 + 1, fontColor);
            else
                drawArrow(p, text.x() + drawn + 4, ty + th / 2 + 1, fontColor);
        }
        return;
    }

    QColor color = fontColor;
    if (highlighted_)
        drawFrame(p, w, h, raised ? light : dark, raised ? dark : light);
    else
        color = unselectedFontColor_;
    if (!raised)
        text.translate(1, 1);
    drawCaption(text, color);
    if (hasBitmap) {
        const bool real = highlighted_ || !options_.testFlag(boMonoDisplay);
        const QPixmap& shown = real ? bitmap_ : !noFocusBitmap_.isNull() ? noFocusBitmap_ : shaded_;
        p.drawImage(bx, by, transparentImage(shown.isNull() ? bitmap_ : shown));
    }
    if (mark) {
        if (hasBitmap)
            drawArrow(p, bx + bitmap_.width() + 3, by + bh / 2, color);
        else
            drawArrow(p, text.x() + drawn + 3, ty + th / 2, color);
    }
}
