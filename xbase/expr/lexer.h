#pragma once
// Splits expression text into tokens: names, literals and operators.

#include <string>
#include <string_view>
#include <vector>

namespace xbase::expr {

enum class Tok {
    End, Name, Text, Number, True, False,
    And, Or, Not,
    Plus, Minus, Star, Slash,
    Equal, ExactEqual, NotEqual, Less, Greater, LessEqual, GreaterEqual, Contains,
    LParen, RParen, Comma
};

struct Token {
    Tok kind = Tok::End;
    size_t pos = 0;       // byte offset in the expression text
    std::string text;     // Name: upper case; Text: the literal's contents; Number: as written
    double number = 0;
};

// Throws XbaseError (kExprSyntaxError) on an unterminated string or a
// character that belongs to no token.
std::vector<Token> tokenize(std::string_view text);

}  // namespace xbase::expr
