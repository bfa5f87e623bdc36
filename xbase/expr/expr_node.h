#pragma once
// The compiled form of an expression: a tree of typed nodes. Each node
// answers only in the type it was compiled to, so evaluation needs no checks.

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "xbase/expr/expression.h"

namespace xbase {

struct EvalContext {
    const RecordSource& record;
    const EvalSettings& settings;
};

struct Expression::Node {
    ValueType type = ValueType::Logical;
    int width = 1;
    int decimals = 0;
    int depth = 1;   // height of the tree below, bounds evaluation recursion

    virtual ~Node() = default;
    virtual std::string text(const EvalContext& ctx) const;
    virtual double number(const EvalContext& ctx) const;
    virtual int32_t date(const EvalContext& ctx) const;
    virtual bool logical(const EvalContext& ctx) const;
    // A numeric literal (possibly negated) folds to its value; widths of
    // SUBSTR, LEFT, RIGHT and STR depend on it.
    virtual bool constant(double& value) const { (void)value; return false; }
};

namespace expr {

using Node = Expression::Node;
using NodePtr = std::unique_ptr<Node>;

inline constexpr int kMaxNesting = 64;       // parentheses, calls, unary operators
inline constexpr int kMaxDepth = 256;        // tree height (evaluation recursion)
inline constexpr size_t kMaxTextLength = 65536;

// Where a compile error is reported: the expression text and a byte offset.
struct Site {
    std::string_view text;
    size_t pos = 0;
};

[[noreturn]] void fail(int code, const Site& site, const std::string& what);

const char* typeName(ValueType t);

// Sets depth from the children and refuses trees too tall to evaluate safely.
void setDepth(Node& node, const Site& site, std::initializer_list<const Node*> children);

}  // namespace expr
}  // namespace xbase
