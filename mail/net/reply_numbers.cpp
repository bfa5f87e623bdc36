#include "mail/net/reply_numbers.h"

#include <climits>

namespace mail::net {

int strictInteger(std::string_view text)
{
    auto fail = [&]() -> int { throw EConvertError("'" + std::string(text) + "' is not a valid integer value"); };
    std::string_view digits = text;
    bool negative = false;
    if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
        negative = digits[0] == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty())
        return fail();
    long long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return fail();
        value = value * 10 + (c - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            return fail();
    }
    if (negative)
        value = -value;
    if (value > INT_MAX || value < INT_MIN)
        return fail();
    return static_cast<int>(value);
}

int listedSize(std::string_view reply)
{
    std::string_view rest = reply.size() > 4 ? reply.substr(4) : std::string_view();
    std::size_t blank = rest.find(' ');
    if (blank == std::string_view::npos)
        return 0;
    rest.remove_prefix(blank + 1);
    while (!rest.empty() && rest[0] == ' ')
        rest.remove_prefix(1);
    long long value = 0;
    std::size_t used = 0;
    while (used < rest.size() && rest[used] >= '0' && rest[used] <= '9') {
        if (value < INT_MAX)
            value = value * 10 + (rest[used] - '0');
        ++used;
    }
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

}  // namespace mail::net
