#pragma once
// Dates as texts in the engine's date format: DTOC(), CTOD() and DATE().

#include <cstdint>
#include <string>
#include <string_view>

#include "xbase/expr/expression.h"

namespace xbase::expr {

// The date in settings.dateFormat ("mm/dd/yy", "dd.mm.yy", "yy.mm.dd" ...);
// years have four digits when century is on or the format says "yyyy".
// The empty date keeps the separators and blanks the digits.
std::string formatDtoc(int32_t julian, const EvalSettings& settings);

// Reads day, month and year in the order of settings.dateFormat; a year of
// one or two digits falls in the 100 years starting at settings.epoch.
// Blank text, missing parts or an impossible date give the empty date.
int32_t parseCtod(std::string_view text, const EvalSettings& settings);

int32_t today();

}  // namespace xbase::expr
