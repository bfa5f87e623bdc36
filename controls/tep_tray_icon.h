#pragma once
// An icon with a tip in the notification area. Clicks come back as the
// usual mouse signals, and a right click opens the pop-up menu at the
// cursor.

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSystemTrayIcon>

class TEPTrayIcon : public QObject {
    Q_OBJECT

public:
    // The notification area keeps at most this many characters of a tip.
    static constexpr int kMaxTipLength = 63;

    explicit TEPTrayIcon(QObject* parent = nullptr);
    ~TEPTrayIcon() override;

    QString hint() const { return hint_; }
    void setHint(const QString& hint);
    QIcon icon() const { return icon_; }
    void setIcon(const QIcon& icon);
    QMenu* popupMenu() const { return popupMenu_; }
    // Cleared by itself when the menu is destroyed.
    void setPopupMenu(QMenu* menu) { popupMenu_ = menu; }
    bool isVisible() const { return visible_; }
    void setVisible(bool visible);

    // The tip as the notification area shows it.
    QString shownTip() const { return tray_->toolTip(); }
    QSystemTrayIcon* systemTrayIcon() const { return tray_; }

signals:
    void clicked();
    void doubleClicked();
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, bool doubleClick, const QPoint& pos);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& pos);

private:
    void activated(QSystemTrayIcon::ActivationReason reason);
    void updateShell();

    QSystemTrayIcon* tray_;
    QString hint_;
    QIcon icon_;
    QPointer<QMenu> popupMenu_;
    bool visible_ = false;
};
