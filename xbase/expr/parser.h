#pragma once
// Recursive-descent parser with the xBase precedence, lowest first:
// .OR., .AND., .NOT./!, comparisons (= == <> # != < > <= >= $),
// + -, * /, unary + -, then operands.

#include <string_view>
#include <vector>

#include "xbase/expr/expr_node.h"
#include "xbase/value.h"

namespace xbase::expr {

NodePtr parseExpression(std::string_view text, const std::vector<FieldDef>& fields);

}  // namespace xbase::expr
