#include "mail/strip_quotes.h"

std::string StripQuotes(std::string_view text)
{
    auto blankOrControl = [](char ch) { return static_cast<unsigned char>(ch) <= ' '; };
    while (!text.empty() && blankOrControl(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blankOrControl(text.back()))
        text.remove_suffix(1);
    while (!text.empty() && text.front() == '"')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == '"')
        text.remove_suffix(1);
    return std::string(text);
}
