#pragma once
// Numbers as texts: STR() and VAL().

#include <string>
#include <string_view>

namespace xbase::expr {

// STR(value, length, decimals): right-justified in `length` characters,
// rounded half away from zero. Decimals that do not fit are given up one by
// one; when even the whole part does not fit the result is `length`
// asterisks. Length is bounded to 0..255, decimals to 0..18.
std::string formatStr(double value, double length, double decimals);

// VAL(): leading blanks, a sign, digits and one decimal point; reading stops
// at the first other character. Junk gives 0.
double parseVal(std::string_view text);

// Truncates toward zero into lo..hi; NaN gives lo.
long clampToLong(double v, long lo, long hi);

}  // namespace xbase::expr
