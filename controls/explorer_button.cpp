#include "controls/explorer_button.h"

#include <QApplication>
#include <QCursor>
#include <QKeySequence>
#include <QMouseEvent>
#include <QShortcutEvent>

TExplorerButton::TExplorerButton(QWidget* parent) : QWidget(parent)
{
    resize(50, 40);
    setAttribute(Qt::WA_Hover);
    unselectedFontColor_ = palette().color(QPalette::WindowText);
}

QString TExplorerButton::StripAccelerators(const QString& caption)
{
    QString out;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;  // the marked character (or the second "&") is kept
        out += caption[i];
    }
    return out;
}

QList<TExplorerButton*> TExplorerButton::group() const
{
    QList<TExplorerButton*> members;
    if (!parentWidget() || groupIndex_ == 0)
        return members;
    for (TExplorerButton* b : parentWidget()->findChildren<TExplorerButton*>(Qt::FindDirectChildrenOnly))
        if (b != this && b->groupIndex_ == groupIndex_)
            members << b;
    return members;
}

void TExplorerButton::releaseGroup()
{
    for (TExplorerButton* b : group())
        if (b->down_) {
            b->down_ = false;
            b->update();
        }
}

void TExplorerButton::setAlignment(TAlignment alignment)
{
    alignment_ = alignment;
    update();
}

void TExplorerButton::setAllowAllUp(bool on)
{
    allowAllUp_ = on;
    for (TExplorerButton* b : group())
        b->allowAllUp_ = on;
}

void TExplorerButton::setBevelStyle(TBevelStyle style)
{
    bevelStyle_ = style;
    update();
}

void TExplorerButton::setBitmap(const QPixmap& bitmap)
{
    bitmap_ = bitmap;
    rebuildShaded();
    update();
}

void TExplorerButton::setNoFocusBitmap(const QPixmap& bitmap)
{
    noFocusBitmap_ = bitmap;
    rebuildShaded();
    update();
}

void TExplorerButton::setDisabledBitmap(const QPixmap& bitmap)
{
    disabledBitmap_ = bitmap;
    if (!isEnabled())
        update();
}

void TExplorerButton::rebuildShaded()
{
    if (bitmap_.isNull() || !noFocusBitmap_.isNull())
        return;
    shaded_ = QPixmap::fromImage(ShadedImage(bitmap_.toImage(), shadingType_, palette().color(QPalette::Light),
                                             palette().color(QPalette::Dark)));
}

void TExplorerButton::setCaption(const QString& caption)
{
    caption_ = caption;
    if (shortcutId_ != 0)
        releaseShortcut(shortcutId_);
    const QKeySequence key = QKeySequence::mnemonic(caption);
    shortcutId_ = key.isEmpty() ? 0 : grabShortcut(key);
    if (options_.testFlag(boIconOnly)) {
        hint_ = StripAccelerators(caption);
        applyToolTip();
    } else {
        update();
    }
}

void TExplorerButton::setGroupIndex(int index)
{
    if (index == groupIndex_)
        return;
    groupIndex_ = index;
    if (index == 0 && down_) {
        down_ = false;
        update();
    } else if (down_) {
        releaseGroup();  // a group keeps at most one button down
    }
}

void TExplorerButton::setDown(bool down)
{
    if (down == down_ || groupIndex_ == 0)
        return;
    down_ = down;
    update();
    if (down)
        releaseGroup();
}

void TExplorerButton::setDropDownMenu(QMenu* menu)
{
    dropDownMenu_ = menu;
    if (options_.testFlag(boPopupMark))
        update();
}

void TExplorerButton::setButtonLayout(TExplorerButtonLayout layout)
{
    if (layout == layout_)
        return;
    layout_ = layout;
    update();
}

void TExplorerButton::setOptions(TExplorerButtonOptions options)
{
    options_ = options;
    const QString plain = StripAccelerators(caption_);
    if (options.testFlag(boIconOnly) && hint_.isEmpty()) {
        hint_ = plain;
        showHint_ = true;
    } else if (!options.testFlag(boIconOnly) && hint_ == plain) {
        hint_.clear();
        showHint_ = false;
    }
    applyToolTip();
    update();
}

void TExplorerButton::setShadingType(TExplorerButtonShadingType type)
{
    if (type == shadingType_)
        return;
    shadingType_ = type;
    if (!bitmap_.isNull() && noFocusBitmap_.isNull()) {
        rebuildShaded();
        update();
    }
}

void TExplorerButton::setShowDownPattern(bool on)
{
    if (on == showDownPattern_)
        return;
    showDownPattern_ = on;
    update();
}

void TExplorerButton::setUnselectedFontColor(const QColor& color)
{
    if (color == unselectedFontColor_)
        return;
    unselectedFontColor_ = color;
    update();
}

void TExplorerButton::setWordWrap(bool on)
{
    if (on == wordWrap_)
        return;
    wordWrap_ = on;
    update();
}

void TExplorerButton::setHint(const QString& hint)
{
    hint_ = hint;
    applyToolTip();
}

void TExplorerButton::setShowHint(bool on)
{
    showHint_ = on;
    applyToolTip();
}

void TExplorerButton::applyToolTip() { setToolTip(showHint_ ? hint_ : QString()); }

bool TExplorerButton::cursorStrictlyInside() const
{
    const QPoint p = mapFromGlobal(QCursor::pos());
    return p.x() > 0 && p.y() > 0 && p.x() < width() - 1 && p.y() < height() - 1;
}

void TExplorerButton::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    if (!isEnabled() || !isVisible())
        return;
    highlighted_ = true;
    if (!down_)
        update();
}

void TExplorerButton::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (pressed_)
        return;  // held: mouse moves decide
    highlighted_ = false;
    if (!down_)
        update();
}

void TExplorerButton::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    const QPoint p = event->position().toPoint();
    const bool inside = p.x() >= 0 && p.y() >= 0 && p.x() <= width() && p.y() <= height();
    if (inside != highlighted_ && isEnabled()) {
        highlighted_ = inside;
        if (!down_)
            update();
    }
}

void TExplorerButton::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        // Taken here, so the event is not offered to the parent after a
        // handler may have destroyed this button.
        event->accept();
        LeftDown();
    }
}

void TExplorerButton::LeftDown()
{
    if (!window()->isActiveWindow())
        window()->raise();
    if (!isEnabled() || !isVisible())
        return;
    pressed_ = true;
    highlighted_ = true;
    update();
    if (!dropDownMenu_)
        return;
    // The menu runs its own loop; a handler may destroy this button.
    QPointer<TExplorerButton> self(this);
    dropDownMenu_->exec(mapToGlobal(QPoint(0, height())));
    if (!self)
        return;
    if (!cursorStrictlyInside())
        highlighted_ = false;
    pressed_ = false;
    update();
}

void TExplorerButton::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        event->accept();   // as in mousePressEvent
        LeftUp();
    } else if (event->button() == Qt::RightButton && popupMenu_) {
        event->accept();
        QPointer<TExplorerButton> self(this);
        popupMenu_->exec(event->globalPosition().toPoint());
        if (!self)
            return;
        if (!cursorStrictlyInside())
            highlighted_ = false;
        pressed_ = false;
        update();
    }
}

void TExplorerButton::LeftUp()
{
    if (!isEnabled() || !isVisible() || !pressed_)
        return;
    pressed_ = false;
    if (highlighted_ && groupIndex_ != 0) {
        if (!down_)
            setDown(true);
        else if (allowAllUp_) {
            down_ = false;
            update();
        }
    }
    if (!highlighted_)
        return;
    highlighted_ = false;
    update();
    if (!dropDownMenu_)
        emit clicked();  // last: a handler may destroy this button
}

void TExplorerButton::Accelerator()
{
    if (!isEnabled() || !isVisible())
        return;
    QPointer<TExplorerButton> self(this);
    highlighted_ = true;
    pressed_ = false;
    repaint();
    LeftDown();
    if (!self)
        return;
    LeftUp();
    if (!self)
        return;
    if (!cursorStrictlyInside()) {
        highlighted_ = false;
        update();
    }
}

void TExplorerButton::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        if (groupIndex_ == 0)
            down_ = false;
        pressed_ = highlighted_ = false;
        update();
    } else if (event->type() == QEvent::PaletteChange) {
        rebuildShaded();
    }
}

bool TExplorerButton::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut && static_cast<QShortcutEvent*>(event)->shortcutId() == shortcutId_) {
        Accelerator();
        return true;
    }
    return QWidget::event(event);
}
