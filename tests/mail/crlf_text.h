#pragma once
// Mail text for the reader and writer tests: each line ended with CR LF.

#include <initializer_list>
#include <string>

namespace mailtest {

inline std::string crlf(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

}  // namespace mailtest
