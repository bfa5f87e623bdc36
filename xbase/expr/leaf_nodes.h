#pragma once
// Leaves of an expression tree: fields of the record and literal values.

#include <string>

#include "xbase/expr/expr_node.h"
#include "xbase/value.h"

namespace xbase::expr {

NodePtr makeField(int index, const FieldDef& def);
NodePtr makeTextLiteral(std::string text);
NodePtr makeNumberLiteral(double value, const std::string& written);
NodePtr makeLogicalLiteral(bool value);

}  // namespace xbase::expr
