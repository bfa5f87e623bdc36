#pragma once
// Page margins of a rich edit: kept in twips (1/1440 inch), read and
// written in the chosen unit (twips, thousandths of an inch or hundredths
// of a millimetre), rounded as MulDiv rounds.

class TEPRichEditMargins {
public:
    enum TEPMeasurementUnits { epmuTwips, epmuInches, epmuMillimeters };

    TEPMeasurementUnits MeasurementUnits() const { return units_; }
    // Converts nothing: only the reading and writing change.
    void setMeasurementUnits(TEPMeasurementUnits units) { units_ = units; }

    int Left() const { return fromTwips(left_); }
    int Top() const { return fromTwips(top_); }
    int Right() const { return fromTwips(right_); }
    int Bottom() const { return fromTwips(bottom_); }
    void setLeft(int value) { left_ = toTwips(value); }
    void setTop(int value) { top_ = toTwips(value); }
    void setRight(int value) { right_ = toTwips(value); }
    void setBottom(int value) { bottom_ = toTwips(value); }

    // The four values and the unit.
    void Assign(const TEPRichEditMargins& other) { *this = other; }

private:
    int fromTwips(int twips) const;
    int toTwips(int value) const;

    TEPMeasurementUnits units_ = epmuTwips;
    int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
};
