#include "widget_test_helpers.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>

void SendMouse(QWidget& widget, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    if (type == QEvent::MouseButtonRelease)
        buttons &= ~button;
    QMouseEvent event(type, QPointF(pos), QPointF(widget.mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

QImage Render(QWidget& widget) { return widget.grab().toImage().convertToFormat(QImage::Format_RGB32); }

bool SaveScreenshot(QWidget& widget, const QString& name)
{
    const QString folder = QStringLiteral(TARSEL_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    return widget.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}
