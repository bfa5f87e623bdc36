#include "xbase/expr/expr_node.h"

#include <algorithm>

#include "xbase/error.h"

namespace xbase {

namespace {
[[noreturn]] void wrongType(const char* asked) {
    // Only reachable through a fault in the compiler's type checks.
    throw XbaseError(kExprTypeError, std::string("Expression node asked for a ") + asked + " result");
}
}  // namespace

std::string Expression::Node::text(const EvalContext&) const { wrongType("Character"); }
double Expression::Node::number(const EvalContext&) const { wrongType("Numeric"); }
int32_t Expression::Node::date(const EvalContext&) const { wrongType("Date"); }
bool Expression::Node::logical(const EvalContext&) const { wrongType("Logical"); }

namespace expr {

void fail(int code, const Site& site, const std::string& what) {
    std::string shown(site.text.substr(0, 80));
    if (site.text.size() > 80) shown += "...";
    throw XbaseError(code, what + " at column " + std::to_string(site.pos + 1) + " of expression \"" + shown + "\"");
}

const char* typeName(ValueType t) {
    switch (t) {
    case ValueType::Character: return "Character";
    case ValueType::Numeric: return "Numeric";
    case ValueType::Date: return "Date";
    case ValueType::Logical: return "Logical";
    }
    return "?";
}

void setDepth(Node& node, const Site& site, std::initializer_list<const Node*> children) {
    int d = 0;
    for (const Node* c : children)
        if (c) d = std::max(d, c->depth);
    node.depth = d + 1;
    if (node.depth > kMaxDepth) fail(kExprTooComplex, site, "Expression too complex");
}

}  // namespace expr
}  // namespace xbase
