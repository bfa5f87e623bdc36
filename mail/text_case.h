#pragma once
// ASCII case folding and trimming for field names and header values.

#include <algorithm>
#include <string>
#include <string_view>

namespace mail {

inline char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string lowerCase(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), lowerAscii);
    return out;
}

inline std::string upperCase(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; });
    return out;
}

inline bool equalsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

inline bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

inline bool containsNoCase(std::string_view text, std::string_view part)
{
    if (part.empty())
        return true;
    auto it = std::search(text.begin(), text.end(), part.begin(), part.end(),
                          [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
    return it != text.end();
}

// Blanks and control characters off both ends, as the mail routines trim.
inline std::string trimmed(std::string_view text)
{
    std::size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ')
        --e;
    return std::string(text.substr(b, e - b));
}

}  // namespace mail
