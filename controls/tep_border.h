#pragma once
// A frame, separator line or captioned group frame; the dialogs use it as
// an etched horizontal separator.

#include "controls/tep_graphic_control.h"

class TEPBorder : public TEPGraphicControl {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(Qt::Alignment alignment READ alignment WRITE setAlignment)

public:
    explicit TEPBorder(QWidget* parent = nullptr);

    QString caption() const { return caption_; }
    void setCaption(const QString& caption);
    // Qt::AlignLeft, Qt::AlignRight or Qt::AlignHCenter.
    Qt::Alignment alignment() const { return alignment_; }
    void setAlignment(Qt::Alignment alignment);

    QSize sizeHint() const override { return QSize(50, 50); }

protected:
    void PaintBorder(QPainter& painter, const QRect& rect) override;
    void changeEvent(QEvent* event) override;

private:
    QString caption_;
    Qt::Alignment alignment_ = Qt::AlignLeft;
};
