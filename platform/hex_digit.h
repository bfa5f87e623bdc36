#pragma once
// The value of one hexadecimal digit, either case ("=XX" escapes in mail,
// "\'XX" in rich text).

namespace platform {

// 0 to 15, or -1 when `ch` is no hexadecimal digit.
inline int HexDigitValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    return -1;
}

}  // namespace platform
