#include "xbase/expr/lexer.h"

#include <cstdlib>

#include "xbase/expr/expr_node.h"

namespace xbase::expr {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}

    std::vector<Token> run() {
        std::vector<Token> out;
        for (;;) {
            while (pos_ < text_.size() && isSpace(text_[pos_])) ++pos_;
            Token t;
            t.pos = pos_;
            if (pos_ >= text_.size()) {
                out.push_back(t);
                return out;
            }
            next(t);
            out.push_back(std::move(t));
        }
    }

private:
    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

    char peek(size_t ahead = 0) const {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
    }

    void next(Token& t) {
        const char c = peek();
        if (isLetter(c)) return name(t);
        if (isDigit(c) || (c == '.' && isDigit(peek(1)))) return number(t);
        if (c == '.') return dotWord(t);
        if (c == '\'' || c == '"') return quoted(t, c);
        if (c == '[') return quoted(t, ']');
        operatorToken(t);
    }

    void name(Token& t) {
        t.kind = Tok::Name;
        while (isLetter(peek()) || isDigit(peek())) t.text += upper(text_[pos_++]);
    }

    void number(Token& t) {
        t.kind = Tok::Number;
        const size_t start = pos_;
        while (isDigit(peek())) ++pos_;
        // "5.AND." keeps its point for the operator.
        if (peek() == '.' && isDigit(peek(1))) {
            ++pos_;
            while (isDigit(peek())) ++pos_;
        }
        t.text = std::string(text_.substr(start, pos_ - start));
        t.number = std::strtod(t.text.c_str(), nullptr);
    }

    void dotWord(Token& t) {
        size_t end = pos_ + 1;
        std::string word;
        while (end < text_.size() && isLetter(text_[end])) word += upper(text_[end++]);
        if (end < text_.size() && text_[end] == '.') {
            static const struct { const char* word; Tok kind; } words[] = {
                {"T", Tok::True}, {"F", Tok::False}, {"Y", Tok::True}, {"N", Tok::False},
                {"AND", Tok::And}, {"OR", Tok::Or}, {"NOT", Tok::Not}};
            for (const auto& w : words) {
                if (word == w.word) {
                    t.kind = w.kind;
                    pos_ = end + 1;
                    return;
                }
            }
        }
        fail(kExprSyntaxError, {text_, pos_}, "Unknown operator or value '." + word + "'");
    }

    void quoted(Token& t, char close) {
        const size_t start = pos_++;
        const size_t end = text_.find(close, pos_);
        if (end == std::string_view::npos) fail(kExprSyntaxError, {text_, start}, "Missing closing quote");
        t.kind = Tok::Text;
        t.text = std::string(text_.substr(pos_, end - pos_));
        pos_ = end + 1;
    }

    void operatorToken(Token& t) {
        const char c = peek();
        const char c2 = peek(1);
        auto take = [&](Tok kind, size_t length) {
            t.kind = kind;
            pos_ += length;
        };
        switch (c) {
        case '+': return take(Tok::Plus, 1);
        case '-': return take(Tok::Minus, 1);
        case '*': return take(Tok::Star, 1);
        case '/': return take(Tok::Slash, 1);
        case '$': return take(Tok::Contains, 1);
        case '#': return take(Tok::NotEqual, 1);
        case '(': return take(Tok::LParen, 1);
        case ')': return take(Tok::RParen, 1);
        case ',': return take(Tok::Comma, 1);
        case '=': return c2 == '=' ? take(Tok::ExactEqual, 2) : take(Tok::Equal, 1);
        case '!': return c2 == '=' ? take(Tok::NotEqual, 2) : take(Tok::Not, 1);
        case '<':
            if (c2 == '>') return take(Tok::NotEqual, 2);
            return c2 == '=' ? take(Tok::LessEqual, 2) : take(Tok::Less, 1);
        case '>': return c2 == '=' ? take(Tok::GreaterEqual, 2) : take(Tok::Greater, 1);
        default: break;
        }
        const unsigned char u = static_cast<unsigned char>(c);
        std::string shown = u >= 32 && u < 127 ? std::string("'") + c + "'" : "byte " + std::to_string(u);
        fail(kExprSyntaxError, {text_, pos_}, "Unexpected character " + shown);
    }

    std::string_view text_;
    size_t pos_ = 0;
};

}  // namespace

std::vector<Token> tokenize(std::string_view text) { return Lexer(text).run(); }

}  // namespace xbase::expr
