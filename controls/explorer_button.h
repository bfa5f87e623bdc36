#pragma once
// A flat push button with a bitmap and a caption: no frame at rest (and,
// optionally, a grey-shaded bitmap), a raised frame under the mouse, a
// sunken one when pressed. It can act as one of a group of toggles, open a
// drop-down menu instead of clicking, and show only its bitmap with the
// caption as its hint.

#include <QColor>
#include <QImage>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class TExplorerButton : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TAlignment alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(bool allowAllUp READ allowAllUp WRITE setAllowAllUp)
    Q_PROPERTY(TBevelStyle bevelStyle READ bevelStyle WRITE setBevelStyle)
    Q_PROPERTY(QPixmap bitmap READ bitmap WRITE setBitmap)
    Q_PROPERTY(QPixmap noFocusBitmap READ noFocusBitmap WRITE setNoFocusBitmap)
    Q_PROPERTY(QPixmap disabledBitmap READ disabledBitmap WRITE setDisabledBitmap)
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(int groupIndex READ groupIndex WRITE setGroupIndex)
    Q_PROPERTY(bool down READ down WRITE setDown)
    Q_PROPERTY(TExplorerButtonLayout buttonLayout READ buttonLayout WRITE setButtonLayout)
    Q_PROPERTY(TExplorerButtonOptions options READ options WRITE setOptions)
    Q_PROPERTY(TExplorerButtonShadingType shadingType READ shadingType WRITE setShadingType)
    Q_PROPERTY(bool showDownPattern READ showDownPattern WRITE setShowDownPattern)
    Q_PROPERTY(QColor unselectedFontColor READ unselectedFontColor WRITE setUnselectedFontColor)
    Q_PROPERTY(bool wordWrap READ wordWrap WRITE setWordWrap)
    Q_PROPERTY(QString hint READ hint WRITE setHint)
    Q_PROPERTY(bool showHint READ showHint WRITE setShowHint)

public:
    enum TAlignment { taLeftJustify, taRightJustify, taCenter };
    Q_ENUM(TAlignment)
    enum TBevelStyle { bsLowered, bsRaised };
    Q_ENUM(TBevelStyle)
    enum TExplorerButtonLayout { blBitmapTop, blBitmapBottom, blBitmapLeft, blBitmapRight };
    Q_ENUM(TExplorerButtonLayout)
    enum TExplorerButtonOption { boMonoDisplay = 1, boIconOnly = 2, boPopupMark = 4 };
    Q_DECLARE_FLAGS(TExplorerButtonOptions, TExplorerButtonOption)
    Q_FLAG(TExplorerButtonOptions)
    enum TExplorerButtonShadingType { stLight, stMedium, stDark };
    Q_ENUM(TExplorerButtonShadingType)

    explicit TExplorerButton(QWidget* parent = nullptr);

    TAlignment alignment() const { return alignment_; }
    void setAlignment(TAlignment alignment);
    bool allowAllUp() const { return allowAllUp_; }
    // Shared by the whole group.
    void setAllowAllUp(bool on);
    TBevelStyle bevelStyle() const { return bevelStyle_; }
    void setBevelStyle(TBevelStyle style);
    QPixmap bitmap() const { return bitmap_; }
    void setBitmap(const QPixmap& bitmap);
    QPixmap noFocusBitmap() const { return noFocusBitmap_; }
    void setNoFocusBitmap(const QPixmap& bitmap);
    QPixmap disabledBitmap() const { return disabledBitmap_; }
    void setDisabledBitmap(const QPixmap& bitmap);
    QString caption() const { return caption_; }
    void setCaption(const QString& caption);
    int groupIndex() const { return groupIndex_; }
    void setGroupIndex(int index);
    bool down() const { return down_; }
    // Only for a grouped button; going down releases the group's other one.
    void setDown(bool down);
    QMenu* dropDownMenu() const { return dropDownMenu_; }
    void setDropDownMenu(QMenu* menu);
    QMenu* popupMenu() const { return popupMenu_; }
    void setPopupMenu(QMenu* menu) { popupMenu_ = menu; }
    TExplorerButtonLayout buttonLayout() const { return layout_; }
    void setButtonLayout(TExplorerButtonLayout layout);
    TExplorerButtonOptions options() const { return options_; }
    void setOptions(TExplorerButtonOptions options);
    TExplorerButtonShadingType shadingType() const { return shadingType_; }
    void setShadingType(TExplorerButtonShadingType type);
    bool showDownPattern() const { return showDownPattern_; }
    void setShowDownPattern(bool on);
    QColor unselectedFontColor() const { return unselectedFontColor_; }
    void setUnselectedFontColor(const QColor& color);
    bool wordWrap() const { return wordWrap_; }
    void setWordWrap(bool on);
    QString hint() const { return hint_; }
    void setHint(const QString& hint);
    bool showHint() const { return showHint_; }
    void setShowHint(bool on);

    bool pressed() const { return pressed_; }
    bool highlighted() const { return highlighted_; }

    // "&&" becomes "&", any other "&" before a character goes, a final one stays.
    static QString StripAccelerators(const QString& caption);
    // The bitmap in four greys by brightness; its top-left colour stays.
    static QImage ShadedImage(const QImage& bitmap, TExplorerButtonShadingType type, const QColor& highlight,
                              const QColor& shadow);

    QSize sizeHint() const override { return QSize(50, 40); }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    QList<TExplorerButton*> group() const;
    void releaseGroup();
    void rebuildShaded();
    bool cursorStrictlyInside() const;
    void LeftDown();
    void LeftUp();
    void Accelerator();
    void applyToolTip();

    TAlignment alignment_ = taCenter;
    bool allowAllUp_ = false;
    TBevelStyle bevelStyle_ = bsRaised;
    QPixmap bitmap_, noFocusBitmap_, disabledBitmap_, shaded_;
    QString caption_;
    int groupIndex_ = 0;
    bool down_ = false;
    QPointer<QMenu> dropDownMenu_;
    QPointer<QMenu> popupMenu_;
    TExplorerButtonLayout layout_ = blBitmapTop;
    TExplorerButtonOptions options_ = TExplorerButtonOptions(boMonoDisplay | boPopupMark);
    TExplorerButtonShadingType shadingType_ = stMedium;
    bool showDownPattern_ = true;
    QColor unselectedFontColor_{0, 0, 0};
    bool wordWrap_ = false;
    QString hint_;
    bool showHint_ = false;
    bool pressed_ = false;
    bool highlighted_ = false;
    int shortcutId_ = 0;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TExplorerButton::TExplorerButtonOptions)
