#include "xbase/expr/function_nodes.h"

#include <algorithm>
#include <climits>

#include "xbase/expr/date_text.h"
#include "xbase/expr/julian.h"
#include "xbase/expr/number_text.h"
#include "xbase/expr/text_rules.h"

namespace xbase::expr {

namespace {

using VT = ValueType;

enum class Fn {
    Upper, Lower, Trim, LTrim, AllTrim, Substr, Left, Right, Str, Val,
    Dtos, Dtoc, Ctod, Date, Empty, Iif, Deleted, RecNo
};

struct Signature {
    const char* name;
    Fn fn;
    VT result;
    int minArgs;
    std::vector<VT> args;   // type of each argument; IIF and EMPTY are checked apart
};

const std::vector<Signature>& signatures() {
    static const std::vector<Signature> all = {
        {"UPPER", Fn::Upper, VT::Character, 1, {VT::Character}},
        {"LOWER", Fn::Lower, VT::Character, 1, {VT::Character}},
        {"TRIM", Fn::Trim, VT::Character, 1, {VT::Character}},
        {"RTRIM", Fn::Trim, VT::Character, 1, {VT::Character}},
        {"LTRIM", Fn::LTrim, VT::Character, 1, {VT::Character}},
        {"ALLTRIM", Fn::AllTrim, VT::Character, 1, {VT::Character}},
        {"SUBSTR", Fn::Substr, VT::Character, 2, {VT::Character, VT::Numeric, VT::Numeric}},
        {"LEFT", Fn::Left, VT::Character, 2, {VT::Character, VT::Numeric}},
        {"RIGHT", Fn::Right, VT::Character, 2, {VT::Character, VT::Numeric}},
        {"STR", Fn::Str, VT::Character, 1, {VT::Numeric, VT::Numeric, VT::Numeric}},
        {"VAL", Fn::Val, VT::Numeric, 1, {VT::Character}},
        {"DTOS", Fn::Dtos, VT::Character, 1, {VT::Date}},
        {"DTOC", Fn::Dtoc, VT::Character, 1, {VT::Date}},
        {"CTOD", Fn::Ctod, VT::Date, 1, {VT::Character}},
        {"DATE", Fn::Date, VT::Date, 0, {}},
        {"EMPTY", Fn::Empty, VT::Logical, 1, {VT::Character}},
        {"IIF", Fn::Iif, VT::Character, 3, {VT::Logical, VT::Character, VT::Character}},
        {"DELETED", Fn::Deleted, VT::Logical, 0, {}},
        {"RECNO", Fn::RecNo, VT::Numeric, 0, {}},
    };
    return all;
}

long wholeNumber(double v) { return clampToLong(v, INT_MIN, INT_MAX); }

class Function : public Node {
public:
    Function(Fn fn, std::vector<NodePtr> args) : fn_(fn), args_(std::move(args)) {}

    std::string text(const EvalContext& ctx) const override {
        switch (fn_) {
        case Fn::Upper: {
            std::string s = args_[0]->text(ctx);
            upperInPlace(s);
            return s;
        }
        case Fn::Lower: {
            std::string s = args_[0]->text(ctx);
            lowerInPlace(s);
            return s;
        }
        case Fn::Trim: {
            std::string s = args_[0]->text(ctx);
            s.resize(trimRight(s).size());
            return s;
        }
        case Fn::LTrim: return std::string(trimLeft(args_[0]->text(ctx)));
        case Fn::AllTrim: return std::string(trimLeft(trimRight(args_[0]->text(ctx))));
        case Fn::Substr: return substr(ctx);
        case Fn::Left: {
            std::string s = args_[0]->text(ctx);
            const long n = wholeNumber(args_[1]->number(ctx));
            if (n <= 0) return {};
            if (static_cast<size_t>(n) < s.size()) s.resize(static_cast<size_t>(n));
            return s;
        }
        case Fn::Right: {
            std::string s = args_[0]->text(ctx);
            const long n = wholeNumber(args_[1]->number(ctx));
            if (n <= 0) return {};
            if (static_cast<size_t>(n) < s.size()) s.erase(0, s.size() - static_cast<size_t>(n));
            return s;
        }
        case Fn::Str:
            return formatStr(args_[0]->number(ctx), args_.size() > 1 ? args_[1]->number(ctx) : 10,
                             args_.size() > 2 ? args_[2]->number(ctx) : 0);
        case Fn::Dtos: return dateTextFromJulian(args_[0]->date(ctx));
        case Fn::Dtoc: return formatDtoc(args_[0]->date(ctx), ctx.settings);
        case Fn::Iif: return args_[0]->logical(ctx) ? args_[1]->text(ctx) : args_[2]->text(ctx);
        default: return Node::text(ctx);
        }
    }

    double number(const EvalContext& ctx) const override {
        switch (fn_) {
        case Fn::Val: return parseVal(args_[0]->text(ctx));
        case Fn::RecNo: return ctx.record.recNo();
        case Fn::Iif: return args_[0]->logical(ctx) ? args_[1]->number(ctx) : args_[2]->number(ctx);
        default: return Node::number(ctx);
        }
    }

    int32_t date(const EvalContext& ctx) const override {
        switch (fn_) {
        case Fn::Ctod: return parseCtod(args_[0]->text(ctx), ctx.settings);
        case Fn::Date: return today();
        case Fn::Iif: return args_[0]->logical(ctx) ? args_[1]->date(ctx) : args_[2]->date(ctx);
        default: return Node::date(ctx);
        }
    }

    bool logical(const EvalContext& ctx) const override {
        switch (fn_) {
        case Fn::Empty: return empty(ctx);
        case Fn::Deleted: return ctx.record.deleted();
        case Fn::Iif: return args_[0]->logical(ctx) ? args_[1]->logical(ctx) : args_[2]->logical(ctx);
        default: return Node::logical(ctx);
        }
    }

    const std::vector<NodePtr>& args() const { return args_; }

private:
    // A start before the first character counts as 1; past the end gives "".
    std::string substr(const EvalContext& ctx) const {
        const std::string s = args_[0]->text(ctx);
        const long start = std::max(1L, wholeNumber(args_[1]->number(ctx)));
        if (static_cast<size_t>(start) > s.size()) return {};
        const size_t from = static_cast<size_t>(start - 1);
        size_t count = s.size() - from;
        if (args_.size() > 2) {
            const long n = wholeNumber(args_[2]->number(ctx));
            if (n <= 0) return {};
            count = std::min(count, static_cast<size_t>(n));
        }
        return s.substr(from, count);
    }

    bool empty(const EvalContext& ctx) const {
        const Node& a = *args_[0];
        switch (a.type) {
        case VT::Character: return blankText(a.text(ctx));
        case VT::Numeric: return a.number(ctx) == 0;
        case VT::Date: return a.date(ctx) == 0;
        case VT::Logical: return !a.logical(ctx);
        }
        return false;
    }

    Fn fn_;
    std::vector<NodePtr> args_;
};

bool constantArg(const std::vector<NodePtr>& args, size_t i, long& value) {
    double v = 0;
    if (i >= args.size() || !args[i]->constant(v)) return false;
    value = wholeNumber(v);
    return true;
}

// The longest text a call can give: the key length of an index on it.
int resultWidth(Fn fn, const std::vector<NodePtr>& args) {
    const int w = args.empty() ? 0 : args[0]->width;
    long a = 0, b = 0;
    switch (fn) {
    case Fn::Substr: {
        if (!constantArg(args, 1, a)) return w;
        const long rest = std::max(0L, w - std::max(1L, a) + 1);
        if (args.size() < 3) return static_cast<int>(rest);
        if (!constantArg(args, 2, b)) return static_cast<int>(rest);
        return static_cast<int>(std::clamp(b, 0L, rest));
    }
    case Fn::Left:
    case Fn::Right:
        return constantArg(args, 1, a) ? static_cast<int>(std::clamp(a, 0L, static_cast<long>(w))) : w;
    case Fn::Str:
        if (args.size() < 2) return 10;
        return constantArg(args, 1, a) ? static_cast<int>(std::clamp(a, 0L, 255L)) : 10;
    case Fn::Dtos:
    case Fn::Date:
    case Fn::Ctod: return 8;
    case Fn::Dtoc: return 10;
    case Fn::Val:
    case Fn::RecNo: return 10;
    case Fn::Empty:
    case Fn::Deleted: return 1;
    case Fn::Iif: return std::max(args[1]->width, args[2]->width);
    default: return w;   // UPPER, LOWER and the trims keep the width
    }
}

void checkArgs(const Signature& sig, const std::vector<NodePtr>& args, const Site& site) {
    const int count = static_cast<int>(args.size());
    const int maxArgs = static_cast<int>(sig.args.size());
    if (count < sig.minArgs || count > maxArgs) {
        std::string expected = std::to_string(sig.minArgs);
        if (maxArgs != sig.minArgs) expected += " to " + std::to_string(maxArgs);
        fail(kExprSyntaxError, site, std::string("Function ") + sig.name + " takes " + expected + " argument" +
                                         (maxArgs == 1 ? "" : "s") + ", not " + std::to_string(count));
    }
    for (int i = 0; i < count; ++i) {
        if (sig.fn == Fn::Empty) break;
        if (sig.fn == Fn::Iif && i > 0) {
            if (args[2]->type != args[1]->type)
                fail(kExprTypeError, site, std::string("IIF branches differ in type: ") + typeName(args[1]->type) +
                                               " and " + typeName(args[2]->type));
            break;
        }
        if (args[i]->type != sig.args[i])
            fail(kExprTypeError, site, std::string("Argument ") + std::to_string(i + 1) + " of " + sig.name +
                                           " must be " + typeName(sig.args[i]) + ", not " + typeName(args[i]->type));
    }
}

}  // namespace

NodePtr makeFunction(const std::string& name, std::vector<NodePtr> args, const Site& site) {
    const auto& all = signatures();
    const auto it = std::find_if(all.begin(), all.end(), [&](const Signature& s) { return name == s.name; });
    if (it == all.end()) fail(kExprSyntaxError, site, "Unknown function " + name);
    checkArgs(*it, args, site);
    auto node = std::make_unique<Function>(it->fn, std::move(args));
    const auto& a = node->args();
    node->type = it->fn == Fn::Iif ? a[1]->type : it->result;
    node->width = resultWidth(it->fn, a);
    node->decimals = it->fn == Fn::Iif ? std::max(a[1]->decimals, a[2]->decimals) : 0;
    int depth = 0;
    for (const NodePtr& n : a) depth = std::max(depth, n->depth);
    node->depth = depth + 1;
    if (node->depth > kMaxDepth) fail(kExprTooComplex, site, "Expression too complex");
    return node;
}

}  // namespace xbase::expr
