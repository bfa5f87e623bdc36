#pragma once
// What the control tests share: mouse events sent straight to a widget
// (so no window manager or cursor position is involved) and screenshots
// written to the build's screenshots folder.

#include <QEvent>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>

void SendMouse(QWidget& widget, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
               Qt::MouseButtons buttons = Qt::LeftButton);
// The widget as painted, in RGB32.
QImage Render(QWidget& widget);
// Writes <build>/screenshots/<name>.png; false when it cannot be written.
bool SaveScreenshot(QWidget& widget, const QString& name);
