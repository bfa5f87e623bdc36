#pragma once
// Engine filter expressions built by the table layer: the join of several
// filter texts, and the lookup (locate) condition of one field.

#include <string>
#include <string_view>
#include <vector>

namespace tables {

// Each text in parentheses, joined with " .and. ", so that a text holding
// ".or." keeps its meaning; a single text is passed as it is.
std::string joinFilterTexts(const std::vector<std::string>& texts);

// A string literal of the expression language that holds exactly `value`,
// whatever quotes it contains.
std::string stringLiteral(std::string_view value);

// "Upper(FIELD) = 'VALUE'" for a case-insensitive text lookup, else
// "FIELD = 'value'".
std::string lookupFilterText(std::string_view fieldName, std::string_view value,
                             bool caseInsensitive, bool textField);

}  // namespace tables
