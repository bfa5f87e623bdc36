#pragma once
// Builds the nodes of the built-in functions, checking argument counts and
// types at compile time.

#include <string>
#include <vector>

#include "xbase/expr/expr_node.h"

namespace xbase::expr {

// `name` in upper case. Throws XbaseError for an unknown function or
// unfit arguments.
NodePtr makeFunction(const std::string& name, std::vector<NodePtr> args, const Site& site);

}  // namespace xbase::expr
