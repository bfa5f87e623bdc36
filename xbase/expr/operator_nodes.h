#pragma once
// Builds operator nodes, checking operand types at compile time.

#include <vector>

#include "xbase/expr/expr_node.h"
#include "xbase/expr/lexer.h"

namespace xbase::expr {

NodePtr makeNegate(NodePtr operand, const Site& site);
NodePtr makeNot(NodePtr operand, const Site& site);
// .AND. / .OR. over two or more operands, evaluated left to right with
// early exit; one node for a whole chain keeps long filters shallow.
NodePtr makeLogicalChain(Tok op, std::vector<NodePtr> operands, const Site& site);
// + - * /
NodePtr makeArithmetic(Tok op, NodePtr left, NodePtr right, const Site& site);
// = == <> < > <= >= $
NodePtr makeComparison(Tok op, NodePtr left, NodePtr right, const Site& site);

}  // namespace xbase::expr
