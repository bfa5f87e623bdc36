#pragma once
// Dates that callers give as text in the engine's date pictures ("mm/dd/yy", "dd.mm.yyyy" ...).

#include <cstdint>
#include <string>
#include <string_view>

namespace xbase {

// Reads a text in picture; two-digit years fall into the 100 years from
// epoch. Blank text gives 0; a text that is no date throws XbaseError.
int32_t parseDate(std::string_view text, std::string_view picture, int epoch);

}  // namespace xbase
