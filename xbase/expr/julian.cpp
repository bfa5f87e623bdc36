#include "xbase/expr/julian.h"

namespace xbase {
namespace {

constexpr int32_t kFirstDay = 1721426;  // 0001-01-01
constexpr int32_t kLastDay = 5373484;   // 9999-12-31

bool leapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leapYear(y) ? 29 : days[m - 1];
}

}  // namespace

int32_t julianFromYmd(int y, int m, int d) {
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > daysInMonth(y, m)) return 0;
    const int a = (14 - m) / 12;
    const int32_t yy = y + 4800 - a;
    const int32_t mm = m + 12 * a - 3;
    return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
}

void ymdFromJulian(int32_t jd, int& y, int& m, int& d) {
    if (jd < kFirstDay || jd > kLastDay) {
        y = m = d = 0;
        return;
    }
    const int32_t a = jd + 32044;
    const int32_t b = (4 * a + 3) / 146097;
    const int32_t c = a - 146097 * b / 4;
    const int32_t dd = (4 * c + 3) / 1461;
    const int32_t e = c - 1461 * dd / 4;
    const int32_t mm = (5 * e + 2) / 153;
    d = e - (153 * mm + 2) / 5 + 1;
    m = mm + 3 - 12 * (mm / 10);
    y = 100 * b + dd - 4800 + mm / 10;
}

int32_t julianFromDateText(std::string_view text) {
    if (text.size() < 8) return 0;
    int parts[3] = {0, 0, 0};
    const int lengths[3] = {4, 2, 2};
    size_t pos = 0;
    for (int i = 0; i < 3; ++i) {
        for (int k = 0; k < lengths[i]; ++k, ++pos) {
            const char c = text[pos];
            if (c < '0' || c > '9') return 0;
            parts[i] = parts[i] * 10 + (c - '0');
        }
    }
    return julianFromYmd(parts[0], parts[1], parts[2]);
}

std::string dateTextFromJulian(int32_t jd) {
    int y = 0, m = 0, d = 0;
    ymdFromJulian(jd, y, m, d);
    if (y == 0) return std::string(8, ' ');
    std::string out(8, '0');
    const int values[3] = {y, m, d};
    const int ends[3] = {4, 6, 8};
    for (int i = 0; i < 3; ++i) {
        int v = values[i];
        for (int p = ends[i] - 1; v > 0; --p, v /= 10) out[p] = static_cast<char>('0' + v % 10);
    }
    return out;
}

}  // namespace xbase
