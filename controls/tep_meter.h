#pragma once
// A progress meter: a bar with the percentage in two colours, a row of LED
// blocks whose colours a handler may choose, or drawn by its owner.

#include <functional>

#include "controls/mul_div.h"
#include "controls/tep_graphic_control.h"

class TEPMeter : public TEPGraphicControl {
    Q_OBJECT
    Q_PROPERTY(QColor meterColor READ meterColor WRITE setMeterColor)
    Q_PROPERTY(TEPMeterStyle meterStyle READ meterStyle WRITE setMeterStyle)
    Q_PROPERTY(int maxValue READ maxValue WRITE setMaxValue)
    Q_PROPERTY(int minValue READ minValue WRITE setMinValue)
    Q_PROPERTY(TEPOrientation orientation READ orientation WRITE setOrientation)
    Q_PROPERTY(bool showText READ showText WRITE setShowText)
    Q_PROPERTY(bool useFontColor READ useFontColor WRITE setUseFontColor)
    Q_PROPERTY(int value READ value WRITE setValue)

public:
    enum TEPMeterStyle { epmsBar, epmsLED, epmsOwnerDraw };
    Q_ENUM(TEPMeterStyle)
    enum TEPOrientation { epoHorizontal, epoVertical };
    Q_ENUM(TEPOrientation)

    using DrawMeterHandler = std::function<void(TEPMeter* meter, QPainter& painter, const QRect& rect)>;
    using SelectColorHandler = std::function<void(TEPMeter* meter, uint percent, QColor& color)>;

    explicit TEPMeter(QWidget* parent = nullptr);

    QColor meterColor() const { return meterColor_; }
    void setMeterColor(const QColor& color);
    TEPMeterStyle meterStyle() const { return meterStyle_; }
    void setMeterStyle(TEPMeterStyle style);
    int maxValue() const { return maxValue_; }
    void setMaxValue(int value);
    int minValue() const { return minValue_; }
    void setMinValue(int value);
    TEPOrientation orientation() const { return orientation_; }
    void setOrientation(TEPOrientation orientation);
    bool showText() const { return showText_; }
    void setShowText(bool on);
    bool useFontColor() const { return useFontColor_; }
    void setUseFontColor(bool on);
    int value() const { return value_; }
    // Kept within minValue()..maxValue(); changing the limits later does not
    // move it.
    void setValue(int value);
    uint percent() const;
    void setPercent(uint percent);

    void setOnDrawMeter(DrawMeterHandler handler) { onDrawMeter_ = std::move(handler); }
    void setOnSelectColor(SelectColorHandler handler) { onSelectColor_ = std::move(handler); }

    // The fill colour for a percentage: meterColor() unless the handler
    // chooses another.
    QColor SelectColor(uint percent);

    QSize sizeHint() const override { return QSize(100, 21); }

protected:
    void Paint(QPainter& painter) override;
    void changeEvent(QEvent* event) override;
    virtual void DrawBar(QPainter& painter, const QRect& rect, bool showText, uint percent);
    virtual void DrawLED(QPainter& painter, const QRect& rect, uint percent);

private:
    template <typename T>
    void store(T& field, const T& value);

    QColor meterColor_{0, 0, 128};
    TEPMeterStyle meterStyle_ = epmsBar;
    int maxValue_ = 100;
    int minValue_ = 0;
    TEPOrientation orientation_ = epoHorizontal;
    bool showText_ = true;
    bool useFontColor_ = false;
    int value_ = 0;
    DrawMeterHandler onDrawMeter_;
    SelectColorHandler onSelectColor_;
};
