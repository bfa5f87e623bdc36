#include "xbase/expr/operator_nodes.h"

#include <algorithm>
#include <cmath>

#include "xbase/expr/julian.h"
#include "xbase/expr/text_rules.h"

namespace xbase::expr {

namespace {

const char* opName(Tok op) {
    switch (op) {
    case Tok::Plus: return "+";
    case Tok::Minus: return "-";
    case Tok::Star: return "*";
    case Tok::Slash: return "/";
    case Tok::Equal: return "=";
    case Tok::ExactEqual: return "==";
    case Tok::NotEqual: return "<>";
    case Tok::Less: return "<";
    case Tok::Greater: return ">";
    case Tok::LessEqual: return "<=";
    case Tok::GreaterEqual: return ">=";
    case Tok::Contains: return "$";
    case Tok::And: return ".AND.";
    case Tok::Or: return ".OR.";
    case Tok::Not: return ".NOT.";
    default: return "?";
    }
}

[[noreturn]] void mismatch(Tok op, const Node& a, const Node* b, const Site& site) {
    std::string what = std::string("Operator ") + opName(op) + " cannot take " + typeName(a.type);
    if (b) what += std::string(" and ") + typeName(b->type);
    fail(kExprTypeError, site, what);
}

class Negate : public Node {
public:
    explicit Negate(NodePtr operand) : operand_(std::move(operand)) {
        type = ValueType::Numeric;
        width = operand_->width + 1;
        decimals = operand_->decimals;
    }
    double number(const EvalContext& ctx) const override { return -operand_->number(ctx); }
    bool constant(double& value) const override {
        if (!operand_->constant(value)) return false;
        value = -value;
        return true;
    }

private:
    NodePtr operand_;
};

class Not : public Node {
public:
    explicit Not(NodePtr operand) : operand_(std::move(operand)) { type = ValueType::Logical; }
    bool logical(const EvalContext& ctx) const override { return !operand_->logical(ctx); }

private:
    NodePtr operand_;
};

class LogicalChain : public Node {
public:
    LogicalChain(bool isAnd, std::vector<NodePtr> operands) : isAnd_(isAnd), operands_(std::move(operands)) {
        type = ValueType::Logical;
    }
    bool logical(const EvalContext& ctx) const override {
        for (const NodePtr& n : operands_)
            if (n->logical(ctx) != isAnd_) return !isAnd_;
        return isAnd_;
    }

private:
    bool isAnd_;
    std::vector<NodePtr> operands_;
};

class NumberArithmetic : public Node {
public:
    NumberArithmetic(Tok op, NodePtr l, NodePtr r) : op_(op), l_(std::move(l)), r_(std::move(r)) {
        type = ValueType::Numeric;
        decimals = op == Tok::Star ? l_->decimals + r_->decimals : std::max(l_->decimals, r_->decimals);
        width = op == Tok::Star ? l_->width + r_->width : std::max(l_->width, r_->width) + 1;
    }
    double number(const EvalContext& ctx) const override {
        const double a = l_->number(ctx);
        const double b = r_->number(ctx);
        switch (op_) {
        case Tok::Plus: return a + b;
        case Tok::Minus: return a - b;
        case Tok::Star: return a * b;
        default: return b == 0 ? 0 : a / b;  // a zero divisor must not stop a filter or index build
        }
    }

private:
    Tok op_;
    NodePtr l_, r_;
};

// "a" + "b" joins; "a  " - "b" moves the blanks of the left text to the end.
class TextJoin : public Node {
public:
    TextJoin(bool moveBlanks, NodePtr l, NodePtr r) : moveBlanks_(moveBlanks), l_(std::move(l)), r_(std::move(r)) {
        type = ValueType::Character;
        width = l_->width + r_->width;
    }
    std::string text(const EvalContext& ctx) const override {
        std::string a = l_->text(ctx);
        const std::string b = r_->text(ctx);
        if (!moveBlanks_) return a += b;
        const size_t kept = trimRight(a).size();
        const size_t blanks = a.size() - kept;
        a.resize(kept);
        a += b;
        a.append(blanks, ' ');
        return a;
    }

private:
    bool moveBlanks_;
    NodePtr l_, r_;
};

// Date plus or minus whole days. The empty date stays empty, and so does a
// result outside the calendar.
class DateShift : public Node {
public:
    DateShift(NodePtr date, NodePtr days, bool subtract)
        : date_(std::move(date)), days_(std::move(days)), subtract_(subtract) {
        type = ValueType::Date;
        width = 8;
    }
    int32_t date(const EvalContext& ctx) const override {
        const int32_t jd = date_->date(ctx);
        const double days = days_->number(ctx);
        if (jd == 0 || !std::isfinite(days) || std::fabs(days) > 4e6) return 0;
        const int64_t shift = static_cast<int64_t>(days);
        const int64_t result = subtract_ ? jd - shift : jd + shift;
        int y = 0, m = 0, d = 0;
        ymdFromJulian(static_cast<int32_t>(std::clamp<int64_t>(result, 0, 6000000)), y, m, d);
        return y == 0 ? 0 : static_cast<int32_t>(result);
    }

private:
    NodePtr date_, days_;
    bool subtract_;
};

class DateDifference : public Node {
public:
    DateDifference(NodePtr l, NodePtr r) : l_(std::move(l)), r_(std::move(r)) {
        type = ValueType::Numeric;
        width = 8;
    }
    double number(const EvalContext& ctx) const override {
        return static_cast<double>(l_->date(ctx)) - static_cast<double>(r_->date(ctx));
    }

private:
    NodePtr l_, r_;
};

template <typename T>
int order(T a, T b) { return a < b ? -1 : (b < a ? 1 : 0); }

class Comparison : public Node {
public:
    Comparison(Tok op, NodePtr l, NodePtr r) : op_(op), l_(std::move(l)), r_(std::move(r)) {
        type = ValueType::Logical;
    }
    bool logical(const EvalContext& ctx) const override {
        int c = 0;
        switch (l_->type) {
        case ValueType::Character: {
            const std::string a = l_->text(ctx);
            const std::string b = r_->text(ctx);
            if (op_ == Tok::ExactEqual) return a == b;
            if (op_ == Tok::Contains) return containsText(a, b);
            c = compareText(a, b, ctx.settings.exact);
            break;
        }
        case ValueType::Numeric: c = order(l_->number(ctx), r_->number(ctx)); break;
        case ValueType::Date: c = order(l_->date(ctx), r_->date(ctx)); break;
        case ValueType::Logical: c = static_cast<int>(l_->logical(ctx)) - static_cast<int>(r_->logical(ctx)); break;
        }
        switch (op_) {
        case Tok::Equal:
        case Tok::ExactEqual: return c == 0;
        case Tok::NotEqual: return c != 0;
        case Tok::Less: return c < 0;
        case Tok::Greater: return c > 0;
        case Tok::LessEqual: return c <= 0;
        default: return c >= 0;
        }
    }

private:
    Tok op_;
    NodePtr l_, r_;
};

template <typename T, typename... Args>
NodePtr build(const Site& site, std::initializer_list<const Node*> children, Args&&... args) {
    auto node = std::make_unique<T>(std::forward<Args>(args)...);
    setDepth(*node, site, children);
    return node;
}

}  // namespace

NodePtr makeNegate(NodePtr operand, const Site& site) {
    if (operand->type != ValueType::Numeric) mismatch(Tok::Minus, *operand, nullptr, site);
    const Node* o = operand.get();
    return build<Negate>(site, {o}, std::move(operand));
}

NodePtr makeNot(NodePtr operand, const Site& site) {
    if (operand->type != ValueType::Logical) mismatch(Tok::Not, *operand, nullptr, site);
    const Node* o = operand.get();
    return build<Not>(site, {o}, std::move(operand));
}

NodePtr makeLogicalChain(Tok op, std::vector<NodePtr> operands, const Site& site) {
    int depth = 0;
    for (const NodePtr& n : operands) {
        if (n->type != ValueType::Logical) mismatch(op, *n, nullptr, site);
        depth = std::max(depth, n->depth);
    }
    auto node = std::make_unique<LogicalChain>(op == Tok::And, std::move(operands));
    node->depth = depth + 1;
    if (node->depth > kMaxDepth) fail(kExprTooComplex, site, "Expression too complex");
    return node;
}

NodePtr makeArithmetic(Tok op, NodePtr left, NodePtr right, const Site& site) {
    const ValueType a = left->type, b = right->type;
    const Node* l = left.get();
    const Node* r = right.get();
    using VT = ValueType;
    if (a == VT::Numeric && b == VT::Numeric) return build<NumberArithmetic>(site, {l, r}, op, std::move(left), std::move(right));
    if (op == Tok::Plus || op == Tok::Minus) {
        const bool minus = op == Tok::Minus;
        if (a == VT::Character && b == VT::Character) return build<TextJoin>(site, {l, r}, minus, std::move(left), std::move(right));
        if (a == VT::Date && b == VT::Numeric) return build<DateShift>(site, {l, r}, std::move(left), std::move(right), minus);
        if (!minus && a == VT::Numeric && b == VT::Date) return build<DateShift>(site, {l, r}, std::move(right), std::move(left), false);
        if (minus && a == VT::Date && b == VT::Date) return build<DateDifference>(site, {l, r}, std::move(left), std::move(right));
    }
    mismatch(op, *left, right.get(), site);
}

NodePtr makeComparison(Tok op, NodePtr left, NodePtr right, const Site& site) {
    if (left->type != right->type) mismatch(op, *left, right.get(), site);
    if (op == Tok::Contains && left->type != ValueType::Character) mismatch(op, *left, right.get(), site);
    const Node* l = left.get();
    const Node* r = right.get();
    return build<Comparison>(site, {l, r}, op, std::move(left), std::move(right));
}

}  // namespace xbase::expr
