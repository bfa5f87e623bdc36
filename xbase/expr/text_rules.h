#pragma once
// How xBase expressions compare and reshape texts (bytes, blank padded).

#include <string>
#include <string_view>

namespace xbase::expr {

// Ordering used by = <> < > <= >=. With exact off the right text is a
// prefix pattern: "abc" = "ab" holds, an empty right side matches anything,
// a left side shorter than the right one sorts before it. With exact on
// trailing blanks do not count (the shorter text is padded with blanks).
int compareText(std::string_view left, std::string_view right, bool exact);

// '$': the left text occurs in the right one; an empty left text never does.
bool containsText(std::string_view needle, std::string_view haystack);

std::string_view trimRight(std::string_view s);
std::string_view trimLeft(std::string_view s);

// ASCII letters only: other bytes may be part of multi-byte characters.
void upperInPlace(std::string& s);
void lowerInPlace(std::string& s);

// EMPTY(): nothing but blanks, tabs and line ends.
bool blankText(std::string_view s);

}  // namespace xbase::expr
