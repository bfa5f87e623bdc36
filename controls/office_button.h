#pragma once
// A flat push button drawn as a rounded rectangle with a small state glyph
// and a caption: a thin silver outline at rest, a coloured outline with a
// white top line while the mouse is over it, and the content shifted one
// pixel while it is held down.

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

class TOfficeButton : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(QColor borderColor READ borderColor WRITE setBorderColor)
    Q_PROPERTY(int borderWidth READ borderWidth WRITE setBorderWidth)
    Q_PROPERTY(int roundSize READ roundSize WRITE setRoundSize)

public:
    explicit TOfficeButton(QWidget* parent = nullptr);

    QString caption() const { return caption_; }
    void setCaption(const QString& caption);
    QColor borderColor() const { return borderColor_; }
    // Takes effect at the next repaint.
    void setBorderColor(const QColor& color) { borderColor_ = color; }
    int borderWidth() const { return borderWidth_; }
    // Kept within 1..3.
    void setBorderWidth(int width);
    int roundSize() const { return roundSize_; }
    void setRoundSize(int size);

    bool hot() const { return hot_; }
    bool pressed() const { return pressed_; }
    int offset() const { return offset_; }

    // The 11 x 11 glyphs "OFF" (rest), "ON" (hot) and "DOWN" (pressed);
    // their white pixels are transparent.
    static QImage Glyph(const QString& name);

    QSize sizeHint() const override { return QSize(100, 25); }

signals:
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void MouseEnter();
    void MouseLeave();

    QString caption_ = QStringLiteral("OfficeButton");
    QColor borderColor_{128, 128, 128};
    int borderWidth_ = 1;
    int roundSize_ = 20;
    bool hot_ = false;
    bool pressed_ = false;
    int offset_ = 0;
};
