#include "xbase/expr/parser.h"

#include <algorithm>

#include "xbase/expr/function_nodes.h"
#include "xbase/expr/leaf_nodes.h"
#include "xbase/expr/lexer.h"
#include "xbase/expr/operator_nodes.h"

namespace xbase::expr {

namespace {

bool sameName(const std::string& upperName, const std::string& fieldName) {
    if (upperName.size() != fieldName.size()) return false;
    for (size_t i = 0; i < fieldName.size(); ++i) {
        char c = fieldName[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != upperName[i]) return false;
    }
    return true;
}

class Parser {
public:
    Parser(std::string_view text, const std::vector<FieldDef>& fields, Reads* reads)
        : text_(text), fields_(fields), tokens_(tokenize(text)), reads_(reads) {}

    NodePtr run() {
        if (peek().kind == Tok::End) fail(kExprSyntaxError, site(), "Empty expression");
        NodePtr root = orChain();
        if (peek().kind != Tok::End) fail(kExprSyntaxError, site(), "Unexpected " + describe(peek()));
        return root;
    }

private:
    // Counts nested constructs so hostile input cannot exhaust the stack.
    class Nest {
    public:
        explicit Nest(Parser& p) : p_(p) {
            if (++p_.nesting_ > kMaxNesting) fail(kExprTooComplex, p_.site(), "Expression nested too deeply");
        }
        ~Nest() { --p_.nesting_; }
        Nest(const Nest&) = delete;
        Nest& operator=(const Nest&) = delete;

    private:
        Parser& p_;
    };

    const Token& peek(size_t ahead = 0) const {
        const size_t i = std::min(index_ + ahead, tokens_.size() - 1);
        return tokens_[i];
    }
    const Token& take() {
        const Token& t = tokens_[index_];
        if (index_ + 1 < tokens_.size()) ++index_;
        return t;
    }
    Site site() const { return {text_, peek().pos}; }
    Site siteOf(const Token& t) const { return {text_, t.pos}; }

    static std::string describe(const Token& t) {
        switch (t.kind) {
        case Tok::End: return "end of expression";
        case Tok::Name: return "name " + t.text;
        case Tok::Text: return "text '" + t.text.substr(0, 20) + "'";
        case Tok::Number: return "number " + t.text.substr(0, 20);
        case Tok::RParen: return "')'";
        case Tok::Comma: return "','";
        case Tok::LParen: return "'('";
        default: return "operator";
        }
    }

    NodePtr logicalChain(Tok op, NodePtr (Parser::*operand)()) {
        const Token& first = peek();
        NodePtr left = (this->*operand)();
        if (peek().kind != op) return left;
        std::vector<NodePtr> operands;
        operands.push_back(std::move(left));
        while (peek().kind == op) {
            take();
            operands.push_back((this->*operand)());
        }
        return makeLogicalChain(op, std::move(operands), siteOf(first));
    }

    NodePtr orChain() { return logicalChain(Tok::Or, &Parser::andChain); }
    NodePtr andChain() { return logicalChain(Tok::And, &Parser::negation); }

    NodePtr negation() {
        if (peek().kind != Tok::Not) return comparison();
        const Site at = site();
        take();
        Nest nest(*this);
        return makeNot(negation(), at);
    }

    static bool isComparison(Tok k) {
        return k == Tok::Equal || k == Tok::ExactEqual || k == Tok::NotEqual || k == Tok::Less ||
               k == Tok::Greater || k == Tok::LessEqual || k == Tok::GreaterEqual || k == Tok::Contains;
    }

    NodePtr comparison() {
        NodePtr left = additive();
        while (isComparison(peek().kind)) {
            const Site at = site();
            const Tok op = take().kind;
            left = makeComparison(op, std::move(left), additive(), at);
        }
        return left;
    }

    NodePtr additive() {
        NodePtr left = multiplicative();
        while (peek().kind == Tok::Plus || peek().kind == Tok::Minus) {
            const Site at = site();
            const Tok op = take().kind;
            left = makeArithmetic(op, std::move(left), multiplicative(), at);
        }
        return left;
    }

    NodePtr multiplicative() {
        NodePtr left = unary();
        while (peek().kind == Tok::Star || peek().kind == Tok::Slash) {
            const Site at = site();
            const Tok op = take().kind;
            left = makeArithmetic(op, std::move(left), unary(), at);
        }
        return left;
    }

    NodePtr unary() {
        const Tok k = peek().kind;
        if (k != Tok::Minus && k != Tok::Plus) return operand();
        const Site at = site();
        take();
        Nest nest(*this);
        NodePtr inner = unary();
        if (k == Tok::Plus) {
            if (inner->type != ValueType::Numeric) fail(kExprTypeError, at, "Unary + needs a Numeric operand");
            return inner;
        }
        return makeNegate(std::move(inner), at);
    }

    NodePtr operand() {
        const Token& t = peek();
        const Site at = site();
        switch (t.kind) {
        case Tok::Number: take(); return makeNumberLiteral(t.number, t.text);
        case Tok::Text: take(); return makeTextLiteral(t.text);
        case Tok::True: take(); return makeLogicalLiteral(true);
        case Tok::False: take(); return makeLogicalLiteral(false);
        case Tok::Not: {  // "x = !y" reads as x = (!y)
            take();
            Nest nest(*this);
            return makeNot(negation(), at);
        }
        case Tok::LParen: {
            take();
            Nest nest(*this);
            NodePtr inner = orChain();
            expect(Tok::RParen, "')'");
            return inner;
        }
        case Tok::Name: return peek(1).kind == Tok::LParen ? call() : field();
        case Tok::End: fail(kExprSyntaxError, at, "Missing operand at end of expression");
        default: fail(kExprSyntaxError, at, "Expected an operand, found " + describe(t));
        }
    }

    // A name followed by "(" is always a function, so a field named DATE
    // is still reachable as a plain name.
    NodePtr call() {
        const Site at = site();
        const std::string name = take().text;
        take();  // "("
        Nest nest(*this);
        std::vector<NodePtr> args;
        if (peek().kind != Tok::RParen) {
            for (;;) {
                args.push_back(orChain());
                if (peek().kind != Tok::Comma) break;
                take();
            }
        }
        expect(Tok::RParen, "')' after the arguments of " + name);
        if (reads_ && sameName("DATE", name)) reads_->clock = true;
        if (reads_ && sameName("DELETED", name)) reads_->fields.push_back(-1);
        if (reads_ && sameName("RECNO", name)) reads_->recNo = true;
        return makeFunction(name, std::move(args), at);
    }

    NodePtr field() {
        const Site at = site();
        const std::string& name = take().text;
        for (size_t i = 0; i < fields_.size(); ++i)
            if (sameName(name, fields_[i].name)) {
                if (reads_) reads_->fields.push_back(static_cast<int>(i));
                return makeField(static_cast<int>(i), fields_[i]);
            }
        fail(kExprSyntaxError, at, "Unknown field " + name);
    }

    void expect(Tok kind, const std::string& what) {
        if (peek().kind != kind) fail(kExprSyntaxError, site(), "Expected " + what + ", found " + describe(peek()));
        take();
    }

    std::string_view text_;
    const std::vector<FieldDef>& fields_;
    std::vector<Token> tokens_;
    size_t index_ = 0;
    int nesting_ = 0;
    Reads* reads_;
};

}  // namespace

NodePtr parseExpression(std::string_view text, const std::vector<FieldDef>& fields, Reads* reads) {
    if (text.size() > kMaxTextLength) fail(kExprTooComplex, {text.substr(0, 80), 0}, "Expression text too long");
    return Parser(text, fields, reads).run();
}

}  // namespace xbase::expr
