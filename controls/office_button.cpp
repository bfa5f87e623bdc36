#include "controls/office_button.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "controls/office_button_accessible.h"

namespace {

// A round lamp: grey at rest, green when hot, dark green when pressed.
QImage drawGlyph(const QColor& fill, const QColor& rim)
{
    QImage glyph(11, 11, QImage::Format_RGB32);
    glyph.fill(Qt::white);
    QPainter p(&glyph);
    p.setPen(rim);
    p.setBrush(fill);
    p.drawEllipse(1, 1, 8, 8);
    return glyph;
}

}  // namespace

TOfficeButton::TOfficeButton(QWidget* parent) : QWidget(parent)
{
    resize(100, 25);
    setAttribute(Qt::WA_Hover);
    TOfficeButtonAccessible::Install();
}

QImage TOfficeButton::Glyph(const QString& name)
{
    if (name == QLatin1String("ON"))
        return drawGlyph(QColor(0, 192, 0), QColor(0, 96, 0));
    if (name == QLatin1String("DOWN"))
        return drawGlyph(QColor(0, 112, 0), QColor(0, 64, 0));
    return drawGlyph(QColor(192, 192, 192), QColor(128, 128, 128));
}

void TOfficeButton::setCaption(const QString& caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    update();
    // A reader says the caption as the button's name.
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
}

void TOfficeButton::setBorderWidth(int width)
{
    width = std::clamp(width, 1, 3);
    if (width == borderWidth_)
        return;
    borderWidth_ = width;
    update();
}

void TOfficeButton::setRoundSize(int size)
{
    if (size == roundSize_)
        return;
    roundSize_ = size;
    update();
}

void TOfficeButton::MouseEnter()
{
    hot_ = true;
    offset_ = pressed_ ? 1 : 0;
    update();
}

void TOfficeButton::MouseLeave()
{
    hot_ = false;
    offset_ = 0;
    update();
}

void TOfficeButton::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    if (!pressed_)
        MouseEnter();
}

void TOfficeButton::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (!pressed_)
        MouseLeave();
}

// While a button is held the mouse stays with this control, so leaving and
// coming back are seen here rather than as enter and leave events.
void TOfficeButton::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    if (!pressed_)
        return;
    const bool inside = rect().contains(event->position().toPoint());
    if (inside && !hot_)
        MouseEnter();
    else if (!inside && hot_)
        MouseLeave();
}

void TOfficeButton::mousePressEvent(QMouseEvent* event)
{
    hot_ = true;
    pressed_ = true;
    offset_ = 1;
    update();
    QWidget::mousePressEvent(event);
}

void TOfficeButton::mouseReleaseEvent(QMouseEvent* event)
{
    pressed_ = false;
    offset_ = 0;
    update();
    const bool over = rect().contains(event->position().toPoint());
    if (!over)
        MouseLeave();
    QWidget::mouseReleaseEvent(event);
    if (over && event->button() == Qt::LeftButton) {
        // Taken here, so the event is not offered to the parent after a
        // handler may have destroyed this button.
        event->accept();
        emit clicked();
    }
}

void TOfficeButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    QWidget::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

void TOfficeButton::paintEvent(QPaintEvent*)
{
    const int o = offset_, b = borderWidth_, r = roundSize_;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor face = palette().color(QPalette::Button);
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.setBrush(face);
    if (hot_) {
        p.setPen(QPen(borderColor_, b + 1));
        p.drawRoundedRect(QRect(QPoint(b, b), QPoint(width() - b + 1, height() - b + 1)), r / 2.0, r / 2.0);
        p.setPen(QPen(Qt::white, 2));
        p.drawLine(r / 2, b + 2, width() - r / 2, b + 2);
    } else {
        p.setPen(QPen(QColor(192, 192, 192), b));
        p.drawRoundedRect(QRect(QPoint(b - 1, b - 1), QPoint(width() - (b - 1), height() - (b - 1))), r / 2.0,
                          r / 2.0);
    }

    QImage glyph = Glyph(hot_ && pressed_ ? QStringLiteral("DOWN") : hot_ ? QStringLiteral("ON") : QStringLiteral("OFF"));
    for (int y = 0; y < glyph.height(); ++y)
        for (int x = 0; x < glyph.width(); ++x)
            if (glyph.pixel(x, y) == qRgb(255, 255, 255))
                glyph.setPixel(x, y, face.rgb());
    p.drawImage(o + 7, (height() - glyph.height()) / 2 + o, glyph);

    p.setFont(font());
    p.setPen(palette().color(QPalette::ButtonText));
    const QFontMetrics fm(font());
    const int x = (width() - fm.horizontalAdvance(caption_)) / 2 + o + 7;
    const int y = (height() - fm.height()) / 2 + o;
    p.drawText(QRect(x, y, fm.horizontalAdvance(caption_) + 1, fm.height()), Qt::AlignLeft | Qt::AlignTop, caption_);
}
