#pragma once
// Header lines cut to the length mail servers take (RFC 5322: 998
// characters), as folded lines a reader joins back.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mail {

inline constexpr std::size_t kLongestHeaderLine = 998;

// The line as it is when it has at most `width` characters; otherwise cut
// before blanks (every further line begins with its blank), no line longer
// than `width` where the blanks allow and none longer than 998. A stretch of
// more than 998 characters without a blank is cut where a field's syntax
// lets a reader ignore the cut (before "<", after ">", "," or ";") and, as
// a last resort, anywhere; such a cut adds the blank of the fold. The value
// is never cut before its first character.
std::vector<std::string> foldHeaderLine(std::string_view line, std::size_t width = kLongestHeaderLine);

}  // namespace mail
