#include "agents/core/text_compare.h"

#include <algorithm>

namespace agents {

namespace {

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool equalIgnoreCase(char a, char b) { return upper(a) == upper(b); }

}  // namespace

std::string UpperCase(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), upper);
    return out;
}

bool ContainsIgnoreCase(std::string_view text, std::string_view needle)
{
    if (needle.empty())
        return false;
    return std::search(text.begin(), text.end(), needle.begin(), needle.end(), equalIgnoreCase) != text.end();
}

bool ContainsExactly(std::string_view text, std::string_view needle)
{
    return !needle.empty() && text.find(needle) != std::string_view::npos;
}

bool BeginsWithIgnoreCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), equalIgnoreCase);
}

}  // namespace agents
