#include "xbase/expr/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace xbase::expr {

long clampToLong(double v, long lo, long hi) {
    if (std::isnan(v) || v <= static_cast<double>(lo)) return lo;
    if (v >= static_cast<double>(hi)) return hi;
    return static_cast<long>(v);
}

namespace {

// The value with exactly `dec` decimals, rounded half away from zero. A
// half within a few units in the last place counts as a half, so 1.005
// rounds as written rather than as stored in binary.
std::string fixedText(double value, int dec) {
    const double scaled = std::fabs(value * std::pow(10.0, dec));
    const double whole = std::floor(scaled);
    const double ulp = std::nextafter(scaled, HUGE_VAL) - scaled;
    const double tolerance = ulp < 0.01 ? 4 * ulp : 0;
    const double rounded = scaled - whole >= 0.5 - tolerance ? whole + 1 : whole;
    if (!std::isfinite(rounded)) return std::string(400, '*');  // never fits
    char digits[400];
    std::string s;
    if (rounded < 9007199254740992.0) {
        // A whole number below 2^53 is exactly its integer: written without printf's machinery.
        const auto end = std::to_chars(digits, digits + sizeof digits, static_cast<uint64_t>(rounded)).ptr;
        s.assign(digits, end);
    } else {
        std::snprintf(digits, sizeof digits, "%.0f", rounded);
        s = digits;
    }
    if (dec > 0) {
        if (s.size() < static_cast<size_t>(dec) + 1) s.insert(0, dec + 1 - s.size(), '0');
        s.insert(s.size() - dec, 1, '.');
    }
    if (rounded != 0 && value < 0) s.insert(0, 1, '-');
    return s;
}

}  // namespace

std::string formatStr(double value, double length, double decimals) {
    const int len = static_cast<int>(clampToLong(length, 0, 255));
    int dec = static_cast<int>(clampToLong(decimals, 0, 18));
    if (!std::isfinite(value) || std::fabs(value) >= 1e300) return std::string(len, '*');
    for (; dec >= 0; --dec) {
        std::string s = fixedText(value, dec);
        if (s.size() <= static_cast<size_t>(len)) return std::string(len - s.size(), ' ') + s;
    }
    return std::string(len, '*');
}

double parseVal(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    std::string number;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) number += text[i++];
    bool digits = false, point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
        number += c;
    }
    if (!digits) return 0;
    return std::strtod(number.c_str(), nullptr);
}

}  // namespace xbase::expr
