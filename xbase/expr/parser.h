#pragma once
// Recursive-descent parser with the xBase precedence, lowest first:
// .OR., .AND., .NOT./!, comparisons (= == <> # != < > <= >= $),
// + -, * /, unary + -, then operands.

#include <string_view>
#include <vector>

#include "xbase/expr/expr_node.h"
#include "xbase/value.h"

namespace xbase::expr {

// What an expression reads besides the settings: fields by their index in
// the compile list (-1: the deletion flag), whether the clock, and whether
// the record number.
struct Reads {
    std::vector<int> fields;
    bool clock = false;
    bool recNo = false;
};

NodePtr parseExpression(std::string_view text, const std::vector<FieldDef>& fields, Reads* reads = nullptr);

}  // namespace xbase::expr
