#pragma once
// Cutting texts to a number of bytes without splitting a UTF-8 sequence, for
// identifiers made from names and for fixed-width fields.

#include <string>
#include <string_view>

namespace store {

// The first `bytes` bytes of text, one to three fewer when the cut would fall
// inside a UTF-8 sequence; text that is not UTF-8 there is cut plainly.
std::string Utf8Prefix(std::string_view text, std::size_t bytes);

}  // namespace store
