#pragma once
// A read-only, borderless label showing one RTF text (RichText) that, with
// AutoSize, fits its height to the formatted text: the height grows in
// steps of the font height where the text was cut until all of it fits.

#include <QColor>
#include <QString>

#include "controls/tep_custom_rich_edit.h"

class TEPRichLabel : public TEPCustomRichEdit {
    Q_OBJECT
    Q_PROPERTY(bool autoSize READ autoSize WRITE setAutoSize)
    Q_PROPERTY(QString richText READ RichText WRITE setRichText)
    Q_PROPERTY(bool wordWrap READ wordWrap WRITE setWordWrap)
    Q_PROPERTY(QColor color READ color WRITE setColor)
    Q_PROPERTY(bool parentColor READ parentColor WRITE setParentColor)

public:
    explicit TEPRichLabel(QWidget* parent = nullptr);

    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool on);
    // The content as an RTF document; empty when it cannot be written.
    QString RichText() const;
    // Reads `rtf` as RTF (text without an RTF header as plain text); a text
    // that cannot be read leaves the label empty. Never throws.
    void setRichText(const QString& rtf);
    bool wordWrap() const { return lineWrapMode() != QTextEdit::NoWrap; }
    void setWordWrap(bool on);
    QColor color() const { return color_; }
    // Setting a colour stops following the parent's.
    void setColor(const QColor& color);
    bool parentColor() const { return parentColor_; }
    void setParentColor(bool on);

    // Fits the height to the text; does nothing without AutoSize or text,
    // on a page with no width left, or when a font step rounds to 0 pixels.
    virtual void AdjustHeight();

    QSize sizeHint() const override;
    // With AutoSize the fitted height is also the least a layout may give:
    // a scroll area's own minimum would stretch a one-line label.
    QSize minimumSizeHint() const override;

protected:
    // Height in pixels of the font of the character at `position`.
    virtual int FontPixelHeightAt(int position) const;
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyColor();

    bool autoSize_ = true;
    bool adjusting_ = false;
    bool parentColor_ = true;
    QColor color_{255, 255, 255};
};
