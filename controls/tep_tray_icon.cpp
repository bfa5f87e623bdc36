#include "controls/tep_tray_icon.h"

#include <QCursor>
#include <QGuiApplication>

TEPTrayIcon::TEPTrayIcon(QObject* parent) : QObject(parent), tray_(new QSystemTrayIcon(this))
{
    connect(tray_, &QSystemTrayIcon::activated, this, &TEPTrayIcon::activated);
}

TEPTrayIcon::~TEPTrayIcon()
{
    if (visible_)
        tray_->hide();
}

void TEPTrayIcon::setHint(const QString& hint)
{
    if (hint == hint_)
        return;
    hint_ = hint;
    updateShell();
}

void TEPTrayIcon::setIcon(const QIcon& icon)
{
    icon_ = icon;
    updateShell();
}

void TEPTrayIcon::setVisible(bool visible)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    if (visible) {
        updateShell();
        tray_->show();
    } else {
        tray_->hide();
    }
}

void TEPTrayIcon::updateShell()
{
    tray_->setToolTip(hint_.left(kMaxTipLength));
    tray_->setIcon(icon_);
}

void TEPTrayIcon::activated(QSystemTrayIcon::ActivationReason reason)
{
    const QPoint pos = QCursor::pos();
    const Qt::KeyboardModifiers modifiers = QGuiApplication::queryKeyboardModifiers();
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        emit clicked();
        emit mouseUp(Qt::LeftButton, modifiers, pos);
        break;
    case QSystemTrayIcon::DoubleClick:
        emit doubleClicked();
        emit mouseDown(Qt::LeftButton, modifiers, true, pos);
        break;
    case QSystemTrayIcon::Context:
        emit mouseUp(Qt::RightButton, modifiers, pos);
        if (popupMenu_)
            popupMenu_->popup(pos);
        break;
    case QSystemTrayIcon::MiddleClick:
        emit mouseDown(Qt::MiddleButton, modifiers, false, pos);
        emit mouseUp(Qt::MiddleButton, modifiers, pos);
        break;
    case QSystemTrayIcon::Unknown:
        break;
    }
}
