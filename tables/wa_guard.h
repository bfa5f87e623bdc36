#pragma once
// TWA: makes a cursor's work area current for the length of one operation
// and puts the previously current area back afterwards. A handle that is out
// of range, or whose area holds no table, makes the guard invalid: the
// operation then answers "invalid handle" rather than acting on whatever
// area happens to be current.

class TWA {
public:
    explicit TWA(int handle);
    ~TWA();
    TWA(const TWA&) = delete;
    TWA& operator=(const TWA&) = delete;

    bool valid() const { return valid_; }
    int area() const { return area_; }

private:
    int previous_ = 0;
    int area_ = 0;
    bool valid_ = false;
};

namespace tables {
// True when handle names an engine area that holds a table.
bool areaInUse(int handle);
// Makes the area current and leaves it so; false for an invalid handle.
bool selectArea(int handle);
}  // namespace tables
