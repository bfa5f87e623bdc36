#pragma once
// Text comparisons of triggers and action names: upper-casing and search
// that ignore the case of ASCII letters, as the agent files are written.

#include <string>
#include <string_view>

namespace agents {

std::string UpperCase(std::string_view text);
// An empty needle never occurs.
bool ContainsIgnoreCase(std::string_view text, std::string_view needle);
bool ContainsExactly(std::string_view text, std::string_view needle);
// Every text begins with an empty prefix.
bool BeginsWithIgnoreCase(std::string_view text, std::string_view prefix);

}  // namespace agents
