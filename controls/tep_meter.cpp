#include "controls/tep_meter.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

TEPMeter::TEPMeter(QWidget* parent) : TEPGraphicControl(parent)
{
    resize(100, 21);
    setColor(Qt::white);
}

template <typename T>
void TEPMeter::store(T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    update();
}

void TEPMeter::setMeterColor(const QColor& color) { store(meterColor_, color); }
void TEPMeter::setMeterStyle(TEPMeterStyle style) { store(meterStyle_, style); }
void TEPMeter::setMaxValue(int value) { store(maxValue_, value); }
void TEPMeter::setMinValue(int value) { store(minValue_, value); }
void TEPMeter::setOrientation(TEPOrientation orientation) { store(orientation_, orientation); }
void TEPMeter::setShowText(bool on) { store(showText_, on); }
void TEPMeter::setUseFontColor(bool on) { store(useFontColor_, on); }

void TEPMeter::setValue(int value)
{
    if (value == value_)
        return;
    store(value_, std::max(minValue_, std::min(value, maxValue_)));
}

uint TEPMeter::percent() const
{
    if (maxValue_ == minValue_)
        return 0;
    return static_cast<uint>(std::max(0, MulDiv(value_ - minValue_, 100, maxValue_ - minValue_)));
}

void TEPMeter::setPercent(uint percent)
{
    setValue(minValue_ + MulDiv(maxValue_ - minValue_, static_cast<int>(std::min(percent, 100000u)), 100));
}

QColor TEPMeter::SelectColor(uint percent)
{
    QColor color = meterColor_;
    if (onSelectColor_)
        onSelectColor_(this, percent, color);
    return color;
}

void TEPMeter::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        update();
    TEPGraphicControl::changeEvent(event);
}

void TEPMeter::Paint(QPainter& painter)
{
    const QRect r = ContentRect();
    switch (meterStyle_) {
    case epmsBar:
        DrawBar(painter, r, showText_, percent());
        break;
    case epmsLED:
        DrawLED(painter, r, percent());
        break;
    case epmsOwnerDraw:
        painter.setFont(font());
        painter.setPen(useFontColor_ ? palette().color(QPalette::WindowText) : color());
        painter.setBrush(SelectColor(percent()));
        if (onDrawMeter_)
            onDrawMeter_(this, painter, r);
        break;
    }
}

void TEPMeter::DrawBar(QPainter& painter, const QRect& r, bool withText, uint p)
{
    const QString text = withText ? QStringLiteral("%1%").arg(p) : QString();
    painter.setFont(font());
    const QFontMetrics metrics(font());
    const QColor fill = SelectColor(p);
    const QColor fontColor = useFontColor_ ? palette().color(QPalette::WindowText) : QColor();

    // Right and bottom edges are exclusive here, as in the rectangle maths.
    const int l = r.left(), t = r.top(), rt = r.left() + r.width(), b = r.top() + r.height();
    const int pct = static_cast<int>(p);
    QRect filled, empty;
    if (orientation_ == epoHorizontal) {
        const int split = l + MulDiv(rt - l, pct, 100);
        filled = QRect(QPoint(l, t), QPoint(split - 1, b - 1));
        empty = QRect(QPoint(split, t), QPoint(rt - 1, b - 1));
    } else {
        const int split = b - MulDiv(b - t, pct, 100);
        filled = QRect(QPoint(l, split), QPoint(rt - 1, b - 1));
        empty = QRect(QPoint(l, t), QPoint(rt - 1, split - 1));
    }
    const int x = l + (rt - l) / 2;
    const int y = t + (b - t - metrics.height()) / 2;
    const QRect textRect(x - metrics.horizontalAdvance(text) / 2, y, metrics.horizontalAdvance(text) + 1,
                         metrics.height());

    // One centred text: background-coloured over the fill, fill-coloured over
    // the rest.
    auto part = [&](const QRect& area, const QColor& background, const QColor& pen) {
        if (area.isEmpty())
            return;
        painter.save();
        painter.setClipRect(area, Qt::IntersectClip);
        painter.fillRect(area, background);
        painter.setPen(pen);
        painter.drawText(textRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, text);
        painter.restore();
    };
    part(filled, fill, fontColor.isValid() ? fontColor : color());
    part(empty, color(), fontColor.isValid() ? fontColor : fill);
}

void TEPMeter::DrawLED(QPainter& painter, const QRect& content, uint p)
{
    const QRect r = content.adjusted(1, 1, -1, -1);
    const int l = r.left(), t = r.top(), rt = r.left() + r.width(), b = r.top() + r.height();
    const int pct = static_cast<int>(p);
    if (orientation_ == epoHorizontal) {
        const int step = (b - t - 2) * 100 / 110;
        if (step < 1)
            return;  // too thin for blocks
        const int count = (rt - l - 2 + step) / step;
        const int limit = rt - 1;
        int left = l;
        for (int k = 0; k < count * pct / 100; ++k, left += step) {
            const int right = std::min(limit, left + step - 2);
            if (right > left)
                painter.fillRect(QRect(left, t, right - left, b - t), SelectColor(k * 100 / count));
        }
    } else {
        const int step = (rt - l - 2) * 100 / 110;
        if (step < 1)
            return;
        const int count = (b - t + 2 + step) / step;
        const int limit = t + 1;
        int bottom = b;
        for (int k = 0; k < count * pct / 100; ++k, bottom -= step) {
            const int top = std::max(limit, bottom - step + 2);
            if (bottom > top)
                painter.fillRect(QRect(l, top, rt - l, bottom - top), SelectColor(k * 100 / count));
        }
    }
}
